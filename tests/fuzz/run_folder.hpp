// The private folder of one fuzzed run: made under TMPDIR, holding the fuzzed bytes
// under the name the tool expects, and timed by the watchdog while the run is under way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>

#include "fuzz/watchdog.hpp"

namespace orbicutter::fuzzing {

// Makes the folder (`tool` names it and its error), writes the input there as `name`,
// enters it and starts the clock. A run stopped for its time leaves the folder behind.
inline std::filesystem::path enter_run_folder(const std::string& tool, const std::uint8_t* data, std::size_t size,
                                              const char* name) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / (tool + "-fuzz-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror((tool + " fuzz: mkdtemp").c_str());
    std::abort();
  }
  const fs::path folder = pattern;
  {
    std::ofstream f(folder / name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::current_path(folder);
  watch.data = data;
  watch.size = size;
  watch.started_ms = now_ms();
  return folder;
}

// Stops the clock and goes back to `home`.
inline void leave_run_folder(const std::filesystem::path& home) {
  watch.started_ms = 0;
  std::filesystem::current_path(home);
}

// The names of the files in `folder` other than those the harness put there itself.
inline std::set<std::string> files_left(const std::filesystem::path& folder, std::initializer_list<std::string> own) {
  std::set<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    auto name = e.path().filename().string();
    if (std::find(own.begin(), own.end(), name) == own.end()) left.insert(std::move(name));
  }
  return left;
}

// Names the broken promise with the run's output (`stream` says which) and stops the
// fuzzer, so that libFuzzer keeps the input as a crash.
[[noreturn]] inline void report_finding(const char* tool, const std::string& what, const char* stream,
                                        const std::string& text) {
  std::fprintf(stderr, "\n==== %s fuzz finding: %s\n---- %s:\n%s\n", tool, what.c_str(), stream, text.c_str());
  std::abort();
}

inline std::string whole_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace orbicutter::fuzzing
