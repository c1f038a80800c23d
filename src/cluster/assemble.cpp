// Filling the cluster tables: every symmetry copy of every molecule that reaches
// within dmax of the centre, each molecule once.
#include "cluster/assemble.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <unordered_map>

#include "cluster/cluster.hpp"
#include "geometry/geometry.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

// Bucket edge of the coincidence index, in angstrom: a bucket of a molecular
// crystal holds a few atoms, so the bucket table stays small.
constexpr double bucket_edge = 4.0;
// Coordinates beyond this are kept outside the buckets (and checked one by one).
constexpr double bucket_reach = 262144.0 * bucket_edge - 1.0;

// The bucket along one axis: floor(y / edge), without a library call; |y| stays
// below bucket_reach.
std::int64_t bucket_of(double y) {
  const double t = y / bucket_edge;
  auto b = static_cast<std::int64_t>(t);
  if (static_cast<double>(b) > t) --b;
  return b;
}

int central_count(const Run& run) {
  return run.gv.nfrag >= 1 && run.at.frag.rows() >= 1 ? std::clamp(run.at.frag(1, frag_size), 0, run.gv.nat) : 0;
}

// Tables grown molecule by molecule keep doubling their room.
template <class T>
void grow_rows(Table<T>& t, int rows) {
  if (rows > t.capacity_rows()) t.reserve_rows(std::max(rows, 2 * t.capacity_rows()));
  t.resize_rows(rows);
}

// Mean position of the atoms of fragment f: the sum in table order, then divided.
Vec3 fragment_centre(const Run& run, int f) {
  Vec3 sum;
  int n = 0;
  for (int i = 1; i <= run.gv.nat; ++i) {
    if (run.at.allinfo(i, fragment_number) != f) continue;
    for (int k = 1; k <= 3; ++k) sum(k) += run.at.allgeom(i, k);
    ++n;
  }
  if (n == 0) return Vec3{};
  Vec3 c;
  for (int k = 1; k <= 3; ++k) c(k) = sum(k) / static_cast<real>(n);
  return c;
}

// Everything one building pass needs at hand.
struct Builder {
  Run& run;
  const int nat;
  const int ncentral;
  const int kbuild;
  const int max_rows;
  CoincidenceIndex index;
  std::vector<real> reach;  // method 3: distance from the centre to each central atom

  Builder(Run& r, int limit)
      : run(r), nat(r.gv.nat), ncentral(central_count(r)), kbuild(r.kw.kbuild), max_rows(limit), index(r.geo.g) {}

  // Room for the expected cluster, taken at once: the tables never copy themselves
  // on the way, and pages not reached are never touched.
  void reserve(double expected) {
    double rows = 1.25 * expected + 1024.0;
    if (!(rows < max_rows)) rows = max_rows;
    if (!(rows > 1024.0)) rows = 1024.0;
    const int n = std::max(ncentral, static_cast<int>(rows));
    run.at.catns.reserve_rows(n);
    run.at.cinfo.reserve_rows(n);
    run.at.cgeom.reserve_rows(n);
    index.reserve(n);
  }

  // Method 3: the reach towards a candidate whose centre is at `centre`: the
  // distance from the cluster centre to the central atom nearest that centre.
  real shape_reach(const Vec3& centre) const {
    if (ncentral == 0) return 0;
    int best = 1;
    real dbest = calcdist(run, centre, row3(run.at.cgeom, 1));
    for (int m = 2; m <= ncentral; ++m) {
      const real d = calcdist(run, centre, row3(run.at.cgeom, m));
      if (d < dbest) { dbest = d; best = m; }
    }
    return reach[static_cast<std::size_t>(best - 1)];
  }

