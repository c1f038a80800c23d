// Small hand-made clusters for the writer and dimer tests. Cells have exact right
// angles in the matrices and coordinates are binary fractions, so every printed
// number can be worked out by hand in both precisions.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "model/run.hpp"
#include "writers/view.hpp"
#include "support/crystal.hpp"

namespace orbicutter::testing {

struct ClusterAtom {
  std::string element, label;
  std::vector<int> info;  // the ten info columns
  real x, y, z;
};

// A rectangular cell a x b x c with 90-degree angles as the reader stores them,
// and the matrices without the rounding residue of cos(90 degrees).
inline void rectangular_cell(Run& run, real a, real b, real c) {
  set_cell_constants(run, {a, b, c, 90, 90, 90});
  auto& geo = run.geo;
  geo.mt = Mat3{};
  geo.g = Mat3{};
  geo.mt(1, 1) = a;
  geo.mt(2, 2) = b;
  geo.mt(3, 3) = c;
  geo.g(1, 1) = a * a;
  geo.g(2, 2) = b * b;
  geo.g(3, 3) = c * c;
}

inline void set_centre(Run& run, real x, real y, real z) {
  run.geo.geomcent(1) = x;
  run.geo.geomcent(2) = y;
  run.geo.geomcent(3) = z;
}

// Cluster tables from a list of atoms; fragment sizes from `frag_sizes`.
inline void set_cluster(Run& run, const std::vector<ClusterAtom>& atoms, const std::vector<int>& frag_sizes) {
  auto& at = run.at;
  const int n = static_cast<int>(atoms.size());
  run.gv.ncluster = n;
  run.gv.nfrag = static_cast<int>(frag_sizes.size());
  at.frag.allocate(run.gv.nfrag, 2);
  for (int f = 1; f <= run.gv.nfrag; ++f) {
    at.frag(f, frag_id) = f;
    at.frag(f, frag_size) = frag_sizes[static_cast<std::size_t>(f - 1)];
  }
  at.catns.allocate(n, 2);
  at.cinfo.allocate(n, cluster_info_columns);
  at.cgeom.allocate(n, 3);
  for (int i = 1; i <= n; ++i) {
    const auto& a = atoms[static_cast<std::size_t>(i - 1)];
    at.catns(i, 1) = text3(a.element);
    at.catns(i, 2) = text3(a.label);
    for (int c = total_atom; c <= cluster_atom; ++c) at.cinfo(i, c) = a.info[static_cast<std::size_t>(c - 1)];
    at.cgeom(i, 1) = a.x;
    at.cgeom(i, 2) = a.y;
    at.cgeom(i, 3) = a.z;
  }
}

// The writers' cluster: a two-atom central molecule (C1, O1), the one-atom stored
// copy of fragment 2 (H1) and a copy of fragment 1 by operator 2 and the cell
// translation (1, 0, -1). Cell 10 x 12 x 8, centre (0.125, 0.25, 0.5), so the
// Cartesian positions are (1.25, 0, 0), (0, 1.5, 0), (3.75, 3, 2), (6.25, 0, -2)
// and (5, -1.5, -2). Charges -0.25 (C), 0.5 (O) and 0 (H).
inline void writer_cluster(Run& run) {
  run.gv.outf = "mol";
  rectangular_cell(run, 10, 12, 8);
  set_centre(run, sp(0.125f), sp(0.25f), sp(0.5f));
  set_cluster(run,
              {{"C", "C1", {1, 1, 1, 1, 0, 0, 0, 1, 0, 1}, sp(0.25f), sp(0.25f), sp(0.5f)},
               {"O", "O1", {2, 2, 1, 1, 0, 0, 0, 2, 0, 2}, sp(0.125f), sp(0.375f), sp(0.5f)},
               {"H", "H1", {3, 1, 2, 1, 0, 0, 0, 3, 0, 3}, sp(0.5f), sp(0.5f), sp(0.75f)},
               {"C", "C1", {1, 1, 1, 2, 1, 0, -1, 1, 1, 4}, sp(0.75f), sp(0.25f), sp(0.25f)},
               {"O", "O1", {2, 2, 1, 2, 1, 0, -1, 2, 1, 5}, sp(0.625f), sp(0.125f), sp(0.25f)}},
              {2, 1});
  run.gv.nat = 3;
  run.at.fcharge.allocate(3);
  run.at.fcharge(1) = sp(-0.25f);
  run.at.fcharge(2) = sp(0.5f);
  run.at.fcharge(3) = 0;
  // Bond lists in cluster numbering; row 3 has none.
  const std::vector<std::vector<int>> bonds = {{2}, {1, 5}, {}, {5}, {4}};
  run.at.cbonds.clear();
  for (const auto& row : bonds) {
    for (int b : row) run.at.cbonds.add(b);
    run.at.cbonds.end_row();
  }
  run.geo.dmax = 8;
}

// Runs one writer on the run's cluster into a string.
template <class Writer>
std::string written(const Run& run, Writer writer) {
  std::ostringstream os;
  Unit unit = Unit::memory(os);
  writer(ClusterView(run), unit);
  return os.str();
}

}  // namespace orbicutter::testing
