// Disorder beyond one choice per assembly.
#include "cif/disorder.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include <gemmi/elem.hpp>
#include <gemmi/unitcell.hpp>

#include "cif/site_placement.hpp"
#include "cif/sites.hpp"
#include "cif/symmetry.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

struct Group {
  int id;
  double occupancy = 0;  // largest of its sites
  int partner = -1;      // index of its pair
};

bool complementary(const Group& a, const Group& b) { return std::fabs(a.occupancy + b.occupancy - 1) <= 0.05; }

// Pairs of complementary groups, neighbours in number first (1/2, 3/4), then
// any free partner; false when a group is left alone.
bool pair_off(std::vector<Group>& gs) {
  std::sort(gs.begin(), gs.end(), [](const Group& a, const Group& b) { return std::abs(a.id) < std::abs(b.id); });
  bool neighbours = gs.size() % 2 == 0;
  for (std::size_t i = 0; neighbours && i < gs.size(); i += 2) neighbours = complementary(gs[i], gs[i + 1]);
  if (neighbours) {
    for (std::size_t i = 0; i < gs.size(); i += 2) gs[i].partner = static_cast<int>(i + 1), gs[i + 1].partner = static_cast<int>(i);
    return true;
  }
  for (std::size_t i = 0; i < gs.size(); ++i) {
    if (gs[i].partner >= 0) continue;
    for (std::size_t j = i + 1; j < gs.size() && gs[i].partner < 0; ++j)
      if (gs[j].partner < 0 && complementary(gs[i], gs[j])) gs[i].partner = static_cast<int>(j), gs[j].partner = static_cast<int>(i);
    if (gs[i].partner < 0) return false;
  }
  return true;
}

// The distance from p to the nearest lattice translate of q.
double distance(const gemmi::UnitCell& cell, const Frac& p, const Frac& q) {
  return std::sqrt(cell.distance_sq(gemmi::Fractional(q[0], q[1], q[2]), gemmi::Fractional(p[0], p[1], p[2])));
}

double radius(const std::string& element) { return gemmi::Element(element).covalent_r(); }

bool half_occupied(const Site& s) { return s.cif.disorder_group == 0 && std::fabs(s.occupancy - 0.5) <= 0.05; }

bool bond_distance(const Site& a, const Site& b, double d) { return d < radius(a.element) + radius(b.element) + 0.4; }
// Sites on one spot are a mixed site, not two orientations.
bool overlap_distance(const Site& a, const Site& b, double d) {
  return d > coincidence_distance && d < 0.5 * (radius(a.element) + radius(b.element));
}

// Two orientations listed side by side: the half-occupied sites fall into
// molecules (bonded, not overlapping), and a molecule that overlaps an earlier
// listed one is the second orientation. Marks its sites in `other` and returns
// the labels of the sites it overlaps ("" when none).
std::string listed_orientations(const std::vector<Site>& sites, const std::vector<std::size_t>& half,
                                const gemmi::UnitCell& cell, std::vector<bool>& other) {
  std::vector<std::size_t> part(sites.size());
  std::map<std::size_t, std::vector<std::size_t>> members;
  for (std::size_t i = 0; i < part.size(); ++i) part[i] = i;
  for (std::size_t i : half) members[i] = {i};
  auto root = [&](std::size_t i) {
    while (part[i] != i) i = part[i];
    return i;
  };
  auto overlaps = [&](std::size_t i, std::size_t j) {
    return overlap_distance(sites[i], sites[j], distance(cell, sites[i].fract, sites[j].fract));
  };
  // In listed order, a site joins the molecules it bonds to, unless one of
  // their sites overlaps one of its molecule: alternatives never join.
  for (std::size_t j : half)
    for (std::size_t i : half) {
      if (i >= j) break;
      const double d = distance(cell, sites[i].fract, sites[j].fract);
      const std::size_t a = root(i), b = root(j);
      if (a == b || !bond_distance(sites[i], sites[j], d) || overlap_distance(sites[i], sites[j], d)) continue;
      bool apart = true;
      for (std::size_t x : members[a])
        for (std::size_t y : members[b]) apart = apart && !overlaps(x, y);
      if (!apart) continue;
      const std::size_t keep = std::min(a, b), gone = std::max(a, b);
      part[gone] = keep;
      members[keep].insert(members[keep].end(), members[gone].begin(), members[gone].end());
      members.erase(gone);
    }
  std::string overlapped;
  for (std::size_t i : half) {
    bool named = false;
    for (std::size_t j : half) {
      if (root(i) >= root(j) || other[root(i)] || !overlaps(i, j)) continue;
      other[root(j)] = true;
      if (!named) overlapped += (overlapped.empty() ? "" : ", ") + sites[i].cif.label;
      named = true;
    }
  }
  for (std::size_t j : half) other[j] = other[root(j)];
  return overlapped;
}

}  // namespace

