// Dimer generation (to be written).
#include "cluster/cluster.hpp"

namespace orbicutter {
void dimer_generation(Run&) {}
}  // namespace orbicutter
