// The centred Cartesian coordinates that the writers share.
#include "writers/view.hpp"

#include "cluster/cluster.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {

ClusterView::ClusterView(const Run& r)
    : run(r), centred(r.gv.ncluster, 3), centre(cartesian(r.geo.mt, r.geo.geomcent)), molecule(r.gv.ncluster) {
  int m = 0;
  for (int i = 1; i <= r.gv.ncluster; ++i) {
    set_row3(centred, i, centred_cartesian(r, row3(r.at.cgeom, i)));
    if (starts_molecule(r.at.cinfo, i)) ++m;
    molecule(i) = m;
  }
}

}  // namespace orbicutter
