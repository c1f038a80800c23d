// A periodic-calculation template in the CRYSTAL input format: the cell in the
// minimal form of its crystal system and the atoms of the asymmetric unit.
#include "geometry/elements.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void writecrystal(const WriterInput& in, Unit& unit) {
  const auto& geo = in.cell;

  unit.write("(A)", "ORBICUTTER job");
  unit.write("(A)", "CRYSTAL");
  unit.write("(A)", "1 0 0");
  unit.write("(A)", "#** PRINT-YOUR-SPACE-GROUP-SYMBOL");

  // Only the free cell parameters of the system; a rhombohedral or unnamed cell has none.
  const std::string system = trim(in.crystal_system);
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

  unit.write("(I4)", in.asymmetric_atoms);
  // The asymmetric unit: atoms of the first operator without a cell translation, so
  // that the lines match the count above even after completion by lattice images.
  for (const MoleculeAtom& a : in.molecule_atoms) {
    if (a.operation != 1 || a.cell[0] != 0 || a.cell[1] != 0 || a.cell[2] != 0) continue;
    unit.write("(I3,3F15.6,3A)", atomic_number(a.element), a.position(1), a.position(2), a.position(3), "      # ",
               a.element, a.label);
  }

  unit.write("(A)", "END");
  unit.write("(A)", "#** PRINT-YOUR-BASIS-SET-HERE");
  unit.write("(A)", "99 0");
  unit.write("(A)", "END");
  unit.write("(A)", "#** PRINT-YOUR-OTHER-KEYWORDS");
  unit.write("(A)", "");
}

}  // namespace orbicutter
