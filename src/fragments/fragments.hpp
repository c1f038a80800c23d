// Fragment analysis: fragment search, fragment modifications, connectivity, rings.
#pragma once

#include <string>
#include <vector>

#include "model/run.hpp"

namespace orbicutter {

// Regroups the input atoms into bonded fragments (FRAGMENT SEARCH section).
// The input atoms regrouped: each fragment one bonded molecule, its atoms where
// the search placed them (an image where only an image bonds them).
struct FragmentSearch {
  Table<std::string> names;  // (nat, 2) element, label
  Table<int> info;           // (nat, input_info_columns), renumbered in the new order
  Table<real> positions;     // (nat, 3) fractional
  Vec<real> charges;         // (nat), with charges
  Table<int> images;         // (nat, 4) operator and translation of each placed atom, 0 0 0 0 as given
  Table<int> fragments;      // (fragments, 2) frag_id, frag_size
};
FragmentSearch search_fragments(const Run& run);
// The FRAGMENT SEARCH section: its head before the search (an error box follows
// it), the fragments and their atoms after it.
void write_fragment_search_head(Unit& log);
void write_fragment_search(const Run& run, Unit& log);
// Each fragment made a molecule of the all-atom tables: identity operator,
// centre, shift into the cell and completion by bonded images. The
// FRAGMENT MODIFICATIONS section is written to `log` as the molecules grow, so
// that a fragment refused for growing without end ends a log that shows it.
struct WholeMolecules {
  Table<std::string> names;         // (nat, 2) element, label
  Table<int> info;                  // (nat, all_info_columns)
  Table<real> positions;            // (nat, 3) fractional
  Vec<real> charges;                // (nat), with charges
  std::vector<int> fragment_sizes;  // atoms of each fragment's molecule
};
WholeMolecules whole_molecules(const Run& run, Unit& log);
// The atoms of the fragments, from the fragment table.
int atoms_in_fragments(const Run& run);
// The connectivity matrix and the bond lists (bonded atoms, ascending, then
// zeros) of the first `atoms` rows of the all-atom tables, nat x nat each.
struct MoleculeBonds {
  Table<int> matrix;
  Table<int> lists;
};
MoleculeBonds molecule_bonds(const Run& run, int atoms);
// UPDATED MOLECULAR INFORMATION and, from VERB 1, CONNECTIVITY MATRIX sections.
void write_connectivity(const Run& run, Unit& log);
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
// Strips terminal atoms step by step from a copy of the connectivity matrix.
struct Reduction {
  Table<int> matrix;          // the reduced matrix: ring and ring-joining atoms
  std::vector<int> rejected;  // atoms stripped at each step that stripped any
};
Reduction reduce_connectivity(const Table<int>& matrix, int atoms);
// The CONNECTIVITY MATRIX REDUCTION section.
void write_reduction(Unit& log, const Reduction& reduction);

// Least-squares plane through n points (fractional in, Cartesian out).
// plane = unit normal (3) and offset (4th).
struct PlaneFit {
  real maxdev = 0;
  real plane[4] = {0, 0, 0, 0};
  Vec3 centre;
};
PlaneFit planarity(const Run& run, Table<real>& points, int n);
// Planarity and probe points (Cartesian) of the listed rings.
struct RingPlanarity {
  Vec<int> planar;                   // 1 for a planar ring
  Table<real> centres, above, below;  // ring centres; probe points on either side, 3 columns each
};
RingPlanarity ring_planarity(const Run& run);
// Planarity of every atom's neighbourhood: 1 for an atom with a planar one.
Vec<int> group_planarity(const Run& run);

}  // namespace orbicutter
