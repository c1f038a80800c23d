// The order of the conversion: block, cell, symmetry, sites (usable, on special
// positions, occupied, apart), labels.
#include "cif/conversion.hpp"

#include <algorithm>
#include <cmath>
#include <map>

#include "cif/cell_metric.hpp"
#include "cif/disorder.hpp"
#include "cif/error.hpp"
#include "cif/formula.hpp"
#include "cif/formula_check.hpp"
#include "cif/site_placement.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

const CifBlock& choose_block(const std::vector<CifBlock>& blocks, const std::string& path, const std::string& wanted,
                             std::vector<std::string>& notes) {
  if (blocks.empty()) throw ConversionError(path + " has no atom sites");
  std::string names;
  for (const auto& b : blocks) names += (names.empty() ? "" : ", ") + b.name;
  if (!wanted.empty()) {
    for (const auto& b : blocks)
      if (lower(b.name) == lower(wanted)) return b;
    throw ConversionError(path + " has no data block '" + wanted + "' with atom sites (it has: " + names + ")");
  }
  if (blocks.size() > 1)
    notes.push_back(std::to_string(blocks.size()) + " data blocks with atom sites (" + names + "): the first, " + blocks[0].name +
                    ", is used; choose another with --block");
  return blocks[0];
}

Cell read_cell(const CifBlock& b) {
  static const char* items[] = {"_cell_length_a", "_cell_length_b", "_cell_length_c",
                                "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
  for (int i = 0; i < 6; ++i) {
    const std::string& text = b.cell_text[static_cast<std::size_t>(i)];
    if (text.empty() && b.cell_loop_rows > 1)
      throw ConversionError("no cell: " + std::string(items[i]) + " is given in a loop of " + std::to_string(b.cell_loop_rows) +
                            " rows, not once");
    if (text.empty()) throw ConversionError("no cell: " + std::string(items[i]) + " is missing");
    const double v = b.cell[static_cast<std::size_t>(i)];
    if (!std::isfinite(v)) throw ConversionError("cell value " + std::string(items[i]) + " '" + text + "' is not a number");
    if (v <= 0 || (i >= 3 && v >= 180))
      throw ConversionError("cell value " + std::string(items[i]) + " " + text + " is out of range");
  }
  Cell c{b.cell[0], b.cell[1], b.cell[2], b.cell[3], b.cell[4], b.cell[5]};
  const double rad = 3.14159265358979323846 / 180;
  const double ca = std::cos(c.alpha * rad), cb = std::cos(c.beta * rad), cg = std::cos(c.gamma * rad);
  if (1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg <= 1e-6)
    throw ConversionError("the cell angles " + b.cell_text[3] + ", " + b.cell_text[4] + ", " + b.cell_text[5] + " do not form a cell");
  return c;
}

std::vector<std::string> formula_elements(const std::string& sum) {
  std::vector<std::string> els;
  if (auto parts = parse_formula(sum))
    for (const auto& m : *parts)
      for (const auto& [el, n] : m.composition) els.push_back(el);
  return els;
}

// The file's sites at their occupancies, expanded, against the formula sum x Z.
void compare_with_formula(Conversion& cv, std::vector<Site> usable, const std::optional<Composition>& formula) {
  if (!formula) {
    if (parse_formula(cv.formula_sum) && cv.z.empty())
      cv.notes.push_back("no _cell_formula_units_Z: the cell content was not compared with the formula sum");
    return;
  }
  // Occupancies read as crystallographic on special positions count as the kept sites show.
  bool crystallographic = false;
  for (const Site& s : cv.sites)
    if (s.site_order > 1 && std::fabs(s.occupancy - s.cif.occupancy) > 1e-9) crystallographic = true;
  if (crystallographic)
    for (Site& s : usable) s.occupancy = std::min(1.0, s.occupancy * s.site_order);
  std::string w;
  for (const auto& d : content_differences(cell_content(usable, cv.cell, cv.symmetry.ops, true), *formula))
    w += (w.empty() ? "" : "; ") + d;
  if (!w.empty()) cv.warnings.push_back("cell content against the formula sum x Z (" + cv.formula_sum + " x " + cv.z + "): " + w);
}

}  // namespace

Conversion convert(const std::vector<CifBlock>& blocks, const std::string& cif_path, const Options& options) {
  Conversion cv;
  cv.cif_path = cif_path;
  const CifBlock& b = choose_block(blocks, cif_path, options.block, cv.notes);
  cv.block = b.name;
  cv.hermann_mauguin = b.hermann_mauguin;
  cv.formula_sum = b.formula_sum;
  cv.formula_moiety = b.formula_moiety;
  cv.z = b.z;
  cv.cell = read_cell(b);
  if (b.cell_loop_rows == 1) cv.notes.push_back("the cell read from a loop of one row");
  cv.symmetry = choose_symmetry(b);

  if (!b.coordinates_problem.empty()) throw ConversionError(b.coordinates_problem);
  if (b.sites.empty()) throw ConversionError("no atom sites in block " + b.name);
  SiteRules rules;
  rules.min_occupancy = options.min_occupancy;
  rules.disorder_group = options.disorder_group.value_or(0);
  rules.drop = options.drop;
  std::vector<std::string> element_warnings;
  std::vector<Site> sites = usable_sites(b.sites, rules, formula_elements(b.formula_sum), cv.dropped, cv.notes);
  check_site_elements(sites, b.formula_sum, element_warnings);
  const auto formula = formula_per_cell(b.formula_sum, b.z);
  choose_by_content(cv.symmetry, sites, cv.cell, formula);
  cv.notes.insert(cv.notes.end(), cv.symmetry.notes.begin(), cv.symmetry.notes.end());
  cv.warnings.insert(cv.warnings.end(), cv.symmetry.warnings.begin(), cv.symmetry.warnings.end());
  cv.warnings.insert(cv.warnings.end(), element_warnings.begin(), element_warnings.end());
  cv.cell = fitted_cell(cv.cell, cv.symmetry, cv.notes);

  place_on_special_positions(sites, cv.cell, cv.symmetry.ops);
  sites = without_symmetry_copies(sites, cv.cell, cv.symmetry.ops, cv.dropped);
  pair_disorder_groups(sites, cv.notes);
  cv.sites = occupied_sites(sites, rules, cv.dropped, cv.notes);
  cv.sites = without_overlapping_orientations(cv.sites, cv.cell, cv.symmetry.ops, cv.dropped, cv.warnings);
  compare_with_formula(cv, sites, formula);
  if (cv.sites.empty()) {
    std::map<std::string, int> count;
    for (const auto& d : cv.dropped) ++count[d.reason];
    std::string why;
    for (const auto& [reason, n] : count) why += (why.empty() ? "" : ", ") + std::to_string(n) + " " + reason;
    throw ConversionError("every atom site was dropped (" + why + ")");
  }
  check_separation(cv.sites, cv.cell, cv.symmetry.ops);
  std::vector<std::string> labels;
  for (const auto& s : b.sites) labels.push_back(s.label);
  cv.renamed = assign_labels(cv.sites, labels);
  return cv;
}

}  // namespace orbicutter::cif
