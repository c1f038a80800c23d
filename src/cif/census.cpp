// Reading the molecule listing of a run log: rows "(2A4,8I6,3F10.6)" followed
// by the bonded rows in I6 fields.
#include "cif/census.hpp"

#include <cstdlib>
#include <sstream>

#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

int field(const std::string& line, std::size_t start, std::size_t len) {
  if (line.size() < start + len) return 0;
  return std::atoi(line.substr(start, len).c_str());
}

}  // namespace

std::vector<MoleculeAtom> molecule_atoms(const std::string& log) {
  std::vector<MoleculeAtom> atoms;
  const std::size_t at = log.find(" ** UPDATED MOLECULAR INFORMATION **");
  if (at == std::string::npos) return atoms;
  std::istringstream in(log.substr(at));
  std::string line;
  int total = -1;
  while (std::getline(in, line)) {
    if (line.rfind(" Total number of atoms = ", 0) == 0) {
      total = std::atoi(line.substr(25).c_str());
      break;
    }
  }
  while (total > 0 && static_cast<int>(atoms.size()) < total && std::getline(in, line)) {
    if (line.rfind(" ---", 0) == 0 || line.rfind("  >>", 0) == 0 || line.size() < 86) continue;
    MoleculeAtom a;
    a.element = trimmed(line.substr(0, 4));
    a.label = trimmed(line.substr(4, 4));
    a.atom_number = field(line, 8, 6);
    a.fragment = field(line, 20, 6);
    for (std::size_t p = 86; p + 6 <= line.size(); p += 6) a.bonded.push_back(field(line, p, 6));
    atoms.push_back(a);
  }
  return atoms;
}

std::vector<Composition> rebuilt_molecules(const std::string& log) {
  std::vector<Composition> molecules;
  int fragment = 0;
  for (const auto& a : molecule_atoms(log)) {
    if (molecules.empty() || a.fragment != fragment) molecules.emplace_back();
    fragment = a.fragment;
    molecules.back()[a.element] += 1;
  }
  return molecules;
}

}  // namespace orbicutter::cif