  // Appends the molecule in molatns/molinfo with positions `pos` and returns
  // its first row; the caller fills columns 4 to 7 and 9.
  int append(const std::vector<Vec3>& pos) {
    auto& at = run.at;
    const int first = run.gv.ncluster + 1;
    const int n = static_cast<int>(pos.size());
    const int last = run.gv.ncluster + n;
    if (last > max_rows) fail({" --> Cluster too large: reduce DMAX <--"});
    grow_rows(at.catns, last);
    grow_rows(at.cinfo, last);
    grow_rows(at.cgeom, last);
    for (int k = 1; k <= n; ++k) {
      const int i = first + k - 1;
      at.catns(i, 1) = at.molatns(k, 1);
      at.catns(i, 2) = at.molatns(k, 2);
      for (int c = total_atom; c <= molecule_atom; ++c) at.cinfo(i, c) = at.molinfo(k, c);
      at.cinfo(i, cluster_fragment) = 0;
      at.cinfo(i, cluster_atom) = 0;
      set_row3(at.cgeom, i, pos[static_cast<std::size_t>(k - 1)]);
      index.insert(i, pos[static_cast<std::size_t>(k - 1)]);
    }
    run.gv.ncluster = last;
    return first;
  }

  void central_molecule(double expected) {
    auto& at = run.at;
    at.catns.allocate(0, 2);
    at.cinfo.allocate(0, cluster_info_columns);
    at.cgeom.allocate(0, 3);
    reserve(expected);
    run.gv.ncluster = 0;
    grow_rows(at.catns, ncentral);
    grow_rows(at.cinfo, ncentral);
    grow_rows(at.cgeom, ncentral);
    for (int i = 1; i <= ncentral; ++i) {
      at.catns(i, 1) = at.allatns(i, 1);
      at.catns(i, 2) = at.allatns(i, 2);
      for (int c = total_atom; c <= molecule_atom; ++c) at.cinfo(i, c) = at.allinfo(i, c);
      // The whole central molecule carries the operation and translation of its first atom.
      for (int c = symmetry_operation; c <= translation_c; ++c) at.cinfo(i, c) = at.allinfo(1, c);
      at.cinfo(i, cluster_fragment) = 0;
      at.cinfo(i, cluster_atom) = 0;
      for (int k = 1; k <= 3; ++k) at.cgeom(i, k) = at.allgeom(i, k);
      index.insert(i, row3(at.cgeom, i));
    }
    run.gv.ncluster = ncentral;
    if (kbuild == 3) {
      reach.resize(static_cast<std::size_t>(ncentral));
      for (int m = 1; m <= ncentral; ++m) {
        Vec3 v;
        for (int k = 1; k <= 3; ++k) v(k) = run.geo.geomcent(k) - at.cgeom(m, k);
        reach[static_cast<std::size_t>(m - 1)] = cartesian_length(cartesian(run.geo.mt, v));
      }
    }
  }

  // The atoms of fragment f, in table order, into the molecule tables.
  int gather(int f) {
    auto& at = run.at;
    int n = 0;
    for (int i = 1; i <= nat; ++i)
      if (at.allinfo(i, fragment_number) == f) ++n;
    at.molatns.release();
    at.molinfo.release();
    at.molgeom.release();
    at.molatns.allocate(n, 2);
    at.molinfo.allocate(n, all_info_columns);
    at.molgeom.allocate(n, 3);
    int k = 0;
    for (int i = 1; i <= nat; ++i) {
      if (at.allinfo(i, fragment_number) != f) continue;
      ++k;
      at.molatns(k, 1) = at.allatns(i, 1);
      at.molatns(k, 2) = at.allatns(i, 2);
      for (int c = total_atom; c <= molecule_atom; ++c) at.molinfo(k, c) = at.allinfo(i, c);
      for (int c = 1; c <= 3; ++c) at.molgeom(k, c) = at.allgeom(i, c);
    }
    return n;
  }

  real nearest(const std::vector<Vec3>& pos) const {
    real dmin = std::numeric_limits<real>::max();
    for (const auto& p : pos) {
      const real d = calcdist(run, p, run.geo.geomcent);
      if (d < dmin) dmin = d;
    }
    return dmin;
  }

  // dmax + dmol > (the smallest distance of an atom from the centre), decided
  // at the first atom close enough.
  bool within(const std::vector<Vec3>& pos, real limit) const {
    for (const auto& p : pos)
      if (limit > calcdist(run, p, run.geo.geomcent)) return true;
    return false;
  }

