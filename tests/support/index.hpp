// Index files of test inputs: a file name, then its expected fields, tab-separated;
// lines starting with "#" are remarks.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace orbicutter::testing {

inline std::map<std::string, std::vector<std::string>> read_index(const std::string& path) {
  std::map<std::string, std::vector<std::string>> index;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream ss(line);
    for (std::string f; std::getline(ss, f, '\t');) fields.push_back(f);
    const std::string name = fields.front();
    fields.erase(fields.begin());
    index[name] = fields;
  }
  return index;
}

}  // namespace orbicutter::testing
