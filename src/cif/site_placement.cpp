// Special positions, with gemmi's cell for the metric.
#include "cif/site_placement.hpp"

#include <gemmi/unitcell.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "cif/error.hpp"
#include "cif/symmetry.hpp"

namespace orbicutter::cif {
namespace {

// The shortest lattice-translated difference q - p, and its length in angstrom.
double nearest(const gemmi::UnitCell& cell, const Frac& p, const Frac& q, Frac& d) {
  const gemmi::Fractional w = (gemmi::Fractional(q[0], q[1], q[2]) - gemmi::Fractional(p[0], p[1], p[2])).wrap_to_zero();
  d = {w.x, w.y, w.z};
  return cell.orthogonalize_difference(w).length();
}

gemmi::UnitCell unit_cell(const Cell& c) { return gemmi::UnitCell(c.a, c.b, c.c, c.alpha, c.beta, c.gamma); }

// The cell with the operators after the identity as its images, in order.
gemmi::UnitCell cell_with_images(const Cell& c, const std::vector<SymOp>& ops) {
  gemmi::UnitCell cell = unit_cell(c);
  for (std::size_t k = 1; k < ops.size(); ++k) {
    gemmi::Transform t;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) t.mat[i][j] = ops[k].rot[i][j];
      t.vec.at(i) = ops[k].tran[i] / 24.0;
    }
    cell.images.emplace_back(t);
  }
  return cell;
}

std::string fixed(double v, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

}  // namespace