  bool coincident(const std::vector<Vec3>& pos) const {
    const auto& cgeom = run.at.cgeom;
    for (const auto& p : pos)
      if (index.any(p, [&](int r) { return calcdist(run, p, row3(cgeom, r)) < tiny; })) return true;
    return false;
  }

  real dmol_for(real radius, const Vec3& centre) const {
    if (kbuild == 2) return radius;
    if (kbuild == 3) return shape_reach(centre);
    return 0;
  }

  // The copies of one symmetry operation: positions for every cell translation.
  struct Images {
    std::vector<Vec3> base;  // rot * x + trans for each atom
    Vec3 centre;             // the same for the molecule's centre
    double extent = 0;       // largest distance of an atom from the first one
  };

  Images images(int s, int n, const Vec3& centre) const {
    Images im;
    im.base.resize(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) im.base[static_cast<std::size_t>(k - 1)] = image_base(run, s, row3(run.at.molgeom, k));
    im.centre = image_base(run, s, centre);
    for (const auto& b : im.base) im.extent = std::max(im.extent, static_cast<double>(calcdist(run, im.base[0], b)));
    return im;
  }

  // A copy whose first atom lies farther than limit + extent from the centre has
  // no atom within limit of it: most copies tried are settled by one distance.
  // The margin covers the rounding of the distances compared.
  bool surely_beyond(const Vec3& first, const Images& im, real limit) const {
    const double d = calcdist(run, first, run.geo.geomcent);
    return d > static_cast<double>(limit) + im.extent + 0.01 + 1e-4 * d;
  }

  void fragment(int f, real radius) {
    auto& at = run.at;
    const auto& geo = run.geo;
    const int n = gather(f);
    std::vector<Vec3> pos(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) pos[static_cast<std::size_t>(k - 1)] = row3(at.molgeom, k);
    const Vec3 centre = kbuild == 3 ? fragment_centre(run, f) : Vec3{};

    int counter = 0;
    if (f > 1) {
      const real dmin = nearest(pos);
      const real dmol = dmol_for(radius, centre);
      if (geo.dmax + dmol > dmin) {
        const int first = append(pos);
        for (int i = first; i <= run.gv.ncluster; ++i)
          for (int c = symmetry_operation; c <= translation_c; ++c) at.cinfo(i, c) = at.allinfo(1, c);
      } else {
        counter = 1;
      }
    }

    // The reach test comes before the coincidence test here: a copy is taken when
    // it passes both and neither test changes anything, so the cluster is the
    // same, and most copies out of reach never reach the index.
    const int nc = run.gv.ncells;
    for (int s = 1; s <= run.gv.nsym; ++s) {
      const Images im = images(s, n, centre);
      for (int tz = -nc; tz <= nc; ++tz)
        for (int ty = -nc; ty <= nc; ++ty)
          for (int tx = -nc; tx <= nc; ++tx) {
            const Vec3 u = lattice_translation(tx, ty, tz);
            const Vec3 moved = kbuild == 3 ? translated(im.centre, u) : centre;
            const real limit = geo.dmax + dmol_for(radius, moved);
            if (n > 0 && surely_beyond(translated(im.base[0], u), im, limit)) continue;
            for (std::size_t k = 0; k < pos.size(); ++k) pos[k] = translated(im.base[k], u);
            if (!within(pos, limit)) continue;
            if (coincident(pos)) continue;
            ++counter;
            const int first = append(pos);
            for (int i = first; i <= run.gv.ncluster; ++i) {
              at.cinfo(i, symmetry_operation) = s;
              at.cinfo(i, translation_a) = tx;
              at.cinfo(i, translation_b) = ty;
              at.cinfo(i, translation_c) = tz;
              at.cinfo(i, cluster_fragment) = counter;
            }
          }
    }
  }
};

std::uint64_t pair_key(int molecule_atom_number, int cluster_fragment_number) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(molecule_atom_number)) << 32) |
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(cluster_fragment_number));
}

