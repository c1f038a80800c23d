// Special positions, with gemmi's cell for the metric.
#include "cif/special_positions.hpp"

#include <gemmi/unitcell.hpp>

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

std::vector<Site> without_symmetry_copies(const std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops,
                                          std::vector<DroppedSite>& dropped) {
  const gemmi::UnitCell cell = unit_cell(c);
  std::vector<Site> kept;
  Frac d{};
  for (const Site& s : sites) {
    const Site* original = nullptr;
    for (const Site& k : kept) {
      if (k.element != s.element || k.cif.disorder_group != s.cif.disorder_group ||
          k.cif.disorder_assembly != s.cif.disorder_assembly || std::fabs(k.occupancy - s.occupancy) > 1e-6)
        continue;
      for (const SymOp& op : ops)
        if (nearest(cell, k.fract, image(op, s.fract), d) < coincidence_distance) original = &k;
      if (original) break;
    }
    if (original)
      dropped.push_back({s.cif.label, "symmetry copy", "of " + original->cif.label});
    else
      kept.push_back(s);
  }
  return kept;
}

void check_separation(const std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops) {
  const gemmi::UnitCell cell = unit_cell(c);
  Frac d{};
  for (std::size_t i = 0; i < sites.size(); ++i)
    for (std::size_t j = i + 1; j < sites.size(); ++j)
      for (std::size_t k = 0; k < ops.size(); ++k) {
        const double dist = nearest(cell, sites[i].fract, image(ops[k], sites[j].fract), d);
        if (dist < coincidence_distance)
          throw ConversionError("sites " + sites[i].cif.label + " and " + sites[j].cif.label + " are " + fixed(dist, 3) +
                                " A apart" + (k ? " (through operator " + operator_text(ops[k]) + ")" : "") +
                                "; drop one with --drop, or see their occupancies and disorder groups");
      }
}

}  // namespace orbicutter::cif
