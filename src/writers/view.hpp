// What every output file is written from: the finished run, read-only, and the
// cluster's Cartesian coordinates relative to its centre, computed once.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

struct ClusterView {
  explicit ClusterView(const Run& run);

  const Run& run;
  Table<real> centred;  // (ncluster, 3): cluster atoms, angstrom, from the cluster centre
  Vec3 centre;          // the cluster centre itself in Cartesian coordinates
};

}  // namespace orbicutter
