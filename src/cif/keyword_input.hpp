// The text of the generated keyword input.
#pragma once

#include <string>
#include <vector>

#include "cif/conversion.hpp"
#include "cif/options.hpp"

namespace orbicutter::cif {

// Bond tolerance (TOLS T1) of the generated input; see the README for the
// evidence behind it. The other three are the program's own defaults.
constexpr double default_bond_tolerance = 0.15;
// Pairs with a metal: coordination bonds are longer than covalent ones.
constexpr double default_metal_tolerance = 0.3;
std::string default_tolerances_text();

// Rings as lists of the program's atom numbers (RING lines).
using RingList = std::vector<std::vector<int>>;

std::string keyword_input(const Conversion& cv, const Options& options, const RingList& rings = {});

// Shortest decimal that reads back as the same number ("0.3333", "22.426").
std::string decimal(double v);

}  // namespace orbicutter::cif
