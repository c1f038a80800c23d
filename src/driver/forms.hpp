// The run log's common forms: banner, rule line, phase CPU-time line, system name.
#pragma once

#include <string>

#include "model/run.hpp"

namespace orbicutter {

// A blank followed by 59 hyphens.
inline const std::string rule_line = " -----------------------------------------------------------";

// The six-line banner on the given unit.
void logo(Unit& unit, const std::string& version);

// Seconds formatted "(F15.3)", left-adjusted and trimmed.
std::string cpu_text(double seconds);
// " -- CPU time = <seconds since start> s" and an empty line on standard output.
void cpu_line(Run& run, double start);

// Ends a listing row with the atoms bonded to atom i: each nonzero entry of
// bonds(i, 1..n-1) as I6, then entry n as I6 when nonzero, else an empty text
// that just closes the record.
void end_with_bonds(Unit& unit, const Table<int>& bonds, int i, int n);

// The system name: the argument up to the first "." after its last "/".
std::string system_name(const std::string& inpf);

}  // namespace orbicutter
