// A real crystal (aspirin, P21/c) cut at DMAX 30 and 50: the whole program next to
// a floor that only writes the same XYZ rows with fprintf, and the peak memory of
// one run of the executable. Built once per precision (orbicutter_bench and
// orbicutter_bench_sp).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "model/real.hpp"
#include "support/folder.hpp"
#include "support/runner.hpp"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

const char* const precision = sizeof(orbicutter::real) == 8 ? "8-byte" : "4-byte";

std::string input_path(int dmax) { return std::string(ORBICUTTER_BENCH_DATA) + "/aspirin-d" + std::to_string(dmax) + ".inp"; }

struct XyzRow {
  std::string label;
  double x, y, z;
};

// Wall and processor seconds of a piece of work.
struct Times {
  double wall = -1, cpu = -1;
};

double cpu_now() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Files are removed before they are written again: replacing a file's contents
// in place can make the file system write the old ones out first.
template <class Work>
Times timed(const char* product, Work&& work) {
  std::remove(product);
  const auto start = Clock::now();
  const double cpu = cpu_now();
  if (!work()) return {};
  return {std::chrono::duration<double>(Clock::now() - start).count(), cpu_now() - cpu};
}

// One run of the program in the current folder on bench.inp.
Times timed_run() {
  std::remove("bench.out");
  return timed("bench.xyz", [] {
    char arg0[] = "orbicutter";
    char arg1[] = "bench.inp";
    char* argv[] = {arg0, arg1, nullptr};
    return orbicutter::run_program(2, argv) == 0;
  });
}

// The atom rows of bench.xyz as the run wrote them.
std::vector<XyzRow> xyz_rows() {
  std::istringstream in(orbicutter::testing::read_file("bench.xyz"));
  std::string line;
  std::getline(in, line);
  std::getline(in, line);
  std::vector<XyzRow> rows;
  for (XyzRow r; in >> r.label >> r.x >> r.y >> r.z;) rows.push_back(r);
  return rows;
}

// The floor: the same rows in the same layout with fprintf, into a new file.
Times fprintf_rows(const std::vector<XyzRow>& rows) {
  return timed("floor.xyz", [&] {
    std::FILE* f = std::fopen("floor.xyz", "w");
    if (!f) return false;
    std::fprintf(f, "%6zu\n%s\n", rows.size(), "bench");
    for (const auto& r : rows) std::fprintf(f, "%8s%15.6f%15.6f%15.6f\n", r.label.c_str(), r.x, r.y, r.z);
    std::fputs("\n", f);
    return std::fclose(f) == 0;
  });
}

// Medians of the wall and processor times.
Times median(const std::vector<Times>& v) {
  std::vector<double> wall, cpu;
  for (const auto& t : v) {
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return v.empty() ? Times{} : Times{wall[v.size() / 2], cpu[v.size() / 2]};
}

// Peak resident memory, in bytes, of the executable run once on `input` in a
// scratch folder.
double peak_bytes(int dmax) {
  const orbicutter::testing::ScratchFolder folder("orbicutter-bench");
  std::filesystem::copy_file(input_path(dmax), "bench.inp");
  char arg0[] = ORBICUTTER_EXE;
  char arg1[] = "bench.inp";
  char* argv[] = {arg0, arg1, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, arg0, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return -1;
  int status = 0;
  rusage use{};
  if (wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return static_cast<double>(use.ru_maxrss) * 1024.0;  // kilobytes on Linux
}

// A started program counts its parent's high-water mark until it replaces its
// image, so the peaks are taken before any benchmark has grown this process.
const double peak_d30 = peak_bytes(30);
const double peak_d50 = peak_bytes(50);

// The whole run, with the floor, their ratios (medians of the runs made here, wall
// and processor time) and the bytes per cluster atom at the peak as counters.
void BM_CrystalWholeRun(benchmark::State& state) {
  const int dmax = static_cast<int>(state.range(0));
  const orbicutter::testing::ScratchFolder folder("orbicutter-bench");
  std::filesystem::copy_file(input_path(dmax), "bench.inp");
  std::ostringstream sink;
  auto* old = std::cout.rdbuf(sink.rdbuf());
  std::vector<Times> runs;
  for (auto _ : state) {
    runs.push_back(timed_run());
    sink.str("");
  }
  std::cout.rdbuf(old);
  for (const auto& t : runs)
    if (t.wall < 0) return state.SkipWithError("the run failed");
  const auto rows = xyz_rows();
  std::vector<Times> floors;
  for (std::size_t k = 0; k < std::max<std::size_t>(runs.size(), 5); ++k) floors.push_back(fprintf_rows(rows));
  const Times run = median(runs), floor = median(floors);
  const double peak = dmax == 50 ? peak_d50 : peak_d30;
  const double atoms = static_cast<double>(rows.size());
  state.SetLabel(precision);
  state.counters["atoms"] = atoms;
  state.counters["run_ms"] = run.wall * 1e3;
  state.counters["floor_ms"] = floor.wall * 1e3;
  state.counters["ratio"] = run.wall / floor.wall;
  state.counters["cpu_ratio"] = run.cpu / floor.cpu;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["bytes_per_atom"] = peak / atoms;
}
BENCHMARK(BM_CrystalWholeRun)->Arg(30)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor alone, on the rows of the 50 angstrom cluster.
void BM_CrystalXyzFloor(benchmark::State& state) {
  const orbicutter::testing::ScratchFolder folder("orbicutter-bench");
  std::filesystem::copy_file(input_path(static_cast<int>(state.range(0))), "bench.inp");
  std::ostringstream sink;
  auto* old = std::cout.rdbuf(sink.rdbuf());
  const Times made = timed_run();
  std::cout.rdbuf(old);
  if (made.wall < 0) return state.SkipWithError("the run failed");
  const auto rows = xyz_rows();
  for (auto _ : state) benchmark::DoNotOptimize(fprintf_rows(rows));
  state.SetLabel(precision);
  state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(BM_CrystalXyzFloor)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace
