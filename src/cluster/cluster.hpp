// Cluster of whole molecules around the central molecule, and its dimers.
#pragma once

#include <functional>

#include "model/run.hpp"

namespace orbicutter {

// The cluster centre and the head of the CLUSTER GENERATION section.
void cluster_head(Run& run);
// The building proper: cells searched, the cluster tables, totals, listing and ORTEP codes.
void cluster_body(Run& run);
// The whole phase: cluster_head, then cluster_body.
void cluster_building(Run& run);

// Dimers of the central molecule with its neighbours (kdimer = 1) into at.dimers.
// `each` is called for every dimer kept, before its line in the log.
void dimer_generation(Run& run, const std::function<void(const DimerEntry&)>& each = {});

}  // namespace orbicutter
