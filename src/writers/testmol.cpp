// The test molecule file: every atom of the whole molecules, centred on the cluster centre.
#include "geometry/geometry.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void write_testmol(const std::vector<MoleculeAtom>& atoms, const Mat3& mt, const Vec3& centre, const std::string& name,
                   Unit& unit) {
  unit.write("(I6)", static_cast<int>(atoms.size()));
  unit.write("(A)", trim(name));
  int i = 0;
  for (const MoleculeAtom& a : atoms) {
    Vec3 v;
    for (int k = 1; k <= 3; ++k) v(k) = a.position(k) - centre(k);
    const Vec3 r = cartesian(mt, v);
    unit.write("(A8,3F15.6)", trim(a.element) + digits(++i), r(1), r(2), r(3));
  }
  unit.write("(A)", "");
}

}  // namespace orbicutter
