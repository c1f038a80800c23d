// The limits above which a cluster is refused before it is built, and the
// number of cells searched.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

// A cluster of two million atoms already makes output files of hundreds of megabytes.
inline constexpr double max_cluster_atoms = 2.0e6;
// Symmetry images tried: atoms x operators x (2 ncells + 1)^3.
inline constexpr double max_trial_positions = 1.0e9;
// Entries of the cluster bond lists, estimated as cluster atoms x nat (no atom has
// more than nat - 1 partners), 4 bytes each.
inline constexpr double max_bond_entries = 5.0e8;
// The atom counts of the log and of the XYZ file are six-column fields: a cluster
// that outgrows them stops as soon as it does.
inline constexpr int max_cluster_rows = 999999;
// A cell so flat that the distance test cannot tell close atoms from far ones in
// the program's precision leaves the coincidence test without its index: beyond
// this estimate the all-pairs comparison would take minutes.
inline constexpr double max_unindexed_atoms = 2.0e4;
// Largest dmax / shortest cell edge for which ncells is computed at all.
inline constexpr double max_cell_ratio = 1.0e5;

// Cells searched either way: nint(dmax / shortest edge) + 2, halves away from
// zero. Stops with an error box beyond max_cell_ratio.
int cells_to_search(const Geometry& geo);

struct ClusterSize {
  double atoms = 0;   // estimated cluster atoms
  double trials = 0;  // symmetry images the search computes
  double bonds = 0;   // estimated bond list entries
};
// Upper estimate: the atoms of nsym copies of every molecule per cell, over a
// sphere of radius dmax + the central reach + the largest molecular radius,
// searching `cells` cells either way.
ClusterSize estimate_cluster_size(const Run& run, int cells, real radius);
// Stops with an error box when the estimate passes one of the limits above.
void check_cluster_size(const Run& run, int cells, real radius);

}  // namespace orbicutter
