// The centred Cartesian coordinates that the writers share, and each atom's molecule.
#include "writers/view.hpp"

#include "cluster/cluster.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {

ClusterView::ClusterView(const Run& r)
    : run(r), centre(cartesian(r.geo.mt, r.geo.geomcent)), molecule(r.gv.ncluster) {
  int m = 0;
  for (int i = 1; i <= r.gv.ncluster; ++i) {
    if (starts_molecule(r.at.cinfo, i)) ++m;
    molecule(i) = m;
  }
}

Vec3 ClusterView::centred(int i) const { return centred_cartesian(run, row3(run.at.cgeom, i)); }

}  // namespace orbicutter
