// X-H bond standardisation: hydrogen atoms moved along their bonds to standard lengths.
#pragma once

#include <string>

#include "model/run.hpp"

namespace orbicutter {

// Moves H along X-H to `target` and logs the move with `label`.
void shiftxh(Run& run, int x, int h, real target, const std::string& label);
// The automatic categories, for every H bonded to one atom.
void automatic_xh(Run& run);
// Stops the run when a manual entry does not name two different atoms of the
// all-atom tables; the whole list is checked before any hydrogen moves.
void check_manual_xh(const Run& run);
// The manual list, entry by entry.
void manual_xh(Run& run);

}  // namespace orbicutter
