// The run log's common forms: banner, rule line, phase CPU-time line, system name.
#pragma once

#include <ctime>
#include <span>
#include <string>

#include "format/text.hpp"
#include "format/unit.hpp"

namespace orbicutter {

// A blank followed by 59 hyphens.
inline const std::string rule_line = " -----------------------------------------------------------";

// The six-line banner on the given unit.
void logo(Unit& unit, const std::string& version);

// Processor time in seconds.
inline double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
// Seconds formatted "(F15.3)", left-adjusted and trimmed.
std::string cpu_text(double seconds);
// " -- CPU time = <seconds since start> s" and an empty line.
void cpu_line(Unit& out, double start);
// A routine: its banner on `out`, the work, then its CPU-time line.
template <class Work>
void routine(Unit& out, const char* banner, Work&& work) {
  out.write("(A)", banner);
  const double start = cpu_seconds();
  work();
  cpu_line(out, start);
}

// Ends a listing row with the atoms bonded to atom i: each nonzero entry of
// bonds(i, 1..n) as I6, then the end of the record.
// (A last I6 field written with the record's end gives the same bytes as one
// put before an empty text, so every row ends alike.)
template <class BondTable>
void end_with_bonds(Unit& unit, const BondTable& bonds, int i, int n) {
  for (int j = 1; j <= n; ++j)
    if (bonds(i, j) != 0) unit.put("(I6)", bonds(i, j));
  unit.write("(A)", "");
}
// The same from a bond list.
void end_with_bonds(Unit& unit, std::span<const int> partners);

// The system name: the argument up to the first "." after its last "/".
std::string system_name(const std::string& inpf);

}  // namespace orbicutter
