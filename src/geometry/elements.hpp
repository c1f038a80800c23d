// Element data: covalent and van der Waals radii and atomic numbers.
#pragma once

#include <string>
#include <string_view>

#include "model/real.hpp"

namespace orbicutter {

// What is known of one element symbol (3-character text, compared left-adjusted,
// case-sensitive). Symbols found nowhere give zeros.
struct ElementData {
  real covalent = 0;
  real vdw = 0;
  int number = 0;
  bool found = false;
};
ElementData element(std::string_view symbol);

// The lookup as the phases call it: mode 1 covalent radius, 2 van der Waals
// radius (into r), 3 atomic number (into n). Unknown symbols give 0.
void atinfo(std::string_view symbol, int mode, real& r, int& n);
inline real covalent_radius(std::string_view s) { return element(s).covalent; }
inline real vdw_radius(std::string_view s) { return element(s).vdw; }
inline int atomic_number(std::string_view s) { return element(s).number; }

}  // namespace orbicutter
