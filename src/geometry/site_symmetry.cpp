// Input atoms that a symmetry operator other than the first maps onto themselves.
#include "format/log_forms.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {

void special_positions(Run& run) {
  auto& log = run.sink.log;
  const auto& at = run.at;
  log.write("(A)", " ** SPECIAL POSITIONS **");
  log.write("(A)", rule_line);
  const Vec3 no_translation;
  int count = 0;
  // Grouped by operator, atoms in input order; no lattice translation is tried,
  // so an atom mapped onto a neighbouring cell's copy of itself is not reported.
  for (int s = 1; s <= run.gv.nsym; ++s) {
    for (int i = 1; i <= run.gv.nat; ++i) {
      const Vec3 f = row3(at.fgeom, i);
      if (s != 1 && matdist(image(run, s, f, no_translation), f) < tiny) {
        ++count;
        log.write("(2A4,I6,A,I2)", at.fatns(i, 1), at.fatns(i, 2), at.finfo(i, total_atom),
                  " on symmtery element = ", s);
      }
    }
  }
  if (count == 0) log.write("(A)", " No atoms on special positions");
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
