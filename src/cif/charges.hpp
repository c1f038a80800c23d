// Atomic charges for point-charge embedding: from xtb (GFN2-xTB, one single
// point per molecule of the asymmetric unit) or from a file of label/charge lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cif/conversion.hpp"
#include "cif/formula.hpp"
#include "cif/options.hpp"

namespace orbicutter::cif {

// The ion charges of a moiety formula, part by part ("C9 H14 N +" -> +1,
// "C10 H6 O6 S2 2-" -> -2); empty when the formula cannot be read.
std::vector<std::pair<Composition, int>> moiety_charges(const std::string& formula_moiety);

// "label charge" lines; '#' starts a comment. Throws ConversionError naming the line.
std::vector<std::pair<std::string, double>> read_charge_file(const std::string& path);

// Fills cv.charges by options.charges and returns the summary's lines (source,
// each molecule's charge, the cell's; a warning when the cell is charged).
// Does nothing for "none".
std::vector<std::string> assign_charges(Conversion& cv, const Options& options);

}  // namespace orbicutter::cif