// (molecular atom number, cluster fragment number) -> cluster row, the last one on
// repeats. Molecular atom numbers run over 1..nat and every fragment numbers its
// copies from 0, so a plain array of nat x (largest copy number + 1) entries costs a
// few bytes per cluster atom; pairs outside it, should there be any, are hashed.
class RowOfPair {
 public:
  RowOfPair(const Table<int>& cinfo, int n, int nat) : nat_(nat) {
    int top = -1;
    for (int k = 1; k <= n; ++k) top = std::max(top, cinfo(k, cluster_fragment));
    if (nat >= 1 && top >= 0 && static_cast<double>(nat) * (top + 1.0) <= 4.0 * n + 4096.0) {
      copies_ = top + 1;
      rows_.assign(static_cast<std::size_t>(nat) * static_cast<std::size_t>(copies_), absent);
    }
    for (int k = 1; k <= n; ++k) {
      const int m = cinfo(k, molecule_atom), copy = cinfo(k, cluster_fragment);
      const std::size_t at = slot(m, copy);
      if (at != outside) rows_[at] = cinfo(k, cluster_atom);
      else other_[pair_key(m, copy)] = cinfo(k, cluster_atom);
    }
  }
  // The row, or `fallback` when no cluster atom has this pair.
  int find(int m, int copy, int fallback) const {
    const std::size_t at = slot(m, copy);
    if (at != outside) return rows_[at] == absent ? fallback : rows_[at];
    const auto it = other_.find(pair_key(m, copy));
    return it == other_.end() ? fallback : it->second;
  }

 private:
  static constexpr int absent = std::numeric_limits<int>::min();
  static constexpr std::size_t outside = static_cast<std::size_t>(-1);
  std::size_t slot(int m, int copy) const {
    if (m < 1 || m > nat_ || copy < 0 || copy >= copies_) return outside;
    return static_cast<std::size_t>(copy) * static_cast<std::size_t>(nat_) + static_cast<std::size_t>(m - 1);
  }
  int nat_ = 0, copies_ = 0;
  std::vector<int> rows_;
  std::unordered_map<std::uint64_t, int> other_;
};

// Bond lists in cluster numbering: a partner is the atom of the same cluster
// molecule with the partner's molecular number (the last such row, should
// there be several); a partner not found keeps its molecular number.
void cluster_bonds(Run& run) {
  auto& at = run.at;
  const int n = run.gv.ncluster;
  const int nat = run.gv.nat;
  const RowOfPair row_of(at.cinfo, n, nat);
  // The partners of every molecular atom, counted first so that the lists take
  // their room once.
  const int width = std::min(nat, at.allbonds.cols());
  std::vector<int> count(static_cast<std::size_t>(at.allbonds.rows()) + 1, 0);
  for (int m = 1; m <= at.allbonds.rows(); ++m)
    for (int j = 1; j <= width; ++j)
      if (at.allbonds(m, j) != 0) ++count[static_cast<std::size_t>(m)];
  std::size_t total = 0;
  for (int i = 1; i <= n; ++i) {
    const int m = at.cinfo(i, molecule_atom);
    if (m >= 1 && m <= at.allbonds.rows()) total += static_cast<std::size_t>(count[static_cast<std::size_t>(m)]);
  }
  at.cbonds.clear();
  at.cbonds.first.reserve(static_cast<std::size_t>(n) + 1);
  at.cbonds.partners.reserve(total);
  for (int i = 1; i <= n; ++i) {
    const int m = at.cinfo(i, molecule_atom);
    if (m >= 1 && m <= at.allbonds.rows())
      for (int j = 1; j <= width; ++j) {
        const int v = at.allbonds(m, j);
        if (v != 0) at.cbonds.add(row_of.find(v, at.cinfo(i, cluster_fragment), v));
      }
    at.cbonds.end_row();
  }
}

}  // namespace

