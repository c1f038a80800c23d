// Special positions, with gemmi's cell for the metric.
#include "cif/site_placement.hpp"

#include <gemmi/unitcell.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cif/error.hpp"

namespace orbicutter::cif {
namespace {

using Frac = std::array<double, 3>;

Frac image(const SymOp& op, const Frac& f) {
  Frac r{};
  for (int i = 0; i < 3; ++i)
    r[i] = op.rot[i][0] * f[0] + op.rot[i][1] * f[1] + op.rot[i][2] * f[2] + op.tran[i] / 24.0;
  return r;
}

// The shortest lattice-translated difference q - p, and its length in angstrom.
double nearest(const gemmi::UnitCell& cell, const Frac& p, const Frac& q, Frac& d) {
  for (int i = 0; i < 3; ++i) {
    d[i] = q[i] - p[i];
    d[i] -= std::round(d[i]);
  }
  return cell.orthogonalize_difference(gemmi::Fractional(d[0], d[1], d[2])).length();
}

gemmi::UnitCell unit_cell(const Cell& c) { return gemmi::UnitCell(c.a, c.b, c.c, c.alpha, c.beta, c.gamma); }

std::string fixed(double v, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

}  // namespace

void place_on_special_positions(std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops) {
  const gemmi::UnitCell cell = unit_cell(c);
  for (Site& s : sites) {
    const Frac start = s.fract;
    Frac f = start;
    int order = 1;
    // The mean of the coinciding images lies on the symmetry element; a second
    // pass picks up images that came within reach.
    for (int pass = 0; pass < 10; ++pass) {
      Frac sum = f, d{};
      order = 1;
      for (std::size_t k = 1; k < ops.size(); ++k) {
        if (nearest(cell, f, image(ops[k], f), d) < coincidence_distance) {
          ++order;
          for (int i = 0; i < 3; ++i) sum[i] += f[i] + d[i];
        }
      }
      Frac mean{};
      for (int i = 0; i < 3; ++i) mean[i] = sum[i] / order;
      const bool settled = nearest(cell, f, mean, d) < 1e-9;
      f = mean;
      if (settled) break;
    }
    Frac d{};
    s.site_order = order;
    s.moved = order > 1 ? nearest(cell, start, f, d) : 0;
    if (order > 1) s.fract = f;
  }
}

namespace {

struct ClosePair {
  std::size_t i, j, op;
  double distance;
};

// Pairs of sites i < j with an image of j closer than coincidence_distance to
// i, the first operator of each pair, ordered by i then j. The images sorted
// along a keep the work near linear: two points that close differ along a by
// at most the distance times a*.
std::vector<ClosePair> close_pairs(const std::vector<Site>& sites, const gemmi::UnitCell& cell, const std::vector<SymOp>& ops) {
  struct Image {
    double x;  // along a, in [0, 1)
    std::size_t site, op;
    Frac at;
  };
  std::vector<Image> images;
  for (std::size_t j = 0; j < sites.size(); ++j)
    for (std::size_t k = 0; k < ops.size(); ++k) {
      const Frac p = image(ops[k], sites[j].fract);
      images.push_back({p[0] - std::floor(p[0]), j, k, p});
    }
  std::sort(images.begin(), images.end(), [](const Image& a, const Image& b) { return a.x < b.x; });
  const double reach = coincidence_distance * cell.ar + 1e-9;
  std::vector<ClosePair> pairs;
  Frac d{};
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const double xi = sites[i].fract[0] - std::floor(sites[i].fract[0]);
    std::vector<std::pair<double, double>> windows{{xi - reach, xi + reach}};
    if (reach >= 0.5) windows = {{0, 1}};
    else if (xi - reach < 0) windows.push_back({xi - reach + 1, 1});
    else if (xi + reach >= 1) windows.push_back({0, xi + reach - 1});
    std::vector<ClosePair> found;
    for (const auto& [lo, hi] : windows) {
      auto it = std::lower_bound(images.begin(), images.end(), lo, [](const Image& a, double v) { return a.x < v; });
      for (; it != images.end() && it->x <= hi; ++it) {
        if (it->site <= i) continue;
        const double dist = nearest(cell, sites[i].fract, it->at, d);
        if (dist >= coincidence_distance) continue;
        auto same = std::find_if(found.begin(), found.end(), [&](const ClosePair& p) { return p.j == it->site; });
        if (same == found.end()) found.push_back({i, it->site, it->op, dist});
        else if (it->op < same->op) *same = {i, it->site, it->op, dist};
      }
    }
    std::sort(found.begin(), found.end(), [](const ClosePair& a, const ClosePair& b) { return a.j < b.j; });
    pairs.insert(pairs.end(), found.begin(), found.end());
  }
  return pairs;
}

}  // namespace

std::vector<Site> without_symmetry_copies(const std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops,
                                          std::vector<DroppedSite>& dropped) {
  std::vector<ClosePair> pairs = close_pairs(sites, unit_cell(c), ops);
  std::sort(pairs.begin(), pairs.end(), [](const ClosePair& a, const ClosePair& b) { return a.j != b.j ? a.j < b.j : a.i < b.i; });
  std::vector<bool> copy(sites.size(), false);
  for (const auto& p : pairs) {
    const Site &k = sites[p.i], &s = sites[p.j];
    if (copy[p.i] || copy[p.j] || k.element != s.element || k.cif.disorder_group != s.cif.disorder_group ||
        k.cif.disorder_assembly != s.cif.disorder_assembly || std::fabs(k.occupancy - s.occupancy) > 1e-6)
      continue;
    copy[p.j] = true;
    dropped.push_back({s.cif.label, "symmetry copy", "of " + k.cif.label});
  }
  std::vector<Site> kept;
  for (std::size_t j = 0; j < sites.size(); ++j)
    if (!copy[j]) kept.push_back(sites[j]);
  return kept;
}

void check_separation(const std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops) {
  const std::vector<ClosePair> pairs = close_pairs(sites, unit_cell(c), ops);
  if (pairs.empty()) return;
  const ClosePair& p = pairs.front();
  throw ConversionError("sites " + sites[p.i].cif.label + " and " + sites[p.j].cif.label + " are " + fixed(p.distance, 3) +
                        " A apart" + (p.op ? " (through operator " + operator_text(ops[p.op]) + ")" : "") +
                        "; drop one with --drop, or see their occupancies and disorder groups");
}

}  // namespace orbicutter::cif
