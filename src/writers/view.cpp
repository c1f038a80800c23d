// The centred Cartesian coordinates that the writers share.
#include "writers/view.hpp"

#include "geometry/geometry.hpp"

namespace orbicutter {

Vec3 WriterInput::centred(int i) const {
  const Vec3& f = cluster.atom(i).position;
  Vec3 v;
  for (int k = 1; k <= 3; ++k) v(k) = f(k) - cluster.centre(k);
  return cartesian(cell.mt, v);
}

}  // namespace orbicutter
