// Test mode: the central molecule as found, for a quick look before a long run.
#include "cluster/assemble.hpp"
#include "geometry/geometry.hpp"
#include "model/stop.hpp"

namespace orbicutter {

void write_testmol(const Run& run, Unit& unit) {
  const auto& at = run.at;
  unit.write("(I6)", run.gv.nat);
  unit.write("(A)", trim(run.gv.outf));
  for (int i = 1; i <= run.gv.nat; ++i) {
    Vec3 v;
    for (int k = 1; k <= 3; ++k) v(k) = at.allgeom(i, k) - run.geo.geomcent(k);
    const Vec3 r = cartesian(run.geo.mt, v);
    unit.write("(A8,3F15.6)", trim(at.allatns(i, 1)) + digits(i), r(1), r(2), r(3));
  }
  unit.write("(A)", "");
}

void test_molecule_stop(Run& run) {
  {
    Unit unit;
    if (!unit.open("testmol.xyz")) fail({" --> Output file cannot be created <--"});
    write_testmol(run, unit);
    unit.close();
  }
  const auto box = box_lines(" !! WARNING in ORBICUTTER no. 002 !!",
                             {" --> Test XYZ file is printed <--", " --> Program stops            <--"}, true);
  for (const auto& l : box) run.units.log.line(l);
  run.units.log.flush();
  throw Stop(box, 0);
}

}  // namespace orbicutter
