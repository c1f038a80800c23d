// What every output file is written from: the finished run, read-only, and the
// cluster's Cartesian coordinates relative to its centre.
#pragma once

#include <algorithm>
#include <string>

#include "model/run.hpp"

namespace orbicutter {

struct ClusterView {
  explicit ClusterView(const Run& run);

  const Run& run;
  // Cluster atom i in angstrom from the cluster centre, computed when a row is written:
  // a stored copy would cost a large cluster hundreds of fresh memory pages.
  Vec3 centred(int i) const;
  Vec3 centre;          // the cluster centre itself in Cartesian coordinates
  Vec<int> molecule;    // (ncluster): the molecule of each atom, numbered from 1 in cluster order
};

// The ring probe points (NICS) in file order, ring by ring: the centre "X0_r",
// then "X1_j_r" and "X2_j_r" on the two sides for point j; `probe` gets the
// label, the table of Cartesian positions, the ring and the first column.
template <class Probe>
void for_each_probe(const Run& run, Probe&& probe) {
  if (run.kw.knics != 1) return;
  const auto& tmp = run.tmp;
  const int nrings = std::min(run.gv.nrings, tmp.nics0.rows());
  for (int r = 1; r <= nrings; ++r) {
    const std::string ring = digits(r);
    if (tmp.nics0.cols() >= 3) probe("X0_" + ring, tmp.nics0, r, 1);
    for (int j = 1; j <= run.gv.nnics; ++j) {
      const int col = 3 * j - 2;
      const std::string tag = digits(j) + "_" + ring;
      if (r <= tmp.nics1.rows() && col + 2 <= tmp.nics1.cols()) probe("X1_" + tag, tmp.nics1, r, col);
      if (r <= tmp.nics2.rows() && col + 2 <= tmp.nics2.cols()) probe("X2_" + tag, tmp.nics2, r, col);
    }
  }
}

}  // namespace orbicutter
