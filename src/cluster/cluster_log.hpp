// The cluster's sections of the run log, written from the cluster once it is built.
#pragma once

#include "cluster/cluster_model.hpp"
#include "format/unit.hpp"

namespace orbicutter {

// The head of CLUSTER GENERATION: the centre and, by building method, the
// maximal molecular distance (`radius`, method 2) or its note (method 3).
void write_cluster_head(Unit& log, const Vec3& centre, int kbuild, real radius);
// The number of unit cells considered, before the building starts.
void write_cells_searched(Unit& log, int cells);
// The totals, the full listing (verbosity 1 and above, the legend from 2, the
// charge column with charges) and the ORTEP codes.
void write_cluster(Unit& log, const ClusterModel& cluster, int verbosity, bool charges);
// The distinct symmetry images of the cluster as five-digit ORTEP codes.
void write_ortep_codes(Unit& log, const ClusterModel& cluster);

// DIMER GENERATION: the head with the number of dimers, one line per dimer (its
// number, distance and ORTEP code), and the closing rule.
void write_dimer_head(Unit& log, int dimers);
void write_dimer_line(Unit& log, const ClusterModel& cluster, const DimerEntry& dimer);
void write_dimer_tail(Unit& log);

}  // namespace orbicutter
