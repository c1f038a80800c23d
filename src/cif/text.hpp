// Small text helpers of the converter.
#pragma once

#include <cctype>
#include <sstream>
#include <string>

namespace orbicutter::cif {

inline std::string trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

inline std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

inline std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A count or occupancy as people write it: "0.41", "2", "6.071".
inline std::string number(double v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

}  // namespace orbicutter::cif
