// Rows of the Fortran I/O test vectors (tab-separated, header line first).
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace orbicutter::testing {

inline std::vector<std::vector<std::string>> read_tsv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (header) {
      header = false;
      continue;
    }
    std::vector<std::string> cells(1);
    for (const char c : line) {
      if (c == '\t') cells.emplace_back();
      else cells.back() += c;
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// "|text|" -> "text".
inline std::string unbar(const std::string& s) {
  return s.size() >= 2 && s.front() == '|' && s.back() == '|' ? s.substr(1, s.size() - 2) : s;
}

}  // namespace orbicutter::testing
