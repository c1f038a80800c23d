// Checks against the formula sum. The formula counts every site at its
// occupancy, so the occupancy-weighted content of the file's sites is what it
// should equal; a difference is the file's (hydrogens not located, a wrong
// element), not the converter's choice among disordered sites.
#include "cif/formula_check.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "cif/error.hpp"
#include "cif/site_placement.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

// Deuterium counts as hydrogen: formulas write D where sites write H and back.
Composition folded(const Composition& c) {
  Composition f;
  for (const auto& [el, n] : c) f[el == "D" ? "H" : el] += n;
  return f;
}

// Counts from a formula with two decimals and occupancies refined to a few
// hundredths, times up to 192 operators: a tenth of an atom plus half a
// percent is rounding, more is a site missing or extra.
bool rounding(double have, double want) { return std::fabs(have - want) <= 0.1 + 0.005 * want; }

std::string count_text(double n) {
  const double r = std::round(n);
  if (std::fabs(n - r) < 0.05) return number(r);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", n);
  return buf;
}

// Labels that name water rather than an element: Wat1, WAT, OW1, Ow2, HOH.
bool water_label(const std::string& label) {
  const std::string l = lower(label);
  return l.rfind("wat", 0) == 0 || l.rfind("hoh", 0) == 0 ||
         (l.size() >= 2 && l[0] == 'o' && l[1] == 'w' && (l.size() == 2 || !std::isalpha(static_cast<unsigned char>(l[2]))));
}

bool has_text_form(const std::vector<SymOp>& ops) {
  for (const auto& op : ops)
    for (int t : op.tran)
      if (t % 4 != 0 && t % 6 != 0) return false;
  return true;
}

}  // namespace

std::optional<Composition> formula_per_cell(const std::string& formula_sum, const std::string& z) {
  const auto parts = parse_formula(formula_sum);
  if (!parts || z.empty()) return std::nullopt;
  char* end = nullptr;
  const double units = std::strtod(z.c_str(), &end);
  if (end == z.c_str() || !std::isfinite(units) || units <= 0 || units > 1000) return std::nullopt;
  Composition cell;
  for (const auto& m : *parts)
    for (const auto& [el, n] : m.composition) cell[el] += n * m.multiplier * units;
  return folded(cell);
}

void check_site_elements(std::vector<Site>& sites, const std::string& formula_sum, std::vector<std::string>& warnings) {
  const auto parts = parse_formula(formula_sum);
  if (!parts) return;
  std::set<std::string> known;
  for (const auto& m : *parts)
    for (const auto& [el, n] : m.composition) known.insert(el == "D" ? "H" : el);
  auto in_formula = [&](const std::string& el) { return known.count(el == "D" ? "H" : el) > 0; };
  std::vector<std::string> typed_outside, water;
  for (Site& s : sites) {
    if (in_formula(s.element)) continue;
    const std::string label = s.cif.label.empty() ? "?" : s.cif.label;
    if (!s.element_from_label) {
      typed_outside.push_back(label + " (" + s.element + ")");
    } else if (water_label(s.cif.label) && known.count("O")) {
      water.push_back(label);
      s.element = "O";
    } else {
      throw ConversionError("site " + label + " has no element type, and its label reads as " + s.element +
                            ", which the formula sum " + formula_sum + " lacks; give the sites _atom_site_type_symbol");
    }
  }
  if (!water.empty()) {
    std::string w = "label" + std::string(water.size() > 1 ? "s " : " ");
    for (std::size_t i = 0; i < water.size(); ++i) w += (i ? ", " : "") + water[i];
    warnings.push_back(w + " read as water oxygen O: no type symbol, and the formula has no element that the label spells");
  }
  if (!typed_outside.empty()) {
    std::string w = "element" + std::string(typed_outside.size() > 1 ? "s" : "") + " outside the formula sum " + formula_sum + ": ";
    for (std::size_t i = 0; i < typed_outside.size(); ++i) w += (i ? ", " : "") + typed_outside[i];
    warnings.push_back(w);
  }
}

