// What makes one fuzzed run a finding, from its exit status, standard output and the
// files left in its folder. Kept apart from the libFuzzer entry so that tests check it.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace orbicutter::fuzzing {

// The message lines of the box that ends a failed run: the lines after its last
// "!! ERROR in" title, up to the closing rule. Warnings quote skipped input lines, so
// any words can appear elsewhere in standard output; only the final box is the program's.
inline std::vector<std::string> final_box(const std::string& standard_output) {
  const std::string out = "\n" + standard_output;
  const auto at = out.rfind("\n ======\n !! ERROR in ");
  std::vector<std::string> lines;
  if (at == std::string::npos) return lines;
  std::size_t p = out.find('\n', at + 9) + 1;  // past the title
  for (std::size_t e; (e = out.find('\n', p)) != std::string::npos; p = e + 1) {
    std::string line = out.substr(p, e - p);
    if (line == " ======") return lines;
    lines.push_back(std::move(line));
  }
  return {};  // a box without its closing rule is no box
}

// Empty when the run kept every promise; otherwise what it broke.
inline std::string finding(int status, const std::string& out, const std::set<std::string>& left,
                           const std::string& log_name) {
  if (status == 0) return {};
  if (status != 1) return "exit status " + std::to_string(status);
  const auto box = final_box(out);
  if (box.empty()) return "status 1 without an error box";
  for (const auto& line : box) {
    if (line.starts_with(" --> Internal error")) return "internal error box";
    if (line.starts_with(" --> Not enough memory")) return "memory exhausted";
  }
  // After an error only the run log may stay: no product, no echo file, no temporary file.
  for (const auto& f : left)
    if (f != log_name) return "file left after an error: " + f;
  return {};
}

// The same for one run of the converter on a CIF, from its exit status, its standard
// error and the files it left beside the CIF: a refusal is exactly one error line and
// leaves nothing; a success leaves the input `written` and nothing else. Whether the
// program accepts that input is checked apart.
inline std::string cif_finding(int status, const std::string& standard_error, const std::set<std::string>& left,
                               const std::string& written) {
  if (status != 0 && status != 1) return "exit status " + std::to_string(status);
  if (status == 1) {
    const std::string prefix = "orbicutter-cif: error: ";
    const auto end = standard_error.find('\n');
    if (!standard_error.starts_with(prefix) || end == std::string::npos || end + 1 != standard_error.size())
      return "status 1 without exactly one error line";
    if (!left.empty()) return "file left after an error: " + *left.begin();
    return {};
  }
  if (!left.count(written)) return "status 0 without the input " + written;
  for (const auto& f : left)
    if (f != written) return "file left beside the input: " + f;
  return {};
}

}  // namespace orbicutter::fuzzing
