// libFuzzer entry: the whole program on one input file, run in a private folder.
// Beyond the sanitizers' findings, a run is a finding when it breaks what the
// program promises its users: an exit status other than 0 or 1, a box for an
// unforeseen failure, an error without its box, a product left after an error,
// or more than ORBICUTTER_FUZZ_SECONDS (default 10) of wall time.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "driver/driver.hpp"
#include "fuzz/verdict.hpp"

namespace fs = std::filesystem;

namespace {

const char* const input_name = "fuzz.inp";
const char* const captured_name = "captured.stdout";

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
Watch watch;

long long now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void say(const char* text) {
  for (std::size_t n = std::strlen(text); n > 0;) {
    const ssize_t w = ::write(STDERR_FILENO, text, n);
    if (w <= 0) return;
    text += w;
    n -= static_cast<std::size_t>(w);
  }
}

[[noreturn]] void time_out() {
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

void watchdog() {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long long started = watch.started_ms.load();
    if (started != 0 && watch.limit_ms > 0 && now_ms() - started > watch.limit_ms) time_out();
  }
}

[[noreturn]] void finding(const std::string& what, const std::string& out) {
  std::fprintf(stderr, "\n==== orbicutter fuzz finding: %s\n---- standard output:\n%s\n", what.c_str(), out.c_str());
  std::abort();
}

std::string whole_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Runs the program with standard output sent to `capture`; the fuzzer's own
// messages go to standard error and stay readable.
int run_captured(const fs::path& capture) {
  std::cout.flush();
  std::fflush(stdout);
  const int fd = ::open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0) {
    std::perror("orbicutter fuzz: capture");
    std::abort();
  }
  ::close(fd);
  std::string name = input_name;
  std::string program = "orbicutter";
  char* argv[] = {program.data(), name.data(), nullptr};
  const int status = orbicutter::run_program(2, argv);
  std::cout.flush();
  std::fflush(stdout);
  const int null = ::open("/dev/null", O_WRONLY);
  if (null < 0 || ::dup2(null, STDOUT_FILENO) < 0) std::abort();
  ::close(null);
  return status;
}

void check(int status, const std::string& out, const std::set<std::string>& left) {
  const std::string what = orbicutter::fuzzing::finding(status, out, left, "fuzz.out");
  if (!what.empty()) finding(what, out);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  for (int i = 1; i < *argc; ++i) {
    const char* a = (*argv)[i];
    const char* key = "-artifact_prefix=";
    if (std::strncmp(a, key, std::strlen(key)) == 0)
      std::snprintf(watch.prefix, sizeof watch.prefix, "%s", a + std::strlen(key));
  }
  if (const char* s = std::getenv("ORBICUTTER_FUZZ_SECONDS")) watch.limit_ms = std::atoll(s) * 1000;
  std::thread(watchdog).detach();
  // Nothing the program prints reaches the terminal between runs.
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) {
    std::fflush(stdout);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path home = fs::current_path();
  std::string pattern = (fs::temp_directory_path() / "orbicutter-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("orbicutter fuzz: mkdtemp");
    std::abort();
  }
  const fs::path folder = pattern;
  {
    std::ofstream f(folder / input_name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::current_path(folder);
  watch.data = data;
  watch.size = size;
  watch.started_ms = now_ms();
  const int status = run_captured(folder / captured_name);
  watch.started_ms = 0;
  fs::current_path(home);

  const std::string out = whole_file(folder / captured_name);
  std::set<std::string> left;
  for (const auto& e : fs::directory_iterator(folder)) {
    const auto name = e.path().filename().string();
    if (name != input_name && name != captured_name) left.insert(name);
  }
  fs::remove_all(folder);
  check(status, out, left);
  return 0;
}
