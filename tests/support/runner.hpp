// Runs the built program on an input file in a fresh folder and collects what it wrote.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace orbicutter::testing {

struct RunResult {
  int status = -1;
  std::string out;                           // standard output
  std::map<std::string, std::string> files;  // every file the run left in its folder, input excluded
};

// Writes `input` as `name` into a new empty folder, runs the executable of this
// test build there as `<exe> <name>` and returns its products.
// `folders` are made in it first (to stand where a product would go).
RunResult run_program_on(const std::string& input, const std::string& name = "mol.inp",
                         const std::vector<std::string>& folders = {});
// The same for an argument line given as is (for missing or odd arguments).
RunResult run_program_with_args(const std::string& args);

// Whole file as text (inline: the benchmarks use it without this file's sources).
inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
// Names of the example crystals with expected products, sorted.
std::vector<std::string> example_names();
// Folder of the products expected from example crystal `name` in this build: the
// 4-byte build differs in last digits and signs of zero, so it has its own.
std::string expected_folder(const std::string& name);
// CPU-time figures replaced by "#", so that runs compare byte for byte.
std::string mask_cpu(const std::string& text);
// Lines from the one equal to `first` up to (not including) the one equal to
// `until` (empty: to the end).
std::string section(const std::string& text, const std::string& first, const std::string& until);

}  // namespace orbicutter::testing
