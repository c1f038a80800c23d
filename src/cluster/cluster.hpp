// Cluster of whole molecules around the central molecule, and its dimers.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

// Cluster centre, test-molecule stop, CRYSTAL file, cluster building, listing and ORTEP codes.
void cluster_building(Run& run);
// Dimers of the central molecule with its neighbours (kdimer = 1).
void dimer_generation(Run& run);

}  // namespace orbicutter
