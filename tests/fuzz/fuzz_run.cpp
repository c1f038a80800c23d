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
#include <iostream>
#include <set>
#include <string>
#include <thread>

#include "driver/driver.hpp"
#include "fuzz/initialize.hpp"
#include "fuzz/run_folder.hpp"
#include "fuzz/verdict.hpp"

namespace fs = std::filesystem;

using namespace orbicutter::fuzzing;

namespace {

const char* const input_name = "fuzz.inp";
const char* const captured_name = "captured.stdout";

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
  const std::string what = finding(status, out, left, "fuzz.out");
  if (!what.empty()) report_finding("orbicutter", what, "standard output", out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path home = fs::current_path();
  const fs::path folder = enter_run_folder("orbicutter", data, size, input_name);
  const int status = run_captured(folder / captured_name);
  leave_run_folder(home);

  const std::string out = whole_file(folder / captured_name);
  const std::set<std::string> left = files_left(folder, {input_name, captured_name});
  fs::remove_all(folder);
  check(status, out, left);
  return 0;
}
