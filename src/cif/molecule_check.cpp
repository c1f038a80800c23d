// Molecule compositions against the moiety formula, with the likely cause of a
// mismatch: a molecule cut in two, two joined, a hydrogen missing, a part
// (such as a counter-ion) not rebuilt.
#include "cif/molecule_check.hpp"

#include <cmath>
#include <set>
#include <sstream>

#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

// Every count of a at most that of b, and a != b.
bool part_of(const Composition& a, const Composition& b) {
  for (const auto& [el, n] : a) {
    auto it = b.find(el);
    if (n > 0 && (it == b.end() || it->second < n - 1e-6)) return false;
  }
  return !same_composition(a, b);
}

Composition without_hydrogen(Composition c) {
  c.erase("H");
  c.erase("D");
  return c;
}

double hydrogens(const Composition& c) {
  double n = 0;
  for (const char* h : {"H", "D"})
    if (auto it = c.find(h); it != c.end()) n += it->second;
  return n;
}

double atom_count(const Composition& c) {
  double n = 0;
  for (const auto& [el, k] : c) n += k;
  return n;
}

}  // namespace

MoleculeCheck check_molecules(const std::string& moiety, const std::vector<Composition>& rebuilt) {
  MoleculeCheck r;
  std::vector<std::pair<Composition, int>> found;
  for (const auto& c : rebuilt) {
    auto it = found.begin();
    while (it != found.end() && !same_composition(it->first, c)) ++it;
    if (it == found.end()) found.push_back({c, 1});
    else ++it->second;
  }
  std::string list;
  for (const auto& [c, n] : found) list += (list.empty() ? "" : ", ") + (n > 1 ? std::to_string(n) + " x " : "") + hill_formula(c);
  r.lines.push_back("molecules rebuilt from the asymmetric unit: " + (list.empty() ? std::string("none") : list));
  if (moiety.empty()) {
    r.lines.push_back("the CIF gives no moiety formula: molecules not compared");
    return r;
  }
  const auto parts = parse_formula(moiety);
  if (!parts) {
    r.lines.push_back("moiety formula '" + moiety + "' is not in element form: molecules not compared");
    return r;
  }
  r.compared = true;
  auto in_moiety = [&](const Composition& c) {
    for (const auto& m : *parts)
      if (same_composition(c, m.composition)) return true;
    return false;
  };
  auto rebuilt_as = [&](const Composition& c) {
    for (const auto& [f, n] : found)
      if (same_composition(f, c)) return true;
    return false;
  };
  // Ions that the file writes as one formula ("C8 H18 I N4 O P" for a cation
  // and its iodide): one molecule that matches nothing and monatomic ions may
  // add up to a part that was not rebuilt. Pieces of a cut molecule are told
  // apart by being more than one polyatomic piece.
  static const std::set<std::string> ions{"F", "Cl", "Br", "I", "Li", "Na", "K", "Rb", "Cs", "Mg", "Ca", "Sr", "Ba"};
  Composition rest;
  std::string rest_names;
  int polyatomic = 0;
  for (const auto& [c, n] : found)
    if (!in_moiety(c)) {
      if (atom_count(c) > 1 || !ions.count(c.begin()->first)) ++polyatomic;
      for (const auto& [el, k] : c) rest[el] += k;
      rest_names += (rest_names.empty() ? "" : " and ") + hill_formula(c);
    }
  if (polyatomic > 1) rest.clear();
  const Moiety* joint = nullptr;
  for (const auto& m : *parts)
    if (!rest.empty() && !rebuilt_as(m.composition) && same_composition(rest, m.composition)) joint = &m;
  if (joint) r.lines.push_back(rest_names + " together make " + hill_formula(joint->composition) + " (ions written as one formula)");

  for (const auto& [c, n] : found) {
    if (in_moiety(c) || joint) continue;
    // The likely cause, from the nearest part in size that this molecule has
    // all the atoms of, or that has all of its atoms.
    std::string why = "matches no part of the moiety formula (a guest to leave out? see --drop)";
    double nearest = 1e300;
    for (const auto& m : *parts) {
      const std::string name = hill_formula(m.composition);
      if (same_composition(without_hydrogen(c), without_hydrogen(m.composition))) {
        const double d = hydrogens(m.composition) - hydrogens(c);
        why = "is " + name + " with " + number(std::fabs(d)) + (d > 0 ? " hydrogen atom(s) missing" : " hydrogen atom(s) too many");
        break;
      }
      const double gap = std::fabs(atom_count(c) - atom_count(m.composition));
      if (gap >= nearest) continue;
      if (part_of(c, m.composition)) {
        why = "is a part of " + name + ": a molecule cut in two?";
        nearest = gap;
      } else if (part_of(m.composition, c)) {
        why = "holds " + name + " and more: molecules bonded together?";
        nearest = gap;
      }
    }
    r.cut += why.find("cut in two") != std::string::npos;
    r.joined += why.find("bonded together") != std::string::npos;
    r.warnings.push_back("molecule " + hill_formula(c) + " " + why);
  }
  for (const auto& m : *parts) {
    if (rebuilt_as(m.composition) || &m == joint) continue;
    if (m.multiplier < 1)
      r.lines.push_back("moiety " + m.text + " (partly occupied) is not in the input");
    else
      r.warnings.push_back("moiety " + hill_formula(m.composition) + " was not rebuilt (a site missing, or an ion without its counter-ion?)");
  }
  if (r.warnings.empty()) r.lines.push_back("they agree with the moiety formula " + moiety);
  return r;
}

}  // namespace orbicutter::cif
