// Cluster building (to be written).
#include "cluster/cluster.hpp"

namespace orbicutter {
void cluster_building(Run&) {}
}  // namespace orbicutter