void pair_disorder_groups(std::vector<Site>& sites, std::vector<std::string>& notes) {
  const DisorderAssemblies d = disorder_assemblies(sites);
  for (const auto& a : d.order) {
    std::vector<Group> gs;
    for (const DisorderGroup& g : d.groups.at(a)) gs.push_back(Group{g.id, g.max});
    // Alternatives of one site add up to 1; more means independent sites.
    double total = 0;
    for (const auto& g : gs) total += g.occupancy;
    if (gs.size() < 4 || total < 1.5 || !pair_off(gs)) continue;
    std::map<int, std::string> renamed;
    std::string pairs;
    for (const auto& g : gs) {
      const Group& p = gs[static_cast<std::size_t>(g.partner)];
      const Group& first = std::abs(g.id) < std::abs(p.id) ? g : p;
      const Group& second = &first == &g ? p : g;
      const std::string pair = std::to_string(first.id) + "/" + std::to_string(second.id);
      renamed[g.id] = (a.empty() ? "" : a + ", ") + "groups " + pair;
      if (&first == &g) pairs += (pairs.empty() ? "" : ", ") + pair;
    }
    for (Site& s : sites)
      if (s.cif.disorder_group != 0 && s.cif.disorder_assembly == a) s.cif.disorder_assembly = renamed[s.cif.disorder_group];
    notes.push_back((a.empty() ? std::string("disorder groups ") : "disorder assembly " + a + ": groups ") + pairs +
                    " pair off by occupancy: one of each pair kept");
  }
}

std::vector<Site> without_overlapping_orientations(const std::vector<Site>& sites, const Cell& c,
                                                   const std::vector<SymOp>& ops, std::vector<DroppedSite>& dropped,
                                                   std::vector<std::string>& warnings) {
  const gemmi::UnitCell cell(c.a, c.b, c.c, c.alpha, c.beta, c.gamma);
  const std::size_t n = sites.size();
  std::vector<std::size_t> half;
  for (std::size_t i = 0; i < n; ++i)
    if (half_occupied(sites[i])) half.push_back(i);
  if (half.empty()) return sites;
  std::vector<bool> other(n, false);
  const std::string listed = listed_orientations(sites, half, cell, other);
  if (!listed.empty()) {
    std::vector<Site> kept;
    std::string labels;
    for (std::size_t i = 0; i < n; ++i) {
      if (!other[i]) {
        kept.push_back(sites[i]);
        continue;
      }
      const std::string label = sites[i].cif.label.empty() ? "?" : sites[i].cif.label;
      labels += (labels.empty() ? "" : ", ") + label;
      dropped.push_back({label, "second orientation of a disordered molecule", number(sites[i].occupancy)});
    }
    warnings.push_back("sites " + labels + " (occupancy 0.5, no disorder group) overlap " + listed +
                       ": two orientations of one molecule, the first listed kept");
    return without_overlapping_orientations(kept, c, ops, dropped, warnings);
  }
  if (ops.size() < 2) return sites;
  // An image closer than half the bond length is the other orientation, not a
  // neighbour; images that coincide are a site on the symmetry element.
  std::vector<bool> clash(n, false);
  std::string through;
  for (std::size_t i : half)
    for (std::size_t k = 1; k < ops.size(); ++k)
      for (std::size_t j : half) {
        const double d = distance(cell, sites[i].fract, image(ops[k], sites[j].fract));
        if (d > coincidence_distance && d < 0.5 * (radius(sites[i].element) + radius(sites[j].element))) {
          clash[i] = clash[j] = true;
          if (through.empty()) through = operator_text(ops[k]);
        }
      }
  // The whole disordered molecule: the half-occupied sites bonded to a clashing one.
  for (bool grew = true; grew;) {
    grew = false;
    for (std::size_t i : half)
      for (std::size_t j : half)
        if (clash[i] && !clash[j] &&
            distance(cell, sites[i].fract, sites[j].fract) < radius(sites[i].element) + radius(sites[j].element) + 0.4)
          clash[j] = grew = true;
  }
  std::vector<Site> kept;
  std::string labels;
  for (std::size_t i = 0; i < n; ++i) {
    if (!clash[i]) {
      kept.push_back(sites[i]);
      continue;
    }
    const std::string label = sites[i].cif.label.empty() ? "?" : sites[i].cif.label;
    labels += (labels.empty() ? "" : ", ") + label;
    dropped.push_back({label, "disordered over a symmetry element", number(sites[i].occupancy)});
  }
  if (!labels.empty())
    warnings.push_back("sites " + labels + " (occupancy 0.5) overlap their images through " + through +
                       ": a molecule disordered over a symmetry element, left out (the operators would write both "
                       "orientations as one molecule)");
  return kept;
}

}  // namespace orbicutter::cif
