// Small text helpers shared by every phase.
#include "format/text.hpp"

#include <algorithm>

namespace orbicutter {

std::string fixed_text(std::string_view s, std::size_t n) {
  std::string t(s.substr(0, std::min(s.size(), n)));
  t.resize(n, ' ');
  return t;
}

std::string trim(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

std::string digits(long long n) { return std::to_string(n); }

}  // namespace orbicutter