void place_on_special_positions(std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops) {
  const gemmi::UnitCell cell = cell_with_images(c, ops);
  const double reach_sq = coincidence_distance * coincidence_distance;
  // Sites given at the very same coordinates land alike; each position is worked out once.
  std::map<Frac, const Site*> done;
  for (Site& s : sites) {
    const Frac start = s.fract;
    if (const auto it = done.find(start); it != done.end()) {
      s.fract = it->second->fract;
      s.site_order = it->second->site_order;
      s.moved = it->second->moved;
      continue;
    }
    done.emplace(start, &s);
    Frac f = start;
    int order = 1;
    // The mean of the coinciding images lies on the symmetry element; a second
    // pass picks up images that came within reach.
    for (int pass = 0; pass < 10; ++pass) {
      const gemmi::Fractional at(f[0], f[1], f[2]);
      order = 1 + cell.is_special_position(at, coincidence_distance);
      if (order == 1) break;
      Frac sum = f, d{};
      for (int k = 1; k <= static_cast<int>(cell.images.size()); ++k) {
        const gemmi::NearestImage im = cell.find_nearest_pbc_image(at, at, k);
        if (!(im.dist_sq < reach_sq)) continue;
        const gemmi::Fractional to = cell.images[static_cast<std::size_t>(k - 1)].apply(at) - at;
        for (int i = 0; i < 3; ++i) sum[i] += f[i] + (to.at(i) + im.pbc_shift[i]);
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

// Beyond this many distances between images the sites lie too thickly for any
// crystal; the search stops with an error instead of running for minutes.
constexpr long long most_distances = 20000000;

// Images of sites in bins of the unit cell at least coincidence_distance wide,
// so that an image close to a point lies in its bin or a neighbouring one.
class ImageIndex {
 public:
  struct Image {
    std::size_t site, op;
    Frac at;
  };

  ImageIndex(const gemmi::UnitCell& cell) : cell_(cell) {
    const double reach[3] = {coincidence_distance * cell.ar, coincidence_distance * cell.br, coincidence_distance * cell.cr};
    for (int i = 0; i < 3; ++i) bins_[i] = std::clamp(static_cast<int>(std::min(1.0 / (reach[i] + 1e-9), 1000.0)), 1, 1000);
  }

  void add(std::size_t site, std::size_t op, const Frac& at) {
    cells_[key(bin_of(at))].push_back({site, op, at});
  }

  // Calls visit(image, distance) for every image closer than coincidence_distance to p.
  template <class Visit>
  void near(const Frac& p, Visit&& visit) {
    const std::array<int, 3> b = bin_of(p);
    std::array<long long, 27> seen{};
    int n = 0;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        for (int dz = -1; dz <= 1; ++dz) {
          const long long k = key({b[0] + dx, b[1] + dy, b[2] + dz});
          if (std::find(seen.begin(), seen.begin() + n, k) != seen.begin() + n) continue;  // few bins: wrapped onto one
          seen[static_cast<std::size_t>(n++)] = k;
          const auto it = cells_.find(k);
          if (it == cells_.end()) continue;
          Frac d{};
          for (const Image& im : it->second) {
            if (++distances_ > most_distances)
              throw ConversionError("the atom sites lie too thickly (over " + std::to_string(most_distances) +
                                    " distances within " + fixed(coincidence_distance, 1) + " A); no crystal is that dense");
            const double dist = nearest(cell_, p, im.at, d);
            if (dist < coincidence_distance) visit(im, dist);
          }
        }
  }

 private:
  std::array<int, 3> bin_of(const Frac& f) const {
    std::array<int, 3> b{};
    for (int i = 0; i < 3; ++i) {
      const double w = f[i] - std::floor(f[i]);
      b[i] = std::min(bins_[i] - 1, static_cast<int>(w * bins_[i]));
    }
    return b;
  }
  long long key(std::array<int, 3> b) const {
    long long k = 0;
    for (int i = 0; i < 3; ++i) k = k * bins_[i] + ((b[i] % bins_[i]) + bins_[i]) % bins_[i];
    return k;
  }

  const gemmi::UnitCell& cell_;
  int bins_[3] = {1, 1, 1};
  std::unordered_map<long long, std::vector<Image>> cells_;
  long long distances_ = 0;
};

}  // namespace

// A site is a copy of the first earlier site kept that an operator brings
// within coincidence_distance and that agrees in element, disorder and
// occupancy. Only kept sites are indexed, so a heap of coinciding copies costs
// one comparison each.
std::vector<Site> without_symmetry_copies(const std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops,
                                          std::vector<DroppedSite>& dropped) {
  const gemmi::UnitCell cell = unit_cell(c);
  ImageIndex index(cell);
  std::vector<Site> kept;
  for (std::size_t j = 0; j < sites.size(); ++j) {
    const Site& s = sites[j];
    std::size_t original = sites.size();
    index.near(s.fract, [&](const ImageIndex::Image& im, double) {
      const Site& k = sites[im.site];
      if (im.site < original && k.element == s.element && k.cif.disorder_group == s.cif.disorder_group &&
          k.cif.disorder_assembly == s.cif.disorder_assembly && std::fabs(k.occupancy - s.occupancy) <= 1e-6)
        original = im.site;
    });
    if (original < sites.size()) {
      dropped.push_back({s.cif.label, "symmetry copy", "of " + sites[original].cif.label});
      continue;
    }
    for (std::size_t k = 0; k < ops.size(); ++k) index.add(j, k, image(ops[k], s.fract));
    kept.push_back(s);
  }
  return kept;
}

// The first pair i < j (by i, then j, then operator) with an image of j
// closer than coincidence_distance to i.
void check_separation(const std::vector<Site>& sites, const Cell& c, const std::vector<SymOp>& ops) {
  const gemmi::UnitCell cell = unit_cell(c);
  ImageIndex index(cell);
  for (std::size_t j = 0; j < sites.size(); ++j)
    for (std::size_t k = 0; k < ops.size(); ++k) index.add(j, k, image(ops[k], sites[j].fract));
  for (std::size_t i = 0; i < sites.size(); ++i) {
    std::size_t j = sites.size(), op = 0;
    double distance = 0;
    index.near(sites[i].fract, [&](const ImageIndex::Image& im, double dist) {
      if (im.site <= i) return;
      if (im.site < j || (im.site == j && im.op < op)) j = im.site, op = im.op, distance = dist;
    });
    if (j == sites.size()) continue;
    throw ConversionError("sites " + sites[i].cif.label + " and " + sites[j].cif.label + " are " + fixed(distance, 3) +
                          " A apart" + (op ? " (through operator " + operator_text(ops[op]) + ")" : "") +
                          "; drop one with --drop, or see their occupancies and disorder groups");
  }
}

}  // namespace orbicutter::cif
