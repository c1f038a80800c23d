// Small hand-made clusters for the writer and dimer tests, built from named
// fields. Cells have exact right angles in the matrices and coordinates are
// binary fractions, so every printed number can be worked out by hand in both
// precisions.
#pragma once

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "cluster/cluster_model.hpp"
#include "geometry/geometry.hpp"
#include "model/run.hpp"
#include "support/crystal.hpp"
#include "writers/view.hpp"

namespace orbicutter::testing {

// One cluster atom by its named fields; unnamed ones stay 0 (operation 1).
struct Placed {
  std::string element, label;
  int input_atom = 0, fragment_atom = 0, fragment = 0, operation = 1;
  std::array<int, 3> cell{};
  int molecule_atom = 0, copy = 0, number = 0;
  std::array<real, 3> position{};
  real charge = 0;
};

// A rectangular cell a x b x c with 90-degree angles as the reader stores them,
// and the matrices without the rounding residue of cos(90 degrees).
inline Geometry rectangular(real a, real b, real c) {
  Run run;
  set_cell_constants(run, {a, b, c, 90, 90, 90});
  Geometry geo = run.geo;
  geo.mt(1, 1) = a;
  geo.mt(2, 2) = b;
  geo.mt(3, 3) = c;
  geo.g(1, 1) = a * a;
  geo.g(2, 2) = b * b;
  geo.g(3, 3) = c * c;
  return geo;
}

inline Vec3 vec(real x, real y, real z) {
  Vec3 v;
  v(1) = x;
  v(2) = y;
  v(3) = z;
  return v;
}

// A cluster of `atoms` around the fractional `centre` of the cell `geo`: the
// first `central` atoms are the central molecule, molecules start where the
// pair (fragment, copy) changes, and `bonds` lists each atom's partners.
inline ClusterModel cluster_of(const Geometry& geo, const Vec3& centre, const std::vector<Placed>& atoms, int central,
                               const std::vector<std::vector<int>>& bonds = {}) {
  ClusterModel m;
  m.central_atoms = central;
  m.centre = centre;
  m.centre_cartesian = cartesian(geo.mt, centre);
  for (const Placed& p : atoms) {
    ClusterAtom a;
    a.element = text3(p.element);
    a.label = text3(p.label);
    a.input_atom = p.input_atom;
    a.fragment_atom = p.fragment_atom;
    a.fragment = p.fragment;
    a.operation = p.operation;
    for (int k = 0; k < 3; ++k) a.cell[k] = p.cell[static_cast<std::size_t>(k)];
    a.molecule_atom = p.molecule_atom;
    a.copy = p.copy;
    a.number = p.number;
    a.position = vec(p.position[0], p.position[1], p.position[2]);
    a.charge = p.charge;
    m.atoms.push_back(a);
    if (starts_molecule(m.atoms, m.size())) m.molecule_first.push_back(m.size());
  }
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    if (i < bonds.size())
      for (int b : bonds[i]) m.bonds.add(b);
    m.bonds.end_row();
  }
  return m;
}

// The writers' other input for a cluster: the cell and the system name "mol".
inline WriterInput input_for(const ClusterModel& cluster, const Geometry& geo) {
  return WriterInput{.cluster = cluster, .cell = geo, .system_name = "mol"};
}

// The writers' cluster: a two-atom central molecule (C1, O1), the one-atom stored
// copy of fragment 2 (H1) and a copy of fragment 1 by operator 2 and the cell
// translation (1, 0, -1). Cell 10 x 12 x 8, centre (0.125, 0.25, 0.5), so the
// Cartesian positions are (1.25, 0, 0), (0, 1.5, 0), (3.75, 3, 2), (6.25, 0, -2)
// and (5, -1.5, -2). Charges -0.25 (C), 0.5 (O) and 0 (H); dmax 8.
inline Geometry writer_cell() {
  Geometry geo = rectangular(10, 12, 8);
  geo.dmax = 8;
  return geo;
}
inline ClusterModel writer_cluster() {
  const real q = sp(-0.25f), h = sp(0.5f);
  return cluster_of(
      writer_cell(), vec(sp(0.125f), sp(0.25f), sp(0.5f)),
      {{.element = "C", .label = "C1", .input_atom = 1, .fragment_atom = 1, .fragment = 1, .molecule_atom = 1,
        .number = 1, .position = {sp(0.25f), sp(0.25f), sp(0.5f)}, .charge = q},
       {.element = "O", .label = "O1", .input_atom = 2, .fragment_atom = 2, .fragment = 1, .molecule_atom = 2,
        .number = 2, .position = {sp(0.125f), sp(0.375f), sp(0.5f)}, .charge = h},
       {.element = "H", .label = "H1", .input_atom = 3, .fragment_atom = 1, .fragment = 2, .molecule_atom = 3,
        .number = 3, .position = {sp(0.5f), sp(0.5f), sp(0.75f)}},
       {.element = "C", .label = "C1", .input_atom = 1, .fragment_atom = 1, .fragment = 1, .operation = 2,
        .cell = {1, 0, -1}, .molecule_atom = 1, .copy = 1, .number = 4, .position = {sp(0.75f), sp(0.25f), sp(0.25f)},
        .charge = q},
       {.element = "O", .label = "O1", .input_atom = 2, .fragment_atom = 2, .fragment = 1, .operation = 2,
        .cell = {1, 0, -1}, .molecule_atom = 2, .copy = 1, .number = 5, .position = {sp(0.625f), sp(0.125f), sp(0.25f)},
        .charge = h}},
      2, {{2}, {1, 5}, {}, {5}, {4}});
}

// Runs one writer on a writer input into a string.
template <class Writer>
std::string written(const WriterInput& in, Writer writer) {
  std::ostringstream os;
  Unit unit = Unit::memory(os);
  writer(in, unit);
  return os.str();
}

}  // namespace orbicutter::testing
