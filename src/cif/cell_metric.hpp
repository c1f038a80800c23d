// The cell against the metric that the symmetry operators demand: a rotation
// must keep every length and angle of the cell.
#pragma once

#include <string>
#include <vector>

#include "cif/sites.hpp"
#include "cif/symmetry.hpp"

namespace orbicutter::cif {

// The cell to write. One that keeps the operators' metric stays as it is; one
// that misses it by a little (a cell refined without the group's constraints)
// is averaged over the operators, with a note giving the change. Beyond that a
// ConversionError names the axis or angle and the group, and the cause when
// the cell is the primitive cell of the centred lattice that the group needs.
Cell fitted_cell(const Cell& cell, const Symmetry& symmetry, std::vector<std::string>& notes);

}  // namespace orbicutter::cif
