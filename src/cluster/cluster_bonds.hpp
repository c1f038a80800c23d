// The bonds of the cluster: the bonds of the whole molecules, renumbered to cluster atoms.
#pragma once

#include <vector>

#include "cluster/cluster_model.hpp"

namespace orbicutter {

// Bond lists in cluster numbering: a partner is the atom of the same cluster
// molecule with the partner's molecular number (the last such atom, should
// there be several); a partner not found keeps its molecular number.
// `bonds` holds each molecular atom's partners, ascending, then zeros.
BondLists cluster_bonds(const std::vector<ClusterAtom>& atoms, const Table<int>& bonds, int nat);

}  // namespace orbicutter