CoincidenceIndex::CoincidenceIndex(const Mat3& g) {
  const double g11 = g(1, 1), g12 = g(1, 2), g13 = g(1, 3), g22 = g(2, 2), g23 = g(2, 3), g33 = g(3, 3);
  r11_ = std::sqrt(g11);
  r12_ = g12 / r11_;
  r13_ = g13 / r11_;
  r22_ = std::sqrt(g22 - r12_ * r12_);
  r23_ = (g23 - r12_ * r13_) / r22_;
  r33_ = std::sqrt(g33 - r13_ * r13_ - r23_ * r23_);
  usable_ = std::isfinite(r11_) && std::isfinite(r12_) && std::isfinite(r13_) && std::isfinite(r22_) &&
            std::isfinite(r23_) && std::isfinite(r33_) && r11_ > 0 && r22_ > 0 && r33_ > 0;
  if (!usable_) return;
  // The distance test works in the program's precision: d.(g d) is off the exact
  // form by at most `rounding` |d|^2 (d a fractional difference). In a nearly flat
  // cell that is not small beside the smallest eigenvalue of g, `lowest`, so a
  // computed distance below the tolerance could belong to a pair far apart. Where
  // lowest > rounding it cannot: |d|^2 < tolerance^2 / (lowest - rounding), and the
  // metric distance of such a pair stays far inside the bucket margin.
  const double i11 = 1 / r11_, i22 = 1 / r22_, i33 = 1 / r33_;
  const double i12 = -r12_ * i11 * i22, i23 = -r23_ * i22 * i33, i13 = (r12_ * r23_ - r13_ * r22_) * i11 * i22 * i33;
  const double lowest = 1 / (i11 * i11 + i22 * i22 + i33 * i33 + i12 * i12 + i23 * i23 + i13 * i13);
  const double norm = std::max({std::fabs(g11) + std::fabs(g12) + std::fabs(g13),
                                std::fabs(g12) + std::fabs(g22) + std::fabs(g23),
                                std::fabs(g13) + std::fabs(g23) + std::fabs(g33)});
  const double rounding = 32 * static_cast<double>(std::numeric_limits<real>::epsilon()) * norm;
  const double tol2 = 1.01 * static_cast<double>(tiny) * static_cast<double>(tiny);
  const double spare = lowest - rounding;
  const double reach2 = tol2 + rounding * tol2 / spare;
  usable_ = spare > 0 && std::isfinite(reach2) && reach2 < 0.25 * coincidence_margin * coincidence_margin;
}

std::uint64_t CoincidenceIndex::pack(std::int64_t i, std::int64_t j, std::int64_t k) {
  constexpr std::int64_t off = std::int64_t{1} << 20;
  return (static_cast<std::uint64_t>(i + off) << 42) | (static_cast<std::uint64_t>(j + off) << 21) |
         static_cast<std::uint64_t>(k + off);
}

bool CoincidenceIndex::keys(const Vec3& p, double margin, std::int64_t lo[3], std::int64_t hi[3]) const {
  const double f1 = p(1), f2 = p(2), f3 = p(3);
  const double y[3] = {r11_ * f1 + r12_ * f2 + r13_ * f3, r22_ * f2 + r23_ * f3, r33_ * f3};
  for (int d = 0; d < 3; ++d) {
    if (!(std::fabs(y[d]) < bucket_reach)) return false;
    lo[d] = bucket_of(y[d] - margin);
    hi[d] = bucket_of(y[d] + margin);
  }
  return true;
}

void CoincidenceIndex::insert(int row, const Vec3& p) {
  count_ = row;
  next_.resize(static_cast<std::size_t>(row) + 1, 0);
  std::int64_t lo[3], hi[3];
  if (!usable_) return;
  if (!keys(p, coincidence_margin, lo, hi)) {
    loose_.push_back(row);
    return;
  }
  // The bucket of p itself: the middle of its widened range.
  const double f1 = p(1), f2 = p(2), f3 = p(3);
  const double y[3] = {r11_ * f1 + r12_ * f2 + r13_ * f3, r22_ * f2 + r23_ * f3, r33_ * f3};
  std::int64_t b[3];
  for (int d = 0; d < 3; ++d) b[d] = bucket_of(y[d]);
  Slot& s = slot(pack(b[0], b[1], b[2]));
  next_[static_cast<std::size_t>(row)] = s.row;
  s.row = row;
}

