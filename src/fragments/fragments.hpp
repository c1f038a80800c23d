// Fragment analysis: fragment search, fragment modifications, connectivity, rings.
#pragma once

#include <string>

#include "model/run.hpp"

namespace orbicutter {

// Regroups the input atoms into bonded fragments (FRAGMENT SEARCH section).
void fragment_search(Run& run);
// Identity operator, centre, shift and completion of each fragment; fills the all-atom tables.
void fragment_modifications(Run& run);
// Atom count, connectivity matrix, bond lists and their log sections.
void connectivity(Run& run);
// Warnings on the rebuilt molecules: incomplete molecules, contacts just beyond
// the bond threshold, nearly coinciding atoms, lone H atoms, unknown elements.
void molecule_checks(Run& run);
// Strips terminal atoms step by step (CONNECTIVITY MATRIX REDUCTION section).
void connectivity_reduction(Run& run);

// Least-squares plane through n points (fractional in, Cartesian out).
// plane = unit normal (3) and offset (4th).
struct PlaneFit {
  real maxdev = 0;
  real plane[4] = {0, 0, 0, 0};
  Vec3 centre;
};
PlaneFit planarity(const Run& run, Table<real>& points, int n);
// mode "RING_": planarity and probe points of the listed rings; "GROUP": planarity
// of every atom's neighbourhood; anything else does nothing.
void prepplanarity(Run& run, const std::string& mode);

}  // namespace orbicutter
