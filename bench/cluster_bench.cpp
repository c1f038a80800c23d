// Cluster building on synthetic crystals of growing DMAX (10, 20, 30 angstrom):
// the phase alone, the literal all-pairs procedure for comparison, and the whole
// program on the same inputs.
//
//   cmake -B build-bench -DORBICUTTER_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target orbicutter_bench
//   build-bench/orbicutter_bench --benchmark_filter=Cluster
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "cluster/cluster.hpp"
#include "cluster/cluster_fixture.hpp"
#include "pipeline/pipeline.hpp"
#include "support/whole_run.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

std::string input_path(int dmax) { return std::string(ORBICUTTER_BENCH_DATA) + "/cluster-d" + std::to_string(dmax) + ".inp"; }

// Centre, cell search, building, totals, ORTEP codes and the XYZ file, in memory.
void BM_ClusterPhase(benchmark::State& state) {
  const int dmax = static_cast<int>(state.range(0));
  int atoms = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto c = load_simple_input(input_path(dmax));
    std::ostringstream xyz_text;
    Unit xyz = Unit::memory(xyz_text);
    state.ResumeTiming();
    const ClusterModel cluster = cluster_building(c->run);
    writexyz(writer_input(c->run, cluster), xyz);
    atoms = cluster.size();
    benchmark::DoNotOptimize(xyz_text);
  }
  state.counters["atoms"] = atoms;
  state.counters["atoms_per_s"] = benchmark::Counter(atoms, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ClusterPhase)->Arg(10)->Arg(20)->Arg(30)->Unit(benchmark::kMillisecond);

// The building as literally stated: every copy atom against every cluster atom,
// bonds by a full scan. One iteration; DMAX 20 takes a minute or so.
void BM_ClusterLiteral(benchmark::State& state) {
  const int dmax = static_cast<int>(state.range(0));
  int atoms = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto c = load_simple_input(input_path(dmax));
    const real radius = prepare_building(c->run);
    state.ResumeTiming();
    atoms = literal_assemble(c->run, radius).size();
  }
  state.counters["atoms"] = atoms;
}
BENCHMARK(BM_ClusterLiteral)->Arg(10)->Arg(20)->Iterations(1)->Unit(benchmark::kSecond);

// The same tables by the fast building, for a like-for-like ratio with the above.
void BM_ClusterFast(benchmark::State& state) {
  const int dmax = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto c = load_simple_input(input_path(dmax));
    const real radius = prepare_building(c->run);
    state.ResumeTiming();
    benchmark::DoNotOptimize(assemble_cluster(c->run, c->run.gv.ncells, radius));
  }
}
BENCHMARK(BM_ClusterFast)->Arg(10)->Arg(20)->Arg(30)->Unit(benchmark::kMillisecond);

// The whole program, reading the input and writing the log and the XYZ file.
void BM_ClusterWholeRun(benchmark::State& state) {
  bench::whole_run(state, input_path(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ClusterWholeRun)->Arg(10)->Arg(20)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
