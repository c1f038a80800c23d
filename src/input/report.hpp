// The input report: the log's input file section, the reader's warnings and
// the echo file of the main options.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

// Writes the input file section to the run log (warnings also on standard output).
void write_input_report(Run& run);
// The echo file current_input.inp: the main options in keyword form, as the
// reader left them (written at verbosity 1 or more).
void write_echo(const Run& run, Unit& echo);

// One atom of the fragment tables (fatns, finfo, fgeom and, with charges, fcharge),
// as the input report and the fragment search list them.
void write_fragment_atom(const Run& run, Unit& unit, int t);

}  // namespace orbicutter
