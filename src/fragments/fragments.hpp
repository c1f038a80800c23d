// Fragment analysis: fragment search, fragment modifications, connectivity, rings.
#pragma once

#include <string>
#include <vector>

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
// The boxes are returned, not written: the caller shows them in this order.
struct MoleculeFindings {
  bool images_close = false;  // some atom lies within 0.5 A of an image of another
  std::vector<WarningBox> warnings;
};
MoleculeFindings molecule_checks(const Run& run);
// The connectivity matrix, its reduced copy and the bond lists are nat x nat
// tables of 4-byte integers; together they may take at most this much memory.
inline constexpr double max_bond_table_bytes = 512.0 * 1024 * 1024;
// The box " --> Too many atoms for the bond tables <--" when nat atoms would
// need more; checked before the fragment phases and before the tables are made.
void check_bond_tables(int nat);
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
