// Small files that once made the work explode (tiny or flat cells, 16,000 input
// atoms, non-finite numbers): each must end, with its result or its error box,
// within 2 s and 1 GB. Both executables, one process per run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/folder.hpp"
#include "support/spawn.hpp"

namespace {

using orbicutter::bench::spawn;
using orbicutter::bench::Times;

const std::vector<std::string> inputs = {
    "tiny-cell",      "tiny-cell-cubic", "tiny-cell-cubic-d12", "flat-cell-d45", "flat-cell-g170-d45",
    "nat16000",       "coord_nan",       "coord_1e400",         "coord_1e9",     "charge_nan",
    "dmax_nan",       "gecr_nan",        "nics_nan"};

const char* executable(int bytes) { return bytes == 4 ? ORBICUTTER_EXE_SP : ORBICUTTER_EXE_DP; }

// One run on a fresh copy of the input in a scratch folder.
Times run_once(std::size_t input, int bytes, double* peak_bytes = nullptr) {
  const orbicutter::testing::ScratchFolder folder("orbicutter-bench");
  std::filesystem::copy_file(std::string(ORBICUTTER_BENCH_DATA) + "/hostile/" + inputs[input] + ".inp", "hostile.inp");
  return spawn({executable(bytes), "hostile.inp"}, peak_bytes, true);
}

// Peaks taken while this process is still small (a started program counts its
// parent's memory until it replaces its image).
const std::map<std::pair<std::size_t, int>, double> peaks = [] {
  std::map<std::pair<std::size_t, int>, double> p;
  for (std::size_t i = 0; i < inputs.size(); ++i)
    for (int bytes : {8, 4}) {
      double peak = -1;
      run_once(i, bytes, &peak);
      p[{i, bytes}] = peak;
    }
  return p;
}();

// Arguments: the input's place in the list and the bytes of a real.
void BM_HostileInput(benchmark::State& state) {
  const auto input = static_cast<std::size_t>(state.range(0));
  const int bytes = static_cast<int>(state.range(1));
  double cpu = 0;
  for (auto _ : state) {
    const Times t = run_once(input, bytes);
    if (t.wall < 0) return state.SkipWithError("the run crashed or ended with an unexpected status");
    state.SetIterationTime(t.wall);
    cpu = t.cpu();
  }
  const double peak = peaks.at({input, bytes});
  state.SetLabel(inputs[input] + (bytes == 8 ? " orbicutter" : " orbicutter_sp"));
  state.counters["cpu_s"] = cpu;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["within_2s_1GB"] = cpu < 2.0 && peak < 1e9 ? 1 : 0;
}
BENCHMARK(BM_HostileInput)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 12, 1), {8, 4}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
