// A real crystal (aspirin, P21/c) cut at DMAX 30 and 50: the program run as a user
// runs it (one process per run, both precisions) next to a floor, a bare program
// that only writes as many XYZ rows with fprintf; their ratio, and the peak memory
// of a run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/folder.hpp"
#include "support/runner.hpp"
#include "support/spawn.hpp"

namespace {

using orbicutter::bench::spawn;
using orbicutter::bench::Times;

std::string input_path(int dmax) { return std::string(ORBICUTTER_BENCH_DATA) + "/aspirin-d" + std::to_string(dmax) + ".inp"; }
const char* executable(int bytes) { return bytes == 4 ? ORBICUTTER_EXE_SP : ORBICUTTER_EXE_DP; }

// One run of the program on bench.inp. Products are removed first: rewriting a
// file in place can make the file system write its old contents out first.
Times run_executable(const char* exe, double* peak_bytes = nullptr) {
  for (const char* f : {"bench.out", "bench.xyz"}) std::remove(f);
  return spawn({exe, "bench.inp"}, peak_bytes);
}

// The floor: a bare program writing as many rows with fprintf.
Times run_floor(long rows, int dmax) {
  std::remove("floor.xyz");
  return spawn({ORBICUTTER_XYZ_FLOOR, std::to_string(rows), std::to_string(dmax), "floor.xyz"});
}

// A started program counts its parent's high-water mark until it replaces its
// image, so the peaks are taken before any benchmark has grown this process.
const std::map<std::pair<int, int>, double> peaks = [] {
  std::map<std::pair<int, int>, double> p;
  for (int dmax : {30, 50})
    for (int bytes : {8, 4}) {
      const orbicutter::testing::ScratchFolder folder("orbicutter-bench");
      std::filesystem::copy_file(input_path(dmax), "bench.inp");
      double peak = -1;
      run_executable(executable(bytes), &peak);
      p[{dmax, bytes}] = peak;
    }
  return p;
}();

// The atom count of bench.xyz as the run wrote it.
long xyz_rows() {
  std::istringstream in(orbicutter::testing::read_file("bench.xyz"));
  long n = -1;
  in >> n;
  return n;
}

// Medians of each figure.
Times median(const std::vector<Times>& v) {
  if (v.empty()) return {};
  auto mid = [&v](double Times::*figure) {
    std::vector<double> x;
    for (const auto& t : v) x.push_back(t.*figure);
    std::nth_element(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(x.size() / 2), x.end());
    return x[x.size() / 2];
  };
  return {mid(&Times::wall), mid(&Times::user), mid(&Times::system), mid(&Times::faults)};
}

// Arguments: DMAX and the bytes of a real (8: orbicutter, 4: orbicutter_sp).
// Counters: medians of the runs made here and of as many runs of the floor, the
// ratios of their wall and processor times, and the peak memory of one run.
void BM_CrystalWholeRun(benchmark::State& state) {
  const int dmax = static_cast<int>(state.range(0));
  const int bytes = static_cast<int>(state.range(1));
  const orbicutter::testing::ScratchFolder folder("orbicutter-bench");
  std::filesystem::copy_file(input_path(dmax), "bench.inp");
  std::vector<Times> runs;
  for (auto _ : state) {
    runs.push_back(run_executable(executable(bytes)));
    if (runs.back().wall < 0) return state.SkipWithError("the run failed");
    state.SetIterationTime(runs.back().wall);
  }
  const long rows = xyz_rows();
  std::vector<Times> floors;
  for (std::size_t k = 0; k < std::max<std::size_t>(runs.size(), 5); ++k) {
    floors.push_back(run_floor(rows, dmax));
    if (floors.back().wall < 0) return state.SkipWithError("the floor program failed");
  }
  const Times run = median(runs), floor = median(floors);
  const double peak = peaks.at({dmax, bytes});
  const double atoms = static_cast<double>(rows);
  state.SetLabel(bytes == 8 ? "orbicutter" : "orbicutter_sp");
  state.counters["atoms"] = atoms;
  state.counters["run_ms"] = run.wall * 1e3;
  state.counters["floor_ms"] = floor.wall * 1e3;
  state.counters["ratio"] = run.wall / floor.wall;
  state.counters["cpu_ratio"] = run.cpu() / floor.cpu();
  // Where the processor time goes: the program's own work, and the system's (mostly
  // the first touch of memory pages).
  state.counters["run_user_ms"] = run.user * 1e3;
  state.counters["run_sys_ms"] = run.system * 1e3;
  state.counters["floor_user_ms"] = floor.user * 1e3;
  state.counters["floor_sys_ms"] = floor.system * 1e3;
  state.counters["run_faults"] = run.faults;
  state.counters["floor_faults"] = floor.faults;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["bytes_per_atom"] = peak / atoms;
}
BENCHMARK(BM_CrystalWholeRun)
    ->Args({30, 8})
    ->Args({30, 4})
    ->Args({50, 8})
    ->Args({50, 4})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// The floor alone, for the rows of the cluster.
void BM_CrystalXyzFloor(benchmark::State& state) {
  const int dmax = static_cast<int>(state.range(0));
  const orbicutter::testing::ScratchFolder folder("orbicutter-bench");
  std::filesystem::copy_file(input_path(dmax), "bench.inp");
  if (run_executable(executable(8)).wall < 0) return state.SkipWithError("the run failed");
  const long rows = xyz_rows();
  for (auto _ : state) {
    const Times t = run_floor(rows, dmax);
    if (t.wall < 0) return state.SkipWithError("the floor program failed");
    state.SetIterationTime(t.wall);
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_CrystalXyzFloor)->Arg(50)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
