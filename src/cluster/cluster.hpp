// Cluster of whole molecules around the central molecule, and its dimers.
#pragma once

#include <functional>

#include "model/run.hpp"

namespace orbicutter {

// Row i of the cluster tables opens a molecule: the first row, or a change of the
// pair (fragment, cluster fragment number). With the cluster fragment number
// alone, copies of different fragments could merge.
inline bool starts_molecule(const Table<int>& cinfo, int i) {
  return i == 1 || cinfo(i, fragment_number) != cinfo(i - 1, fragment_number) ||
         cinfo(i, cluster_fragment) != cinfo(i - 1, cluster_fragment);
}

// The cluster centre and the head of the CLUSTER GENERATION section.
void cluster_head(Run& run);
// The building proper: cells searched, the cluster tables, totals, listing and ORTEP codes.
void cluster_body(Run& run);
// The whole phase: cluster_head, then cluster_body.
void cluster_building(Run& run);

// The MOLECULE CENSUS section: the compositions of the molecules after the
// fragment phases, how many of each, and their copies in the cluster; the
// central molecule; with charges, the cluster's net charge, and a warning when
// it is charged.
void molecule_census(Run& run);
// A net charge beyond what rounding the charges of `atoms` atoms to four decimals explains.
bool cluster_is_charged(double net, int atoms);
// Warns of atoms of different cluster molecules closer than 0.5 A (looked for
// only when the molecule checks found an image that close).
void cluster_checks(Run& run);

// The distinct symmetry images of the cluster as ORTEP codes, in the log.
void ortep(Run& run);

// Dimers of the central molecule with its neighbours (kdimer = 1) into at.dimers.
// `each` is called for every dimer kept, before its line in the log.
void dimer_generation(Run& run, const std::function<void(const DimerEntry&)>& each = {});

}  // namespace orbicutter
