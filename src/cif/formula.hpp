// Chemical formulas: compositions, the CIF formula notation and Hill order.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orbicutter::cif {

// Element symbol -> number of atoms.
using Composition = std::map<std::string, double>;

// One part of a moiety formula: "2C32 H28 N2 O" is 2 x C32H28N2O.
struct Moiety {
  double multiplier = 1;
  Composition composition;
  std::string text;  // as written, trimmed
};

// The comma-separated parts of a CIF formula (moiety or sum); charges are read
// and left out. Empty when the text uses anything but element symbols, counts,
// brackets and charges (abbreviations such as "bpe", ligand names).
std::optional<std::vector<Moiety>> parse_formula(const std::string& text);

// "C10 H14 O2": Hill order (carbon, hydrogen, then alphabetical; alphabetical
// throughout without carbon), counts of 1 left out.
std::string hill_formula(const Composition& c);

bool same_composition(const Composition& a, const Composition& b);

}  // namespace orbicutter::cif
