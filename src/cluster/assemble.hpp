// The cluster builder: every symmetry copy of every molecule that reaches within
// dmax of the centre, each molecule once.
#pragma once

#include "cluster/cluster_model.hpp"
#include "cluster/cluster_size.hpp"
#include "model/run.hpp"

namespace orbicutter {

// The building proper, from the whole molecules of the run (allatns, allinfo,
// allgeom, allbonds), the cell, the operators and the centre geomcent: the
// central molecule, the stored and moved copies of every fragment, their
// numbering, molecules, bonds and charges. `cells` cells are searched either way;
// `radius` is the central radius (used by building methods 2 and 3). A cluster
// that passes `max_rows` atoms stops the run.
ClusterModel assemble_cluster(const Run& run, int cells, real radius, int max_rows = max_cluster_rows);

// Test mode, after the test molecule is written: the warning box that ends the
// run, in the log and on standard output.
void test_molecule_warning(LogSink& sink);

}  // namespace orbicutter
