// The molecules of the asymmetric unit, rebuilt by the library, and the choice
// of the central one.
#pragma once

#include <string>
#include <vector>

#include "cif/conversion.hpp"
#include "cif/formula.hpp"
#include "orbicutter/types.hpp"

namespace orbicutter::cif {

struct UnitMolecule {
  std::vector<int> sites;           // indices into Conversion::sites, each once, in site order
  std::vector<orbicutter::Atom> atoms;  // the whole molecule, images included (cell frame, angstrom)
  Composition composition;
  int heavy_atoms = 0;              // other than hydrogen
};

// Whole molecules of the written sites, in the library's fragment order.
// Throws ConversionError when the library refuses the input.
std::vector<UnitMolecule> unit_molecules(const Conversion& cv, const Options& options);

// The molecule `which` names ("largest", a CIF or written label, a formula);
// throws ConversionError naming the molecules when none matches.
std::size_t choose_centre(const std::vector<UnitMolecule>& molecules, const Conversion& cv, const std::string& which);

// Moves the sites of `molecule` to the front, so that it is the first fragment.
void put_first(Conversion& cv, const UnitMolecule& molecule);

// "C13 H18 O2 (O1 O2 C1 ...)": formula and written labels.
std::string molecule_name(const UnitMolecule& m, const Conversion& cv);

// Chooses the central molecule by options.centre and writes it first; returns
// the summary line that names it.
std::string place_centre(Conversion& cv, const Options& options);

}  // namespace orbicutter::cif
