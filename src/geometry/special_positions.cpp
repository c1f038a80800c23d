// Atoms on special positions (to be written).
#include "geometry/geometry.hpp"

namespace orbicutter {
void special_positions(Run&) {}
}  // namespace orbicutter
