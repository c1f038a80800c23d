// A three-character atom name (element symbol or site label), blank-padded, held in
// place: a cluster of 100,000 atoms keeps its two name columns in 600 KB, with no
// text allocated per atom.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace orbicutter {

struct Name3 {
  static constexpr std::size_t width = 3;
  char c[width] = {' ', ' ', ' '};

  // A text cut to three characters, or padded with blanks on the right, as read into an A3 field.
  Name3& operator=(std::string_view s) {
    const std::size_t n = std::min(s.size(), width);
    std::fill(std::copy_n(s.data(), n, c), c + width, ' ');
    return *this;
  }
  operator std::string_view() const { return {c, width}; }
  friend bool operator==(const Name3& a, std::string_view b) { return std::string_view(a) == b; }
};

}  // namespace orbicutter
