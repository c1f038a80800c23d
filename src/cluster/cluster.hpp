// Cluster of whole molecules around the central molecule, and its dimers.
#pragma once

#include <vector>

#include "cluster/cluster_model.hpp"
#include "model/run.hpp"

namespace orbicutter {

// The building proper around geomcent: the cells searched, the size check, the
// cluster, then its totals, listing and ORTEP codes in `log`.
ClusterModel cluster_body(const Run& run, Unit& log);

// The MOLECULE CENSUS section: the compositions of the molecules after the
// fragment phases, how many of each, and their copies in the cluster; the
// central molecule; with charges, the cluster's net charge, and a warning when
// it is charged.
void molecule_census(const Run& run, const ClusterModel& cluster, LogSink& sink, Diagnostics& diag);
// A net charge beyond what rounding the charges of `atoms` atoms to four decimals explains.
bool cluster_is_charged(double net, int atoms);
// Warns of atoms of different cluster molecules closer than 0.5 A (looked for
// only when the molecule checks found an image that close).
void cluster_checks(const Run& run, const ClusterModel& cluster, LogSink& sink, Diagnostics& diag);

// The dimers of the central molecule with its neighbours, in partner order:
// partners at the same centroid distance (through the metric g) count as one,
// kept when it touches the central molecule within the van der Waals contact
// plus `contact_tolerance`.
std::vector<DimerEntry> dimer_partners(const ClusterModel& cluster, const Mat3& g, real contact_tolerance);

}  // namespace orbicutter
