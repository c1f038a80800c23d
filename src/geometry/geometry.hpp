// Cell metric, orthogonalisation, distances and the crystal-system name.
#pragma once

#include <string>
#include <vector>

#include "format/unit.hpp"
#include "model/run.hpp"

namespace orbicutter {

// The crystal system the cell's edges and angles name ("monoclinic"); empty when no rule applies.
std::string crystal_system(const Geometry& geo);
// An atom and its copy one cell along an edge are an edge apart: an edge shorter
// than any bond (H-H, the shortest, is 0.74 A) is a mistyped cell, and the copies
// searched through it would run into billions.
inline constexpr real min_cell_edge = sp(0.5f);
// The READINP box naming the first edge shorter than min_cell_edge.
void check_cell_edges(const Run& run);
// Orthogonalisation matrix and metric tensor of a cell (angles in radians).
Mat3 orthogonalisation(const Geometry& geo);
Mat3 metric_tensor(const Geometry& geo);
// The MATRICES section of the log: the matrices mt and g of geo.
void write_matrices(Unit& log, const Geometry& geo);

// Distance in angstrom between two fractional positions, through the metric tensor.
real calcdist(const Mat3& g, const Vec3& p, const Vec3& q);
inline real calcdist(const Run& run, const Vec3& p, const Vec3& q) { return calcdist(run.geo.g, p, q); }

// Root of the summed squared differences, first index fastest.
real matdist(const Mat3& a, const Mat3& b);
real matdist(const Vec3& a, const Vec3& b);

// Cartesian vector mt * v.
Vec3 cartesian(const Mat3& mt, const Vec3& v);
// The Cartesian position of fractional f relative to the fractional centre.
Vec3 centred_cartesian(const Mat3& mt, const Vec3& centre, const Vec3& f);
// Cartesian length sqrt((r1*r1 + r2*r2) + r3*r3).
real cartesian_length(const Vec3& r);

// Symmetry image of f under operator s plus the cell translation u.
Vec3 image(const Geometry& geo, int s, const Vec3& f, const Vec3& u);
inline Vec3 image(const Run& run, int s, const Vec3& f, const Vec3& u) { return image(run.geo, s, f, u); }
// The same in two steps, bit for bit: the image before translation, then the translation added.
Vec3 image_base(const Geometry& geo, int s, const Vec3& f);
inline Vec3 image_base(const Run& run, int s, const Vec3& f) { return image_base(run.geo, s, f); }
inline Vec3 translated(const Vec3& q, const Vec3& u) {
  Vec3 x;
  x(1) = q(1) + u(1); x(2) = q(2) + u(2); x(3) = q(3) + u(3);
  return x;
}

// A whole-cell translation (tx, ty, tz) as a vector.
inline Vec3 lattice_translation(int tx, int ty, int tz) {
  Vec3 u;
  u(1) = static_cast<real>(tx);
  u(2) = static_cast<real>(ty);
  u(3) = static_cast<real>(tz);
  return u;
}

// Row i of a coordinate table as a vector.
inline Vec3 row3(const Table<real>& t, int i) {
  Vec3 v;
  v(1) = t(i, 1); v(2) = t(i, 2); v(3) = t(i, 3);
  return v;
}
inline void set_row3(Table<real>& t, int i, const Vec3& v) {
  t(i, 1) = v(1); t(i, 2) = v(2); t(i, 3) = v(3);
}

// An input atom that an operator other than the first maps onto itself.
struct SpecialPosition {
  int atom = 0;       // row of the input tables
  int operation = 0;  // the operator
};
// Grouped by operator, atoms in input order; no lattice translation is tried,
// so an atom mapped onto a neighbouring cell's copy of itself is not reported.
std::vector<SpecialPosition> special_positions(const Geometry& geo, int operators, const Table<real>& positions,
                                               int atoms);
// The SPECIAL POSITIONS section of the log, naming the atoms from the input tables.
void write_special_positions(Unit& log, const std::vector<SpecialPosition>& found, const Table<std::string>& names,
                             const Table<int>& info);

}  // namespace orbicutter
