// The last check before an input is written: the converter never writes what
// orbicutter would refuse.
#pragma once

#include "cif/conversion.hpp"

namespace orbicutter::cif {

// Cell edges shorter than this put every atom within 0.5 A of its own image
// along that edge, and orbicutter finds no molecule in such a crystal.
constexpr double min_cell_edge = 0.5;

// Throws ConversionError when the cell edges, the coordinates, the operators
// (each keeping the metric of the cell, together closed) or anything else
// orbicutter's reader checks would make orbicutter refuse the input. The
// checks are orbicutter's own: its reader runs on the input in memory.
void check_before_writing(const Conversion& cv);

}  // namespace orbicutter::cif
