// The input report: the log's input file section, the reader's warnings and
// the echo file of the main options.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

// Writes the input file section to the run log (warnings also on standard
// output) and, at verbosity 1 or more, current_input.inp.
void write_input_report(Run& run);

}  // namespace orbicutter
