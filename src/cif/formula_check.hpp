// The written crystal against the formula: the elements that labels give, the
// content of the unit cell against the formula sum times Z, and the operators
// whose content matches when the list and the symbol disagree.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cif/formula.hpp"
#include "cif/sites.hpp"
#include "cif/symmetry.hpp"

namespace orbicutter::cif {

// The formula sum times Z, per unit cell; none without a readable sum or Z.
std::optional<Composition> formula_per_cell(const std::string& formula_sum, const std::string& z);

// Elements that labels gave but the formula lacks: a water label (Wat1, OW1)
// becomes O with a warning; any other is an error. Type symbols outside the
// formula are a warning. Without a readable formula nothing changes.
void check_site_elements(std::vector<Site>& sites, const std::string& formula_sum, std::vector<std::string>& warnings);

// The atoms per cell of `sites` under `ops`, each site weighted by its
// occupancy (`weighted`) or counted whole, as the input writes it.
Composition cell_content(std::vector<Site> sites, const Cell& cell, const std::vector<SymOp>& ops, bool weighted);

// "8 H atoms fewer than the formula: hydrogens not located?" for each element
// whose count differs by more than rounding; empty when they agree.
std::vector<std::string> content_differences(const Composition& content, const Composition& formula);

// With an operator list that differs from the group of the symbols: the
// operators whose cell content matches the formula times Z, with the warning
// that says which and why. `symmetry.alternative` holds the symbols' group.
void choose_by_content(Symmetry& symmetry, const std::vector<Site>& sites, const Cell& cell,
                       const std::optional<Composition>& formula);

}  // namespace orbicutter::cif
