// Subprocess runner for end-to-end tests.
#include "support/runner.hpp"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace orbicutter::testing {
namespace {

fs::path fresh_folder() {
  static std::atomic<int> counter{0};
  const fs::path dir = fs::temp_directory_path() /
                       ("orbicutter-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

RunResult run_in(const fs::path& dir, const std::string& args, const std::string& skip) {
  RunResult r;
  const std::string cmd = "cd '" + dir.string() + "' && '" + std::string(ORBICUTTER_EXE) + "' " + args +
                          " > stdout.captured 2>&1";
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_file((dir / "stdout.captured").string());
  for (const auto& e : fs::directory_iterator(dir)) {
    const auto name = e.path().filename().string();
    if (name == "stdout.captured" || name == skip) continue;
    if (e.is_regular_file()) r.files[name] = read_file(e.path().string());
  }
  fs::remove_all(dir);
  return r;
}

}  // namespace

std::vector<std::string> example_names() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(std::string(ORBICUTTER_TEST_DATA) + "/crystals/expected"))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string expected_folder(const std::string& name) {
#ifdef ORBICUTTER_SINGLE
  return std::string(ORBICUTTER_TEST_DATA) + "/crystals/expected-4byte/" + name;
#else
  return std::string(ORBICUTTER_TEST_DATA) + "/crystals/expected/" + name;
#endif
}

RunResult run_program_on(const std::string& input, const std::string& name, const std::vector<std::string>& folders) {
  const auto dir = fresh_folder();
  for (const auto& f : folders) fs::create_directories(dir / f);
  {
    std::ofstream f(dir / name, std::ios::binary);
    f << input;
  }
  return run_in(dir, "'" + name + "'", name);
}

RunResult run_program_with_args(const std::string& args) { return run_in(fresh_folder(), args, ""); }

std::string mask_cpu(const std::string& text) {
  static const std::regex cpu(R"((CPU time = )[0-9.]+( s))");
  return std::regex_replace(text, cpu, "$1#$2");
}

std::string section(const std::string& text, const std::string& first, const std::string& until) {
  std::istringstream in(text);
  std::string line, out;
  bool on = false;
  while (std::getline(in, line)) {
    if (!on && line == first) on = true;
    else if (on && !until.empty() && line == until) break;
    if (on) out += line + "\n";
  }
  return out;
}

}  // namespace orbicutter::testing
