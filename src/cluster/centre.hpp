// The centre of the cluster and the reach of the central molecule.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

// Mean fractional position of the atoms of fragment f: the sum in table order, then divided.
Vec3 fragment_centre(const Run& run, int f);
// Mean fractional position of the atoms of fragment 1 (or geomcentfix with GECR).
Vec3 cluster_centre(const Run& run);
// Largest distance from geomcent to an atom of fragment 1; 0 without atoms.
real central_radius(const Run& run);

}  // namespace orbicutter
