// A hand-built run for the ring and X-H phases: a cell, atoms given in Cartesian
// or fractional coordinates, bonds found by distance, rings listed by atom number.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"
#include "model/run.hpp"
#include "support/crystal.hpp"

namespace orbicutter::testing {

// Cartesian position in angstrom (double, converted on entry).
struct Xyz {
  double x = 0, y = 0, z = 0;
};
inline Xyz operator+(Xyz a, Xyz b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Xyz operator-(Xyz a, Xyz b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Xyz operator*(double s, Xyz a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(Xyz a, Xyz b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Xyz cross(Xyz a, Xyz b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline Xyz unit(Xyz a) {
  const double n = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  return {a.x / n, a.y / n, a.z / n};
}

class CrystalBuilder : public MemoryRun {
 public:
  CrystalBuilder(double a, double b, double c, double alpha, double beta, double gamma) {
    set_cell(run, {a, b, c, alpha, beta, gamma});
    run.gv.tol1 = sp(0.05f);
    run.gv.tol2 = sp(0.1f);
    run.gv.tol3 = sp(0.08f);
  }

  // Adds an atom at a Cartesian position; returns its row. `number` is its total
  // atom number (info column 1), by default the row itself.
  int add(const std::string& element, Xyz r, int number = 0) {
    const Vec3 f = frac(r);
    return add_frac(element, f(1), f(2), f(3), number);
  }
  int add_frac(const std::string& element, real x, real y, real z, int number = 0) {
    const int row = static_cast<int>(atoms_.size()) + 1;
    atoms_.push_back({element, element + std::to_string(row), x, y, z});
    numbers_.push_back(number == 0 ? row : number);
    return row;
  }
  // Fractional coordinates of a Cartesian position (mt is upper triangular).
  Vec3 frac(Xyz r) const {
    const auto& mt = run.geo.mt;
    Vec3 f;
    f(3) = static_cast<real>(r.z) / mt(3, 3);
    f(2) = (static_cast<real>(r.y) - mt(2, 3) * f(3)) / mt(2, 2);
    f(1) = ((static_cast<real>(r.x) - mt(1, 2) * f(2)) - mt(1, 3) * f(3)) / mt(1, 1);
    return f;
  }
  void ring(const std::vector<int>& numbers) { rings_.push_back(numbers); }

  // Fills the all-atom tables, the connectivity (covalent radii plus tol1) and
  // the ring tables as the input reader leaves them.
  void finish() {
    auto& gv = run.gv;
    auto& at = run.at;
    set_all_atoms(run, atoms_);
    for (int i = 1; i <= gv.nat; ++i)
      at.allinfo(i, total_atom) = at.allinfo(i, fragment_atom) = numbers_[static_cast<std::size_t>(i - 1)];
    bond_by_distance(run, [&](int i, int j, real d) {
      return d <= covalent_radius(at.allatns(i, 1)) + covalent_radius(at.allatns(j, 1)) + gv.tol1;
    });
    gv.nrings = static_cast<int>(rings_.size());
    if (gv.nrings > 0) run.kw.kring = 1;
    int widest = 1;
    for (const auto& r : rings_) widest = std::max(widest, static_cast<int>(r.size()));
    at.rings.allocate(std::max(gv.nrings, 1), 0);
    at.specrings.allocate(std::max(gv.nrings, 1), 0);
    at.ringatoms.allocate(std::max(gv.nrings, 1), widest, 0);
    for (int r = 1; r <= gv.nrings; ++r) {
      const auto& ring = rings_[static_cast<std::size_t>(r - 1)];
      at.rings(r) = static_cast<int>(ring.size());
      for (int c = 1; c <= at.rings(r); ++c) at.ringatoms(r, c) = ring[static_cast<std::size_t>(c - 1)];
    }
  }

  bool bonded(int i, int j) const { return run.at.allcont(i, j) == 1; }
  real distance(int i, int j) const { return calcdist(run, row3(run.at.allgeom, i), row3(run.at.allgeom, j)); }

 private:
  std::vector<AtomSpec> atoms_;
  std::vector<int> numbers_;
  std::vector<std::vector<int>> rings_;
};

// Standard geometry helpers (angstrom).
// Tetrahedral directions, the first pointing along +z.
inline std::vector<Xyz> tetrahedral() {
  const double s = std::sqrt(8.0) / 3.0, t = std::sqrt(2.0) / 3.0, u = std::sqrt(2.0 / 3.0);
  return {{0, 0, 1}, {s, 0, -1.0 / 3.0}, {-t, u, -1.0 / 3.0}, {-t, -u, -1.0 / 3.0}};
}
// Vertex k (0-based) of a regular n-gon of circumradius r in the plane through c
// spanned by the unit vectors e1 and e2.
inline Xyz polygon(Xyz c, double r, int n, int k, Xyz e1 = {1, 0, 0}, Xyz e2 = {0, 1, 0}) {
  const double phi = 2.0 * 3.14159265358979323846 * k / n;
  return c + (r * std::cos(phi)) * e1 + (r * std::sin(phi)) * e2;
}

// `count` unit directions at `angle` degrees from the axis, evenly turned around
// it from azimuth `phase` (degrees; azimuth 0 is perpendicular to the axis and
// to z, or to x when the axis lies along z).
inline std::vector<Xyz> umbrella(Xyz axis, double angle, int count, double phase = 0) {
  const double deg = 3.14159265358979323846 / 180.0;
  const Xyz a = unit(axis);
  Xyz ref = cross(a, Xyz{0, 0, 1});
  if (dot(ref, ref) < 1e-12) ref = cross(a, Xyz{1, 0, 0});
  const Xyz b = unit(ref), c = cross(a, b);
  std::vector<Xyz> d;
  for (int k = 0; k < count; ++k) {
    const double phi = (phase + 360.0 * k / count) * deg;
    d.push_back(std::cos(angle * deg) * a + std::sin(angle * deg) * (std::cos(phi) * b + std::sin(phi) * c));
  }
  return d;
}

}  // namespace orbicutter::testing
