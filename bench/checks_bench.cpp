// What the structure checks and the molecule census cost: the whole run in
// memory (reading, molecules, cluster, XYZ text) with and without them, taken
// in turns so that the load of the machine falls on both alike, in processor
// time (the machine is shared, so wall times vary by half).
//
//   build-bench/orbicutter_bench --benchmark_filter=Checks
#include <benchmark/benchmark.h>

#include <ctime>
#include <sstream>
#include <string>

#include "cluster/cluster.hpp"
#include "pipeline/pipeline.hpp"
#include "support/runner.hpp"
#include "writers/view.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;

namespace {

// Processor seconds of one run of the steps of the program on `contents`.
double one_run(const std::string& contents, bool checks) {
  const std::clock_t start = std::clock();
  Run run;
  std::ostringstream log, out, xyz;
  run.sink.log = Unit::memory(log);
  run.sink.out = Unit::memory(out);
  run.gv.inpf = "bench.inp";
  run.gv.outf = "bench";
  run.diag.enabled = checks;
  read_crystal(run, contents);
  build_molecules(run);
  cluster_head(run);
  const ClusterModel cluster = build_cluster(run);
  Unit file = Unit::memory(xyz);
  writexyz(writer_input(run, cluster), file);
  file.flush();
  benchmark::DoNotOptimize(xyz);
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// Counters: processor milliseconds per run with and without the checks, and
// their ratio (the target is at most 1.10).
void BM_ChecksCost(benchmark::State& state, const std::string& file) {
  const std::string contents = orbicutter::testing::read_file(std::string(ORBICUTTER_BENCH_DATA) + "/" + file);
  double with = 0, without = 0;
  long turns = 0;
  for (auto _ : state) {
    const bool first = turns % 2 == 0;
    const double a = one_run(contents, first), b = one_run(contents, !first);
    with += first ? a : b;
    without += first ? b : a;
    ++turns;
  }
  state.counters["with_ms"] = 1e3 * with / static_cast<double>(turns);
  state.counters["without_ms"] = 1e3 * without / static_cast<double>(turns);
  state.counters["ratio"] = with / without;
}
BENCHMARK_CAPTURE(BM_ChecksCost, aspirin_d50, std::string("aspirin-d50.inp"))->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ChecksCost, cluster_d30, std::string("cluster-d30.inp"))->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ChecksCost, fragments_512, std::string("fragments-512.inp"))->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
