// Output files for outside programs, and the ORTEP codes of the cluster.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

void writexyz(Run& run, Unit& unit);
void writeadf(Run& run, Unit& unit);
void writeres(Run& run, Unit& unit);
void writecrystal(Run& run, Unit& unit);
void writegaussian(Run& run, Unit& unit);
// The distinct symmetry images of the cluster as ORTEP codes, in the log.
void ortep(Run& run);

}  // namespace orbicutter
