// The centred Cartesian coordinates that the writers share.
#include "writers/view.hpp"

#include "geometry/geometry.hpp"

namespace orbicutter {

Vec3 WriterInput::centred(int i) const {
  return centred_cartesian(cell.mt, cluster.centre, cluster.atom(i).position);
}

}  // namespace orbicutter
