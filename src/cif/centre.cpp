#include "cif/centre.hpp"

#include <algorithm>
#include <map>
#include <set>

#include "cif/error.hpp"
#include "cif/keyword_input.hpp"
#include "orbicutter/structure.hpp"

namespace orbicutter::cif {

std::vector<UnitMolecule> unit_molecules(const Conversion& cv, const Options& options) {
  Options o = options;
  o.outputs.clear();
  o.dimers = false;
  o.keywords.clear();
  const std::string text = keyword_input(cv, o) + "TEST 1\n";
  std::map<std::string, int> by_label;
  for (std::size_t i = 0; i < cv.sites.size(); ++i) by_label.emplace(cv.sites[i].label, static_cast<int>(i));
  std::vector<UnitMolecule> list;
  try {
    orbicutter::Structure structure(text);
    const orbicutter::Molecules& mols = structure.molecules();
    for (const orbicutter::Molecule& m : mols.molecules) {
      UnitMolecule u;
      std::set<int> sites;
      for (int i = m.first; i < m.first + m.count; ++i) {
        const orbicutter::Atom& a = mols.atoms[static_cast<std::size_t>(i)];
        u.atoms.push_back(a);
        u.composition[a.element] += 1;
        if (a.element != "H" && a.element != "D") ++u.heavy_atoms;
        // The fragment search renumbers the atoms; the written labels are unique.
        if (const auto it = by_label.find(a.label); it != by_label.end()) sites.insert(it->second);
      }
      u.sites.assign(sites.begin(), sites.end());
      list.push_back(std::move(u));
    }
  } catch (const orbicutter::Error& e) {
    std::string why = e.what();  // box lines " --> text <--"
    for (const char* arrow : {"-->", "<--"})
      for (auto p = why.find(arrow); p != std::string::npos; p = why.find(arrow)) why.erase(p, 3);
    why.erase(0, why.find_first_not_of(" \n"));
    why.erase(why.find_last_not_of(" \n") + 1);
    throw ConversionError("the molecules could not be rebuilt: " + why);
  }
  if (list.empty()) throw ConversionError("the molecules could not be rebuilt: none found");
  return list;
}

std::size_t choose_centre(const std::vector<UnitMolecule>& molecules, const Conversion& cv, const std::string& which) {
  if (which == "largest") {
    std::size_t best = 0;
    for (std::size_t i = 1; i < molecules.size(); ++i)
      if (molecules[i].heavy_atoms > molecules[best].heavy_atoms) best = i;
    return best;
  }
  for (std::size_t i = 0; i < molecules.size(); ++i)
    for (int s : molecules[i].sites) {
      const Site& site = cv.sites[static_cast<std::size_t>(s)];
      if (site.cif.label == which || site.label == which) return i;
    }
  if (const auto parsed = parse_formula(which); parsed && parsed->size() == 1)
    for (std::size_t i = 0; i < molecules.size(); ++i)
      if (same_composition(molecules[i].composition, parsed->front().composition)) return i;
  std::string names;
  for (const UnitMolecule& m : molecules) names += (names.empty() ? "" : ", ") + hill_formula(m.composition);
  throw ConversionError("--centre " + which + ": no molecule has that label or formula (the molecules: " + names +
                        ")");
}

void put_first(Conversion& cv, const UnitMolecule& molecule) {
  std::vector<Site> order;
  std::vector<bool> taken(cv.sites.size(), false);
  for (int s : molecule.sites) {
    order.push_back(cv.sites[static_cast<std::size_t>(s)]);
    taken[static_cast<std::size_t>(s)] = true;
  }
  for (std::size_t i = 0; i < cv.sites.size(); ++i)
    if (!taken[i]) order.push_back(cv.sites[i]);
  cv.sites = std::move(order);
}

std::string molecule_name(const UnitMolecule& m, const Conversion& cv) {
  std::string labels;
  for (int s : m.sites) labels += (labels.empty() ? "" : " ") + cv.sites[static_cast<std::size_t>(s)].label;
  return hill_formula(m.composition) + " (" + labels + ")";
}

std::string place_centre(Conversion& cv, const Options& options) {
  std::vector<UnitMolecule> molecules;
  try {
    molecules = unit_molecules(cv, options);
  } catch (const ConversionError& e) {
    // A network or an odd cell still gives an input; only a chosen centre needs molecules.
    if (options.centre != "largest") throw;
    return std::string("central molecule: the first atoms as in the CIF (") + e.what() + ")";
  }
  const std::size_t c = choose_centre(molecules, cv, options.centre);
  std::string line = "central molecule: " + molecule_name(molecules[c], cv);
  if (molecules.size() > 1)
    line += options.centre == "largest" ? ", the largest of " + std::to_string(molecules.size()) + " molecules"
                                        : ", chosen of " + std::to_string(molecules.size()) + " molecules";
  put_first(cv, molecules[c]);
  return line;
}

}  // namespace orbicutter::cif
