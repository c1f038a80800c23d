// The phases in their fixed order, shared by the program and the library. The
// routines' banners and CPU-time lines go to the sink's standard-output unit.
#pragma once

#include <functional>
#include <string>

#include "cluster/cluster_model.hpp"
#include "model/run.hpp"
#include "writers/view.hpp"

namespace orbicutter {

// The input text read into the run (with the input report) and the crystal system named.
void read_crystal(Run& run, const std::string& contents);
// Special positions, matrices, fragments, connectivity, the checks of the
// molecules, rings and X-H standardisation.
void build_molecules(Run& run);
// The input atoms regrouped into bonded fragments (FRAGMENT SEARCH section).
void fragment_search(Run& run);
// Identity operator, centre, shift and completion of each fragment; fills the all-atom tables.
void fragment_modifications(Run& run);
// Atom count, connectivity matrix, bond lists and their log sections.
void connectivity(Run& run);
// The CONNECTIVITY MATRIX REDUCTION of the automatic X-H standardisation.
void connectivity_reduction(Run& run);
// mode "RING_": planarity and probe points of the listed rings; "GROUP": planarity
// of every atom's neighbourhood; anything else does nothing.
void prepplanarity(Run& run, const std::string& mode);
// The ring routines of build_molecules: the connectivity reduction (automatic X-H
// standardisation), ring planarity and probe points (RING 1), group planarity.
void ring_routines(Run& run);
// The X-H standardisation of build_molecules (kstxh = 1): the check of the manual
// list, the automatic categories (nxh <= 0), then the manual list (nxh != 0).
void xh_routines(Run& run);
// The cluster around the central molecule, the molecule census and the check
// of the cluster; cluster_head must have run.
// The cluster centre (into the run) and the head of the CLUSTER GENERATION section.
void cluster_head(Run& run);
// cluster_head, then the building proper into the run's log (without census and check).
ClusterModel cluster_building(Run& run);
ClusterModel build_cluster(Run& run);
// The dimers of the central molecule and their section of the log; `each` sees
// every dimer kept, in order, before its line in the log (the program writes
// its files there).
std::vector<DimerEntry> find_dimers(Run& run, const ClusterModel& cluster,
                                    const std::function<void(const DimerEntry&)>& each = {});
// The atoms of the whole molecules, as the crystal template and the test molecule take them.
std::vector<MoleculeAtom> molecule_atoms(const Run& run);
// What the writers take from the run and the cluster.
WriterInput writer_input(const Run& run, const ClusterModel& cluster);

}  // namespace orbicutter
