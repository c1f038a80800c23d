// libFuzzer entry: the whole program on one input file, run in a private folder.
// Beyond the sanitizers' findings, a run is a finding when it breaks what the
// program promises its users: an exit status other than 0 or 1, a box for an
// unforeseen failure, an error without its box, or a product left after an error.
#include <fcntl.h>
#include <unistd.h>

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

#include "driver/driver.hpp"

namespace fs = std::filesystem;

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
  if (status != 0 && status != 1) finding("exit status " + std::to_string(status), out);
  if (out.find(" --> Internal error") != std::string::npos) finding("internal error box", out);
  if (out.find(" --> Not enough memory") != std::string::npos) finding("memory exhausted", out);
  if (status == 1) {
    if (out.find(" !! ERROR in ") == std::string::npos) finding("status 1 without an error box", out);
    // After an error only the run log (and the echo file, complete before any
    // phase can fail) may stay.
    for (const auto& f : left)
      if (f != "fuzz.out" && f != "current_input.inp") finding("file left after an error: " + f, out);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
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
  const int status = run_captured(folder / captured_name);
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
