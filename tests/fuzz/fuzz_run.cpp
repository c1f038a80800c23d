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
#include "fuzz/watchdog.hpp"

namespace fs = std::filesystem;

using namespace orbicutter::fuzzing;

namespace {

const char* const input_name = "fuzz.inp";
const char* const captured_name = "captured.stdout";

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
  start_watchdog(*argc, *argv);
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
