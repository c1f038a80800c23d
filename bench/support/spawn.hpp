// Running a program as a user does, for the benchmarks: one process, its times
// and the peak of its memory.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace orbicutter::bench {

using Clock = std::chrono::steady_clock;

// Wall seconds of one run (< 0 when it failed), its processor seconds in the
// program and in the system, and the memory pages it touched for the first time.
struct Times {
  double wall = -1, user = 0, system = 0, faults = 0;
  double cpu() const { return user + system; }
};

inline double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); }

// Runs a program in the current folder, standard output discarded; the peak of
// its resident memory goes to `peak_bytes`. A run fails unless it exits with 0,
// or with 1 (an error box) when `any_status` is set.
inline Times spawn(std::vector<std::string> args, double* peak_bytes = nullptr, bool any_status = false) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return {};
  int status = 0;
  rusage use{};
  if (wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status)) return {};
  if (WEXITSTATUS(status) != 0 && !(any_status && WEXITSTATUS(status) == 1)) return {};
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  if (peak_bytes) *peak_bytes = static_cast<double>(use.ru_maxrss) * 1024.0;  // kilobytes on Linux
  return {wall, seconds(use.ru_utime), seconds(use.ru_stime), static_cast<double>(use.ru_minflt)};
}

}  // namespace orbicutter::bench