Composition cell_content(std::vector<Site> sites, const Cell& cell, const std::vector<SymOp>& ops, bool weighted) {
  place_on_special_positions(sites, cell, ops);
  std::vector<DroppedSite> copies;
  sites = without_symmetry_copies(sites, cell, ops, copies);
  Composition c;
  for (const Site& s : sites)
    c[s.element == "D" ? "H" : s.element] +=
        (weighted ? s.occupancy : 1.0) * static_cast<double>(ops.size()) / static_cast<double>(s.site_order);
  return c;
}

std::vector<std::string> content_differences(const Composition& content, const Composition& formula) {
  std::set<std::string> elements;
  for (const auto& [el, n] : content) elements.insert(el);
  for (const auto& [el, n] : formula) elements.insert(el);
  auto count = [](const Composition& c, const std::string& el) { return c.count(el) ? c.at(el) : 0.0; };
  // The same ratio for every element but hydrogen: Z counts another unit than
  // the formula; hydrogen is then compared at that ratio.
  double scale = 1;
  std::vector<std::string> out;
  std::size_t heavy = 0;
  double ratio = -1;
  bool common = true;
  for (const auto& el : elements) {
    if (el == "H") continue;
    ++heavy;
    const double want = count(formula, el);
    const double r = want > 0 ? count(content, el) / want : -1;
    if (r <= 0 || (ratio > 0 && std::fabs(r - ratio) > 0.01 * ratio)) common = false;
    ratio = r;
  }
  if (common && heavy >= 2 && std::fabs(ratio - 1) > 0.01) {
    scale = ratio;
    out.push_back("every element but H " + count_text(ratio) + " times the formula: Z counts another formula unit?");
  }
  std::vector<std::string> hydrogen;
  for (const auto& el : elements) {
    const double have = count(content, el), want = count(formula, el) * scale;
    if (rounding(have, want) || (scale != 1 && el != "H")) continue;
    const bool fewer = have < want;
    const std::string n = count_text(std::fabs(want - have));
    std::string w = n + " " + el + (n == "1" ? " atom " : " atoms ") + (fewer ? "fewer" : "more") + " than the formula";
    if (el == "H" && fewer) w += ": hydrogens not located?";
    (el == "H" ? hydrogen : out).push_back(w);
  }
  out.insert(out.end(), hydrogen.begin(), hydrogen.end());
  return out;
}

void choose_by_content(Symmetry& s, const std::vector<Site>& sites, const Cell& cell, const std::optional<Composition>& formula) {
  if (s.other_ops.empty()) return;
  const std::string other = s.other_source + " (" + s.other_name + ")";
  auto matches = [&](const std::vector<SymOp>& ops) {
    return content_differences(cell_content(sites, cell, ops, true), *formula).empty();
  };
  if (!formula) {
    s.warnings.push_back("the operator list differs from " + other + "; the list is used (no formula sum and Z to decide by)");
    return;
  }
  const bool list_fits = matches(s.ops), other_fits = matches(s.other_ops);
  if (list_fits == other_fits) {
    s.warnings.push_back("the operator list differs from " + other + "; the list is used (" +
                         (list_fits ? "both give" : "neither gives") + " the cell content of the formula sum x Z)");
    return;
  }
  if (list_fits) {
    s.warnings.push_back("the operator list differs from " + other + "; the list is used: its cell content matches the formula sum x Z");
    return;
  }
  s.warnings.push_back("the operator list (" + std::to_string(s.ops.size()) + " operators) differs from " + other + ", whose " +
                       std::to_string(s.other_ops.size()) + " are used: their cell content matches the formula sum x Z, the list's does not");
  s.ops = s.other_ops;
  const auto id = std::find_if(s.ops.begin(), s.ops.end(), [](const SymOp& op) {
    return op.rot == std::array<std::array<int, 3>, 3>{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}} && op.tran == std::array<int, 3>{0, 0, 0};
  });
  if (id != s.ops.end()) std::rotate(s.ops.begin(), id, id + 1);
  s.source = s.other_source;
  s.name = s.other_name;
  const std::string matrices = "operators written as matrices: a translation is none of 1/2, 1/3, 1/4, 1/6 and their multiples";
  s.notes.erase(std::remove(s.notes.begin(), s.notes.end(), matrices), s.notes.end());
  s.text_form = has_text_form(s.ops);
  if (!s.text_form) s.notes.push_back(matrices);
}

}  // namespace orbicutter::cif