CoincidenceIndex::Slot& CoincidenceIndex::slot(std::uint64_t key) {
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old(2 * slots_.size());
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& o : old)
      if (o.key != 0)
        for (std::size_t s = mix(o.key) & mask_;; s = (s + 1) & mask_)
          if (slots_[s].key == 0) {
            slots_[s] = o;
            break;
          }
  }
  std::size_t s = mix(key) & mask_;
  while (slots_[s].key != 0 && slots_[s].key != key) s = (s + 1) & mask_;
  if (slots_[s].key == 0) {
    slots_[s].key = key;
    ++used_;
  }
  return slots_[s];
}

Vec3 cluster_centre(const Run& run) {
  if (run.kw.kgecr == 1) return run.geo.geomcentfix;
  return fragment_centre(run, 1);
}

real central_radius(const Run& run) {
  real r = 0;
  for (int i = 1; i <= run.gv.nat; ++i) {
    if (run.at.allinfo(i, fragment_number) != 1) continue;
    const real d = calcdist(run, run.geo.geomcent, row3(run.at.allgeom, i));
    if (d > r) r = d;
  }
  return r;
}

ClusterSize estimate_cluster_size(const Run& run, real radius) {
  const auto& geo = run.geo;
  const int nat = run.gv.nat;
  // Largest distance of an atom from the centre of its own molecule.
  double extent = 0;
  for (int f = 1; f <= run.gv.nfrag; ++f) {
    const Vec3 c = fragment_centre(run, f);
    for (int i = 1; i <= nat; ++i)
      if (run.at.allinfo(i, fragment_number) == f)
        extent = std::max(extent, static_cast<double>(calcdist(run, c, row3(run.at.allgeom, i))));
  }
  const double reach = run.kw.kbuild == 2 || run.kw.kbuild == 3 ? static_cast<double>(radius) : 0.0;
  const double r = std::max(0.0, static_cast<double>(geo.dmax) + reach + extent);
  const double volume = std::fabs(static_cast<double>(geo.mt(1, 1)) * geo.mt(2, 2) * geo.mt(3, 3));
  const double sphere = 4.0 / 3.0 * std::numbers::pi * r * r * r;
  ClusterSize size;
  const double per_cell = static_cast<double>(nat) * std::max(run.gv.nsym, 1);
  size.atoms = volume > 0 ? per_cell * sphere / volume : std::numeric_limits<double>::infinity();
  if (std::isnan(size.atoms)) size.atoms = 0;
  const double side = run.gv.ncells >= 0 ? 2.0 * run.gv.ncells + 1.0 : 0.0;
  size.trials = static_cast<double>(nat) * run.gv.nsym * side * side * side;
  size.bonds = size.atoms * nat;
  return size;
}

void check_cluster_size(const Run& run, real radius) {
  const ClusterSize size = estimate_cluster_size(run, radius);
  if (size.atoms > max_cluster_atoms || size.trials > max_trial_positions || size.bonds > max_bond_entries)
    fail({" --> Cluster too large: reduce DMAX <--"});
  // Without the index every copy is compared with every cluster atom.
  if (size.atoms > max_unindexed_atoms && !CoincidenceIndex(run.geo.g).hashed())
    fail({" --> Cell too flat to tell atoms apart in a large cluster <--", " --> check CELL, or reduce DMAX <--"});
}

void assemble_cluster(Run& run, real radius, int max_rows) {
  {
    Builder b(run, max_rows);
    b.central_molecule(estimate_cluster_size(run, radius).atoms);
    for (int f = 1; f <= run.gv.nfrag; ++f) b.fragment(f, radius);
  }  // the coincidence index goes before the bond lists come

  auto& at = run.at;
  const int n = run.gv.ncluster;
  for (int i = 1; i <= n; ++i) at.cinfo(i, cluster_atom) = i;
  int nmol = 1;
  for (int i = 2; i <= n; ++i)
    if (starts_molecule(at.cinfo, i)) ++nmol;
  run.gv.nmol = nmol;
  cluster_bonds(run);

  at.ccharge.release();
  if (run.kw.kcharge == 1) {
    at.ccharge.allocate(n, 0);
    for (int i = 1; i <= n; ++i) {
      const int t = at.cinfo(i, total_atom);
      if (t >= 1 && t <= at.fcharge.size()) at.ccharge(i) = at.fcharge(t);
    }
  }
}

}  // namespace orbicutter
