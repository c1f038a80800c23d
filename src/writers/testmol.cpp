// The test molecule file: every atom of the whole molecules, centred on the cluster centre.
#include "geometry/geometry.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void write_testmol(const Run& run, Unit& unit) {
  const auto& at = run.at;
  unit.write("(I6)", run.gv.nat);
  unit.write("(A)", trim(run.gv.outf));
  for (int i = 1; i <= run.gv.nat; ++i) {
    const Vec3 r = centred_cartesian(run, row3(at.allgeom, i));
    unit.write("(A8,3F15.6)", trim(at.allatns(i, 1)) + digits(i), r(1), r(2), r(3));
  }
  unit.write("(A)", "");
}

}  // namespace orbicutter
