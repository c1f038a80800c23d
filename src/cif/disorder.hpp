// Disorder that the groups of one assembly do not describe alone: several
// independent sites in one assembly, and a molecule disordered over a
// symmetry element without groups.
#pragma once

#include <string>
#include <vector>

#include "cif/sites.hpp"
#include "cif/symmetry.hpp"

namespace orbicutter::cif {

// An assembly whose groups pair off by complementary occupancies (1/2, 3/4,
// 5/6, each pair summing to 1) holds independent disorder sites: each pair
// becomes an assembly of its own, so that one group of every pair is kept.
void pair_disorder_groups(std::vector<Site>& sites, std::vector<std::string>& notes);

// Sites at occupancy 0.5 outside groups that overlap images of themselves or
// of one another: a molecule disordered over a symmetry element. The input's
// operators always write both orientations together (a molecule that clashes
// with its own image), so the disordered molecule is left out with a warning.
std::vector<Site> without_overlapping_orientations(const std::vector<Site>& sites, const Cell& cell,
                                                   const std::vector<SymOp>& ops, std::vector<DroppedSite>& dropped,
                                                   std::vector<std::string>& warnings);

}  // namespace orbicutter::cif
