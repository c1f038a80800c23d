// The centre of the cluster and the reach of the central molecule.
#include "cluster/centre.hpp"

#include "geometry/geometry.hpp"

namespace orbicutter {

Vec3 fragment_centre(const Run& run, int f) {
  Vec3 sum;
  int n = 0;
  for (int i = 1; i <= run.gv.nat; ++i) {
    if (run.at.allinfo(i, fragment_number) != f) continue;
    for (int k = 1; k <= 3; ++k) sum(k) += run.at.allgeom(i, k);
    ++n;
  }
  if (n == 0) return Vec3{};
  Vec3 c;
  for (int k = 1; k <= 3; ++k) c(k) = sum(k) / static_cast<real>(n);
  return c;
}

Vec3 cluster_centre(const Run& run) {
  if (run.kw.kgecr == 1) return run.geo.geomcentfix;
  return fragment_centre(run, 1);
}

real central_radius(const Run& run) {
  real r = 0;
  for (int i = 1; i <= run.gv.nat; ++i) {
    if (run.at.allinfo(i, fragment_number) != 1) continue;
    const real d = calcdist(run, run.geo.geomcent, row3(run.at.allgeom, i));
    if (d > r) r = d;
  }
  return r;
}

}  // namespace orbicutter
