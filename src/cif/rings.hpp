// Rings of the rebuilt molecules, as the program's atom numbers for RING.
#pragma once

#include <vector>

#include "cif/keyword_input.hpp"
#include "orbicutter/types.hpp"

namespace orbicutter::cif {

// The smallest rings (3 to 8 atoms) through every bond, one of each set of
// symmetry copies, each given so that the program gathers exactly its atoms.
RingList ring_list(const orbicutter::Molecules& molecules);

}  // namespace orbicutter::cif
