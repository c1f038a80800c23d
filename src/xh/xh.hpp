// X-H bond standardisation: hydrogen atoms moved along their bonds to standard lengths.
#pragma once

#include <string>
#include <vector>

#include "format/unit.hpp"
#include "model/run.hpp"

namespace orbicutter {

// What the categories read of the whole molecules after the ring routines: the
// all-atom tables, their bonds and the rings found in them.
struct XhMolecules {
  int atoms = 0;
  const Table<std::string>& names;  // (atoms, 2) element, label
  const Table<int>& info;           // (atoms, all_info_columns)
  const Table<int>& bonded;         // connectivity matrix
  const Table<int>& bond_lists;     // bonded atoms, ascending, then zeros
  int rings = 0;
  const Vec<int>& ring_sizes;
  const Table<int>& ring_atoms;     // total atom numbers
  const Vec<int>& planar_rings;     // 1 for a planar ring
  const Vec<int>& planar_atoms;     // 1 for an atom with a planar neighbourhood
};

// One move of a hydrogen: the bond, its length before, the length it was given and why.
struct XhMove {
  int x = 0, h = 0;
  real initial = 0, target = 0;
  std::string category;
};

// The positions after the moves, and the moves in the order they were made (an H
// may move twice: a later category starts from the earlier one's length).
struct XhResult {
  Table<real> positions;
  std::vector<XhMove> moves;
};

// Moves H along X-H in `positions` (fractional) to `target`, through the metric g.
XhMove shift_hydrogen(Table<real>& positions, const Mat3& g, int x, int h, real target, const std::string& category);
// The automatic categories, for every H bonded to one atom; `long_c_h` is CHOV 1.
XhResult automatic_xh(const XhMolecules& molecules, const Table<real>& positions, const Mat3& g, bool long_c_h);
// Stops the run when a manual entry does not name two different atoms of the
// all-atom tables; the whole list is checked before any hydrogen moves.
void check_manual_xh(const Table<int>& pairs, int count, int atoms);
// The manual list (`count` entries of X, H and target), entry by entry.
XhResult manual_xh(const Table<int>& pairs, const Vec<real>& targets, int count, const Table<real>& positions,
                   const Mat3& g);

// The log section of a standardisation: its heading, the moves, the rules.
void write_xh_log(Unit& log, const std::string& heading, const std::vector<XhMove>& moves);

}  // namespace orbicutter
