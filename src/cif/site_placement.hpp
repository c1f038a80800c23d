// Sites on special positions: a site within 0.1 angstrom of its own symmetry
// images goes exactly onto the position they share, so that the program merges
// its copies; distinct sites that close are an error.
#pragma once

#include <vector>

#include "cif/sites.hpp"
#include "cif/symmetry.hpp"

namespace orbicutter::cif {

constexpr double coincidence_distance = 0.1;  // angstrom

// Sets fract, site_order and moved of every site.
void place_on_special_positions(std::vector<Site>& sites, const Cell& cell, const std::vector<SymOp>& ops);

// Sites that repeat an earlier site through a symmetry operation (same element,
// occupancy and disorder group), as files listing generated atoms have them.
std::vector<Site> without_symmetry_copies(const std::vector<Site>& sites, const Cell& cell, const std::vector<SymOp>& ops,
                                          std::vector<DroppedSite>& dropped);

// Throws ConversionError for two sites closer than coincidence_distance.
void check_separation(const std::vector<Site>& sites, const Cell& cell, const std::vector<SymOp>& ops);

}  // namespace orbicutter::cif
