// Crystal system and MATRICES section (to be written).
#include "geometry/geometry.hpp"

namespace orbicutter {
void metric(Run&) {}
void matrices(Run& run) { mtmatrix(run); gmatrix(run); }
}  // namespace orbicutter
