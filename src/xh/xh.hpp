// X-H bond standardisation: hydrogen atoms moved along their bonds to standard lengths.
#pragma once

#include <string>

#include "model/run.hpp"

namespace orbicutter {

// Moves H along X-H to `target` and logs the move with `label`.
void shiftxh(Run& run, int x, int h, real target, const std::string& label);
// Automatic categories (nxh <= 0), then the manual list (nxh != 0); runs when kstxh = 1.
void xh_standardisation(Run& run);

}  // namespace orbicutter
