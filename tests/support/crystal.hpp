// Runs filled by hand for tests of single phases: log and standard output in
// memory, the cell, operators in text form, atoms and bonds by distance.
#pragma once

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/geometry.hpp"
#include "input/input.hpp"
#include "model/run.hpp"

namespace orbicutter::testing {

// A run with its log and standard output kept in memory. Not copyable or
// movable: the units point into it.
class MemoryRun {
 public:
  std::ostringstream log, out;
  Run run;

  MemoryRun() { attach(); }
  MemoryRun(const MemoryRun&) = delete;
  MemoryRun& operator=(const MemoryRun&) = delete;

  std::string log_text() const { return log.str(); }
  std::string out_text() const { return out.str(); }

 protected:
  void attach() {
    run.sink.log = Unit::memory(log);
    run.sink.out = Unit::memory(out);
  }
};

// Cell lengths in angstrom, angles in degrees.
struct Cell {
  double a, b, c, alpha, beta, gamma;
};

// The cell constants as the reader stores them: angles in radians.
inline void set_cell_constants(Run& run, const Cell& cell) {
  auto& geo = run.geo;
  geo.a = static_cast<real>(cell.a);
  geo.b = static_cast<real>(cell.b);
  geo.c = static_cast<real>(cell.c);
  geo.alpha = static_cast<real>(cell.alpha) * degree;
  geo.beta = static_cast<real>(cell.beta) * degree;
  geo.gamma = static_cast<real>(cell.gamma) * degree;
}

// The cell constants with their orthogonalisation matrix and metric tensor.
inline void set_cell(Run& run, const Cell& cell) {
  set_cell_constants(run, cell);
  run.geo.mt = orthogonalisation(run.geo);
  run.geo.g = metric_tensor(run.geo);
}

// Operators in text form, "-x+1/2, y, -z+1/2", read as the input file's are.
inline void set_operators(Run& run, const std::vector<std::string>& ops) {
  auto& geo = run.geo;
  run.gv.nsym = static_cast<int>(ops.size());
  geo.rot.allocate(run.gv.nsym, 3, 3, 0);
  geo.trans.allocate(run.gv.nsym, 3, 0);
  for (int s = 1; s <= run.gv.nsym; ++s) {
    Mat3 r;
    Vec3 t;
    readsymmop(ops[static_cast<std::size_t>(s - 1)], r, t);
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) geo.rot(s, i, j) = r(i, j);
      geo.trans(s, i) = t(i);
    }
  }
}

inline Vec3 translation(int tx, int ty, int tz) { return lattice_translation(tx, ty, tz); }

// One atom at a fractional position.
struct AtomSpec {
  std::string element, label;
  double x, y, z;
  int frag = 1;
  double charge = 0;
};

// The all-atom tables, the fragment table and the charges as the fragment phases
// leave them: atoms in the order given, numbered within their fragments, all
// under operation 1 without translation.
inline void set_all_atoms(Run& run, const std::vector<AtomSpec>& atoms) {
  auto& gv = run.gv;
  auto& at = run.at;
  const int nat = static_cast<int>(atoms.size());
  gv.nat = nat;
  gv.nfrag = 0;
  for (const auto& a : atoms) gv.nfrag = std::max(gv.nfrag, a.frag);
  at.frag.allocate(gv.nfrag, 2, 0);
  for (int f = 1; f <= gv.nfrag; ++f) at.frag(f, frag_id) = f;
  at.allatns.allocate(nat, 2);
  at.allinfo.allocate(nat, all_info_columns, 0);
  at.allgeom.allocate(nat, 3);
  at.fcharge.allocate(nat);
  for (int i = 1; i <= nat; ++i) {
    const auto& a = atoms[static_cast<std::size_t>(i - 1)];
    at.allatns(i, 1) = text3(a.element);
    at.allatns(i, 2) = text3(a.label);
    at.allinfo(i, total_atom) = i;
    at.allinfo(i, fragment_atom) = ++at.frag(a.frag, frag_size);
    at.allinfo(i, fragment_number) = a.frag;
    at.allinfo(i, symmetry_operation) = 1;
    at.allinfo(i, molecule_atom) = i;
    at.allgeom(i, 1) = static_cast<real>(a.x);
    at.allgeom(i, 2) = static_cast<real>(a.y);
    at.allgeom(i, 3) = static_cast<real>(a.z);
    at.fcharge(i) = static_cast<real>(a.charge);
  }
}

// Connectivity matrix and bond lists (ascending, then zeros) of the all-atom
// tables for the pairs `bonded` accepts at their distance.
inline void bond_by_distance(Run& run, const std::function<bool(int i, int j, real d)>& bonded) {
  auto& at = run.at;
  const int nat = run.gv.nat;
  at.allcont.allocate(nat, nat, 0);
  for (int i = 1; i <= nat; ++i)
    for (int j = 1; j < i; ++j)
      if (bonded(i, j, calcdist(run, row3(at.allgeom, i), row3(at.allgeom, j))))
        at.allcont(i, j) = at.allcont(j, i) = 1;
  at.allbonds.allocate(nat, nat, 0);
  for (int i = 1; i <= nat; ++i) {
    int k = 0;
    for (int j = 1; j <= nat; ++j)
      if (at.allcont(j, i) == 1) at.allbonds(i, ++k) = j;
  }
}

}  // namespace orbicutter::testing
