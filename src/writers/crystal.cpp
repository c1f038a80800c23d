// A periodic-calculation template in the CRYSTAL input format: the cell in the
// minimal form of its crystal system and the atoms of the asymmetric unit.
#include "geometry/elements.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void writecrystal(const ClusterView& view, Unit& unit) {
  const auto& run = view.run;
  const auto& gv = run.gv;
  const auto& geo = run.geo;
  const auto& at = run.at;

  unit.write("(A)", "ORBICUTTER job");
  unit.write("(A)", "CRYSTAL");
  unit.write("(A)", "1 0 0");
  unit.write("(A)", "#** PRINT-YOUR-SPACE-GROUP-SYMBOL");

  // Only the free cell parameters of the system; a rhombohedral or unnamed cell has none.
  const std::string system = trim(gv.sysname);
  if (system == "triclinic")
    unit.write("(3F12.6,3F10.4)", geo.a, geo.b, geo.c, geo.alpha / degree, geo.beta / degree, geo.gamma / degree);
  else if (system == "monoclinic")
    unit.write("(3F12.6,F10.4)", geo.a, geo.b, geo.c, geo.beta / degree);
  else if (system == "orthorhombic")
    unit.write("(3F12.6)", geo.a, geo.b, geo.c);
  else if (system == "tetragonal" || system == "trigonal / hexagonal (hexagonal setting)")
    unit.write("(2F12.6)", geo.a, geo.c);
  else if (system == "cubic")
    unit.write("(F12.6)", geo.a);

  unit.write("(I4)", gv.natasym);
  // The asymmetric unit: atoms of the first operator without a cell translation, so
  // that the lines match the count above even after completion by lattice images.
  for (int i = 1; i <= gv.nat; ++i) {
    if (at.allinfo(i, symmetry_operation) != 1 || at.allinfo(i, translation_a) != 0 ||
        at.allinfo(i, translation_b) != 0 || at.allinfo(i, translation_c) != 0)
      continue;
    unit.write("(I3,3F15.6,3A)", atomic_number(at.allatns(i, 1)), at.allgeom(i, 1), at.allgeom(i, 2),
               at.allgeom(i, 3), "      # ", at.allatns(i, 1), at.allatns(i, 2));
  }

  unit.write("(A)", "END");
  unit.write("(A)", "#** PRINT-YOUR-BASIS-SET-HERE");
  unit.write("(A)", "99 0");
  unit.write("(A)", "END");
  unit.write("(A)", "#** PRINT-YOUR-OTHER-KEYWORDS");
  unit.write("(A)", "");
}

}  // namespace orbicutter
