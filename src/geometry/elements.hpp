// Element data: covalent and van der Waals radii and atomic numbers.
#pragma once

#include <map>
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
// A metal: every element but the non-metals, the metalloids that bond
// covalently (B, Si, Ge, As, Se, Te) and the noble gases. An unknown symbol is
// no metal.
bool is_metal(std::string_view symbol);
// A non-metal or metalloid that forms covalent bonds (H, D, B, C, N, O, F, Si,
// P, S, Cl, Ge, As, Se, Br, Te, I).
bool is_covalent_element(std::string_view symbol);
// Element counts as a formula in Hill order: C, then H, then the rest
// alphabetically; without C all alphabetically ("C6 H6", "Cl2").
std::string hill_formula(const std::map<std::string, int>& count);

}  // namespace orbicutter
