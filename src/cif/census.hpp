// The whole molecules that an orbicutter run rebuilt, read from its run log.
#pragma once

#include <string>
#include <vector>

#include "cif/formula.hpp"

namespace orbicutter::cif {

// One atom row of the log's molecule listing.
struct MoleculeAtom {
  std::string element, label;
  int atom_number = 0;      // the program's atom number (images share their source's)
  int fragment = 0;
  std::vector<int> bonded;  // rows (from 1) of the bonded atoms
};

// The rows of the " ** UPDATED MOLECULAR INFORMATION **" section; empty when
// the log has none (the run stopped before).
std::vector<MoleculeAtom> molecule_atoms(const std::string& log);

// The composition of every rebuilt molecule, in fragment order. The one place
// that knows where compositions come from.
std::vector<Composition> rebuilt_molecules(const std::string& log);

}  // namespace orbicutter::cif
