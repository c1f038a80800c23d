// Fragment search and completion: the fast searches, the literal restart scans
// for comparison, and the whole program on the 512-atom asymmetric unit.
//
//   cmake -B build-bench -DORBICUTTER_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target orbicutter_bench
//   build-bench/orbicutter_bench --benchmark_filter=Fragment
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "fragments/fragment_fixture.hpp"
#include "fragments/fragments.hpp"
#include "model/stop.hpp"
#include "support/runner.hpp"
#include "support/whole_run.hpp"

using namespace orbicutter;
using namespace orbicutter::fragtest;

namespace {

const std::string input_512 = std::string(ORBICUTTER_BENCH_DATA) + "/fragments-512.inp";

// The 512-atom crystal cut to its first n atoms, with the given operators
// (none: those of the file).
std::unique_ptr<Crystal> crystal_512(int n, const std::vector<std::string>& ops = {}) {
  auto c = std::make_unique<Crystal>(orbicutter::testing::read_file(input_512));
  auto& run = c->run;
  std::vector<Atom> atoms;
  for (int i = 1; i <= std::min(n, run.gv.nat); ++i)
    atoms.push_back({run.at.fatns(i, 1), run.at.fatns(i, 2), run.at.fgeom(i, 1), run.at.fgeom(i, 2),
                     run.at.fgeom(i, 3)});
  if (!ops.empty()) orbicutter::testing::set_operators(run, ops);
  c->set_atoms(atoms);
  return c;
}

const std::vector<std::string> c2c = {"x, y, z",        "-x, y, -z+1/2",        "x+1/2, y+1/2, z",
                                      "-x+1/2, y+1/2, -z+1/2", "-x, -y, -z",   "x, -y, z+1/2",
                                      "-x+1/2, -y+1/2, -z",    "x+1/2, -y+1/2, z+1/2"};

// The whole phase with its log, on n atoms of the file (4 operators) or on 8 operators.
void BM_FragmentSearch(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool eight = state.range(1) == 8;
  for (auto _ : state) {
    state.PauseTiming();
    auto c = crystal_512(n, eight ? c2c : std::vector<std::string>{});
    state.ResumeTiming();
    fragment_search(c->run);
    benchmark::DoNotOptimize(c->run.gv.nfrag);
  }
}
BENCHMARK(BM_FragmentSearch)
    ->Args({128, 4})
    ->Args({256, 4})
    ->Args({512, 4})
    ->Args({500, 8})
    ->Unit(benchmark::kMillisecond);

// The restart scan as written, for the ratio: cubic in the atom count.
void BM_FragmentSearchLiteral(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto c = crystal_512(n);
    state.ResumeTiming();
    benchmark::DoNotOptimize(literal_fragment_order(c->run));
  }
}
BENCHMARK(BM_FragmentSearchLiteral)->Arg(64)->Arg(128)->Iterations(1)->Unit(benchmark::kMillisecond);

// Polyethylene with 117 spectator atoms: the chain is completed up to the
// limit of 120 x 8 atoms before the run stops.
void BM_FragmentCompletionPolymer(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto c = std::make_unique<Crystal>(
        Cell{7.417, 4.945, 2.547, 90, 90, 90},
        std::vector<std::string>{"x, y, z", "-x+1/2, y+1/2, -z", "-x, -y, z+1/2", "x+1/2, -y+1/2, -z+1/2",
                                 "-x, -y, -z", "x+1/2, -y+1/2, z", "x, y, -z+1/2", "-x+1/2, y+1/2, z+1/2"},
        std::vector<Atom>{});
    std::vector<Atom> atoms = {{"C", "C1", 0.038, 0.065, 0.25}, {"H", "H1", 0.184, 0.041, 0.25},
                               {"H", "H2", 0.004, 0.279, 0.25}};
    for (int i = 0; i < 117; ++i)
      atoms.push_back({"Q", "Q", 0.31 + 0.003 * i, 0.62 - 0.002 * i, 0.11 + 0.005 * i, i + 2});
    c->set_atoms(atoms);
    c->run.kw.kfragbld = 1;
    state.ResumeTiming();
    try {
      fragment_modifications(c->run);
      state.SkipWithError("the polymer did not reach the limit");
    } catch (const Error&) {
    }
  }
}
BENCHMARK(BM_FragmentCompletionPolymer)->Unit(benchmark::kMillisecond);

// The 48 operators of a body-centred cubic group (m-3 with centring): cyclic
// axis permutations, sign changes, and (1/2, 1/2, 1/2).
std::vector<std::string> body_centred_cubic_operators() {
  const char* const axes[3][3] = {{"x", "y", "z"}, {"z", "x", "y"}, {"y", "z", "x"}};
  std::vector<std::string> ops;
  for (int c = 0; c < 2; ++c)
    for (int p = 0; p < 3; ++p)
      for (int signs = 0; signs < 8; ++signs) {
        std::string op;
        for (int i = 0; i < 3; ++i) {
          if (i > 0) op += ", ";
          if ((signs >> i) & 1) op += "-";
          op += axes[p][i];
          if (c == 1) op += "+1/2";
        }
        ops.push_back(op);
      }
  return ops;
}

// A chain of 17 carbon atoms along a (one cell long, so the chain runs on by
// translation) and 183 single atoms of an unknown element, 48 operators: the
// chain is completed up to the limit of 200 x 48 atoms before the run stops.
void BM_FragmentCompletionCubicChain(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<Atom> atoms;
    for (int j = 0; j < 17; ++j) atoms.push_back({"C", label("C", j + 1), (j + 0.5) / 17, 0.3, 0.1});
    for (int i = 0; i < 183; ++i)
      atoms.push_back({"Q", label("Q", i), 0.62 + 0.0007 * i, 0.45 - 0.0005 * i, 0.21 + 0.0011 * i, i + 2});
    auto c = std::make_unique<Crystal>(Cell{25, 25, 25, 90, 90, 90}, body_centred_cubic_operators(), atoms);
    c->run.kw.kfragbld = 1;
    state.ResumeTiming();
    try {
      fragment_modifications(c->run);
      state.SkipWithError("the chain did not reach the limit");
    } catch (const Error&) {
    }
  }
}
BENCHMARK(BM_FragmentCompletionCubicChain)->Unit(benchmark::kMillisecond);

// The whole program on fragments-512.inp (target: under half a second).
void BM_FragmentWholeRun512(benchmark::State& state) { bench::whole_run(state, input_512); }
BENCHMARK(BM_FragmentWholeRun512)->Unit(benchmark::kMillisecond);

}  // namespace
