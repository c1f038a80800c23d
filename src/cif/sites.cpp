// Which atom sites go into the input.
#include "cif/sites.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include "cif/elements.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

std::string shown(const std::string& label) { return label.empty() ? "?" : label; }

}  // namespace

std::vector<Site> usable_sites(const std::vector<CifSite>& sites, const SiteRules& rules,
                               const std::vector<std::string>& known_elements,
                               std::vector<DroppedSite>& dropped, std::vector<std::string>& notes) {
  const std::set<std::string> known(known_elements.begin(), known_elements.end());
  std::vector<Site> kept;
  std::vector<std::string> from_label;
  int untyped = 0;
  std::set<std::string> asked(rules.drop.begin(), rules.drop.end()), found;
  for (const CifSite& c : sites) {
    const std::string label = shown(c.label);
    if (asked.count(c.label)) {
      found.insert(c.label);
      dropped.push_back({label, "dropped on request", ""});
      continue;
    }
    const SiteElement el = site_element(c.type_symbol, c.label, known);
    if (lower(c.calc_flag) == "dum" || el.dummy) {
      dropped.push_back({label, "dummy site", ""});
      continue;
    }
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) {
      dropped.push_back({label, "unknown coordinates", ""});
      continue;
    }
    if (el.symbol.empty()) {
      dropped.push_back({label, "no element", c.type_symbol});
      continue;
    }
    Site s;
    s.cif = c;
    s.element = el.symbol;
    s.element_from_label = el.from_label;
    s.fract = {c.x, c.y, c.z};
    s.occupancy = std::isfinite(c.occupancy) ? c.occupancy : 1.0;
    if (el.from_label && !c.type_symbol.empty()) from_label.push_back(label + " (type " + c.type_symbol + ") as " + el.symbol);
    if (el.from_label && c.type_symbol.empty()) ++untyped;
    kept.push_back(s);
  }
  for (const auto& l : rules.drop)
    if (!found.count(l)) notes.push_back("--drop " + l + ": no site has this label");
  if (untyped) notes.push_back("elements of " + std::to_string(untyped) + " site(s) without a type symbol from their labels");
  if (!from_label.empty()) {
    std::string n = "element from the label where the type is none: ";
    for (std::size_t i = 0; i < from_label.size(); ++i) n += (i ? ", " : "") + from_label[i];
    notes.push_back(n);
  }
  return kept;
}

std::vector<Site> occupied_sites(const std::vector<Site>& in, const SiteRules& rules,
                                 std::vector<DroppedSite>& dropped, std::vector<std::string>& notes) {
  std::vector<Site> sites = in;
  // Old files give sites on special positions their crystallographic occupancy
  // (1/4 for a Co on a four-fold axis): the chemical one divided by the site
  // symmetry order. A file uses one convention; a site whose occupancy times
  // its order exceeds 1 shows that it gives chemical ones.
  bool crystallographic = false;
  for (const Site& s : sites) {
    if (s.site_order == 1) continue;
    if (s.occupancy * s.site_order > 1.01) {
      crystallographic = false;
      break;
    }
    crystallographic = true;
  }
  std::string scaled;
  for (Site& s : sites) {
    if (crystallographic && s.site_order > 1) {
      scaled += (scaled.empty() ? "" : ", ") + shown(s.cif.label) + " " + number(s.occupancy) + " x " + std::to_string(s.site_order);
      s.occupancy = std::min(1.0, s.occupancy * s.site_order);
    }
  }
  if (!scaled.empty()) notes.push_back("occupancies on special positions read as crystallographic: " + scaled);

  const DisorderAssemblies d = disorder_assemblies(sites);
  const auto& assemblies = d.order;
  const auto& groups = d.groups;
  std::map<std::string, int> chosen;  // assembly -> kept group, 0: none (whole assembly dropped)
  std::map<std::string, std::string> why;
  bool requested_found = false;
  for (const auto& a : assemblies) {
    const auto& gs = groups.at(a);
    const std::string name = a.empty() ? "disorder groups" : "disorder assembly " + a;
    double total = 0;
    for (const auto& g : gs) total += g.max;
    if (total < rules.min_occupancy) {
      chosen[a] = 0;
      why[a] = "partly occupied " + name + " (occupancy " + number(total) + ")";
      notes.push_back(name + ": all groups dropped, occupancy " + number(total) + " below " + number(rules.min_occupancy));
      continue;
    }
    const DisorderGroup* best = &gs.front();
    for (const auto& g : gs)
      if (g.sum > best->sum + 1e-9) best = &g;
    std::string how = "larger occupancy";
    if (rules.disorder_group != 0) {
      auto r = std::find_if(gs.begin(), gs.end(), [&](const DisorderGroup& g) { return g.id == rules.disorder_group; });
      if (r != gs.end()) {
        best = &*r;
        how = "asked for";
        requested_found = true;
      } else {
        how = "no group " + std::to_string(rules.disorder_group) + ", larger occupancy";
      }
    }
    chosen[a] = best->id;
    // Shown with the largest occupancy of each group, which is what the file's
    // reader recognises (0.533 and 0.467), though the sums decide.
    std::string n = name + ": group " + std::to_string(best->id) + " kept (" + how + ", " + number(best->max) + ")";
    for (const auto& g : gs)
      if (g.id != best->id) n += ", group " + std::to_string(g.id) + " dropped (" + number(g.max) + ")";
    notes.push_back(n);
  }
  if (rules.disorder_group != 0 && !requested_found)
    notes.push_back("--disorder-group " + std::to_string(rules.disorder_group) + ": no disorder group has this number");

  std::vector<Site> kept;
  for (const Site& s : sites) {
    const std::string label = shown(s.cif.label);
    if (s.cif.disorder_group != 0) {
      const std::string& a = s.cif.disorder_assembly;
      if (chosen[a] == 0) {
        dropped.push_back({label, why[a], ""});
        continue;
      }
      if (chosen[a] != s.cif.disorder_group) {
        dropped.push_back({label, "disorder group " + std::to_string(s.cif.disorder_group) +
                                      (a.empty() ? "" : " of assembly " + a) + " not kept", ""});
        continue;
      }
    } else if (s.occupancy < rules.min_occupancy) {
      dropped.push_back({label, "occupancy below " + number(rules.min_occupancy), number(s.occupancy)});
      continue;
    }
    kept.push_back(s);
  }
  return kept;
}

DisorderAssemblies disorder_assemblies(const std::vector<Site>& sites) {
  DisorderAssemblies d;
  for (const Site& s : sites) {
    if (s.cif.disorder_group == 0) continue;
    const std::string& a = s.cif.disorder_assembly;
    if (!d.groups.count(a)) d.order.push_back(a);
    auto& gs = d.groups[a];
    auto g = std::find_if(gs.begin(), gs.end(), [&](const DisorderGroup& x) { return x.id == s.cif.disorder_group; });
    if (g == gs.end()) g = gs.insert(gs.end(), DisorderGroup{s.cif.disorder_group});
    g->sum += s.occupancy;
    g->max = std::max(g->max, s.occupancy);
  }
  return d;
}

}  // namespace orbicutter::cif
