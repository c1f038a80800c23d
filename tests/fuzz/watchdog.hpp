// The wall-time limit of the fuzz targets: ORBICUTTER_FUZZ_SECONDS (default 10) per run.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace orbicutter::fuzzing {

// The time limit is kept by a watchdog thread rather than by libFuzzer's own alarm:
// its signal handler allocates, and when the alarm strikes inside the allocator the
// process hangs for good. The watchdog writes the input with plain system calls.
struct Watch {
  std::atomic<long long> started_ms{0};  // 0: no run under way
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  long long limit_ms = 10000;
  char prefix[4096] = "./";  // libFuzzer's -artifact_prefix
};
inline Watch watch;

inline long long now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

inline void say(const char* text) {
  for (std::size_t n = std::strlen(text); n > 0;) {
    const ssize_t w = ::write(STDERR_FILENO, text, n);
    if (w <= 0) return;
    text += w;
    n -= static_cast<std::size_t>(w);
  }
}

[[noreturn]] inline void time_out() {
  std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a: a name per input
  for (std::size_t i = 0; i < watch.size; ++i) hash = (hash ^ watch.data[i]) * 1099511628211ULL;
  char path[4200];
  std::snprintf(path, sizeof path, "%stimeout-%016llx", watch.prefix, static_cast<unsigned long long>(hash));
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    for (std::size_t done = 0; done < watch.size;) {
      const ssize_t w = ::write(fd, watch.data + done, watch.size - done);
      if (w <= 0) break;
      done += static_cast<std::size_t>(w);
    }
    ::close(fd);
  }
  char line[4400];
  std::snprintf(line, sizeof line, "\n==== orbicutter fuzz finding: run over %lld ms; input written to %s\n",
                watch.limit_ms, path);
  say(line);
  ::_exit(70);  // libFuzzer's status after a timeout
}

inline void watchdog() {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long long started = watch.started_ms.load();
    if (started != 0 && watch.limit_ms > 0 && now_ms() - started > watch.limit_ms) time_out();
  }
}

// Reads libFuzzer's -artifact_prefix, starts the watchdog and sends the
// program's own standard output to /dev/null between runs.
inline void start_watchdog(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const char* key = "-artifact_prefix=";
    if (std::strncmp(a, key, std::strlen(key)) == 0)
      std::snprintf(watch.prefix, sizeof watch.prefix, "%s", a + std::strlen(key));
  }
  if (const char* s = std::getenv("ORBICUTTER_FUZZ_SECONDS")) watch.limit_ms = std::atoll(s) * 1000;
  std::thread(watchdog).detach();
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) {
    std::fflush(stdout);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
}

}  // namespace orbicutter::fuzzing
