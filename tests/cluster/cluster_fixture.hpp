// Crystals filled by hand for the cluster tests and benchmarks, and the literal
// brute-force building that the fast one must reproduce.
#pragma once

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cluster/assemble.hpp"
#include "cluster/centre.hpp"
#include "geometry/geometry.hpp"
#include "model/run.hpp"
#include "support/crystal.hpp"

namespace orbicutter::testing {

// A crystal with whole molecules, as the cluster phase receives it. Bonds by
// plain distance rules within each fragment.
struct Crystal : MemoryRun {
  Crystal(double a, double b, double c, double alpha, double beta, double gamma, const std::vector<std::string>& ops,
          const std::vector<AtomSpec>& atoms, double dmax) {
    set_cell(run, {a, b, c, alpha, beta, gamma});
    run.geo.dmax = static_cast<real>(dmax);
    set_operators(run, ops);
    set_atoms(atoms);
  }

  void set_atoms(const std::vector<AtomSpec>& atoms) {
    set_all_atoms(run, atoms);
    const auto& at = run.at;
    bond_by_distance(run, [&at](int i, int j, real d) {
      const bool h = trim(at.allatns(i, 1)) == "H" || trim(at.allatns(j, 1)) == "H";
      return at.allinfo(i, fragment_number) == at.allinfo(j, fragment_number) && d < (h ? sp(1.25f) : sp(1.75f));
    });
  }
};

// A crystal from a simple keyword file (CELL, SYMM n 0 with text operators, NFRG
// with MOL blocks of element, label, x, y, z, DMAX, CLUS, VERB): enough for the
// benchmark inputs, which hold whole molecules already.
inline std::unique_ptr<Crystal> load_simple_input(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  double cell[6] = {0, 0, 0, 90, 90, 90}, dmax = 0;
  int clus = 1, verb = 0;
  std::vector<std::string> ops;
  std::vector<AtomSpec> atoms;
  std::string line;
  int frag = 0;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string key;
    if (!(ls >> key) || key[0] == '!') continue;
    if (key == "CELL") {
      for (double& v : cell) ls >> v;
    } else if (key == "SYMM") {
      int n = 0;
      ls >> n;
      for (int s = 0; s < n && std::getline(in, line); ++s) ops.push_back(line);
    } else if (key == "NFRG") {
    } else if (key == "MOL") {
      ls >> frag;
    } else if (key == "DMAX") {
      ls >> dmax;
    } else if (key == "CLUS") {
      ls >> clus;
    } else if (key == "VERB") {
      ls >> verb;
    } else if (frag > 0) {
      AtomSpec a;
      a.element = key;
      a.frag = frag;
      ls >> a.label >> a.x >> a.y >> a.z;
      atoms.push_back(a);
    }
  }
  auto c = std::make_unique<Crystal>(cell[0], cell[1], cell[2], cell[3], cell[4], cell[5], ops, atoms, dmax);
  c->run.kw.kbuild = clus;
  c->run.kw.kver = verb;
  return c;
}

// What the cluster phase does before it builds: centre, central radius, ncells.
inline real prepare_building(Run& run) {
  run.geo.geomcent = cluster_centre(run);
  const real radius = run.kw.kbuild >= 2 ? central_radius(run) : real(0);
  run.gv.ncells = static_cast<int>(std::lround(run.geo.dmax / std::min({run.geo.a, run.geo.b, run.geo.c}))) + 2;
  return radius;
}

// The building as the crystallographic procedure states it: every atom of every
// copy against every atom of the cluster, and the bonds by a full scan, in
// tables of ten columns (the cluster fragment and atom numbers last).
inline constexpr int copy_column = 9, number_column = 10, literal_columns = 10;
inline ClusterModel literal_assemble(Run& run, real radius) {
  auto& gv = run.gv;
  auto& at = run.at;
  auto& geo = run.geo;
  const int nat = gv.nat;
  const int n1 = at.frag(1, frag_size);
  const int kbuild = run.kw.kbuild;
  Table<Name3> catns(n1, 2);
  Table<int> cinfo(n1, literal_columns);
  Table<real> cgeom(n1, 3);
  for (int i = 1; i <= n1; ++i) {
    for (int c = 1; c <= 2; ++c) catns(i, c) = at.allatns(i, c);
    for (int c = total_atom; c <= molecule_atom; ++c) cinfo(i, c) = at.allinfo(i, c);
    // The whole central molecule carries the operation and translation of its first atom.
    for (int c = symmetry_operation; c <= translation_c; ++c) cinfo(i, c) = at.allinfo(1, c);
    for (int c = 1; c <= 3; ++c) cgeom(i, c) = at.allgeom(i, c);
  }
  int ncluster = n1;
  auto append = [&](const Table<std::string>& ma, const Table<int>& mi, const std::vector<Vec3>& p) {
    const int n = static_cast<int>(p.size());
    catns.resize_rows(ncluster + n);
    cinfo.resize_rows(ncluster + n);
    cgeom.resize_rows(ncluster + n);
    for (int k = 1; k <= n; ++k) {
      const int i = ncluster + k;
      for (int c = 1; c <= 2; ++c) catns(i, c) = ma(k, c);
      for (int c = total_atom; c <= molecule_atom; ++c) cinfo(i, c) = mi(k, c);
      set_row3(cgeom, i, p[static_cast<std::size_t>(k - 1)]);
    }
    ncluster += n;
    return ncluster - n + 1;
  };
  auto dmol_for = [&](Vec3 centre) -> real {
    if (kbuild == 2) return radius;
    if (kbuild != 3) return 0;
    int best = 1;
    for (int m = 2; m <= n1; ++m)
      if (calcdist(run, centre, row3(cgeom, m)) < calcdist(run, centre, row3(cgeom, best))) best = m;
    Vec3 v;
    for (int k = 1; k <= 3; ++k) v(k) = geo.geomcent(k) - cgeom(best, k);
    return cartesian_length(cartesian(geo.mt, v));
  };
  for (int f = 1; f <= gv.nfrag; ++f) {
    Table<std::string> ma(0, 2);
    Table<int> mi(0, all_info_columns);
    std::vector<Vec3> mg;
    Vec3 sum;
    for (int i = 1; i <= nat; ++i) {
      if (at.allinfo(i, fragment_number) != f) continue;
      const int k = ma.rows() + 1;
      ma.resize_rows(k);
      mi.resize_rows(k);
      for (int c = 1; c <= 2; ++c) ma(k, c) = at.allatns(i, c);
      for (int c = total_atom; c <= molecule_atom; ++c) mi(k, c) = at.allinfo(i, c);
      mg.push_back(row3(at.allgeom, i));
      for (int c = 1; c <= 3; ++c) sum(c) += at.allgeom(i, c);
    }
    Vec3 centre;
    for (int c = 1; c <= 3; ++c) centre(c) = sum(c) / static_cast<real>(mg.size());
    auto nearest = [&](const std::vector<Vec3>& p) {
      real dmin = std::numeric_limits<real>::max();
      for (const auto& q : p) dmin = std::min(dmin, calcdist(run, q, geo.geomcent));
      return dmin;
    };
    int counter = 0;
    if (f > 1) {
      const real dmin = nearest(mg);
      if (geo.dmax + dmol_for(centre) > dmin) {
        const int first = append(ma, mi, mg);
        for (int i = first; i <= ncluster; ++i) {
          for (int c = symmetry_operation; c <= translation_c; ++c) cinfo(i, c) = at.allinfo(1, c);
          cinfo(i, copy_column) = 0;
        }
      } else {
        counter = 1;
      }
    }
    const int nc = gv.ncells;
    for (int s = 1; s <= gv.nsym; ++s)
      for (int tz = -nc; tz <= nc; ++tz)
        for (int ty = -nc; ty <= nc; ++ty)
          for (int tx = -nc; tx <= nc; ++tx) {
            const Vec3 u = translation(tx, ty, tz);
            std::vector<Vec3> p;
            for (const auto& q : mg) p.push_back(image(run, s, q, u));
            bool coincident = false;
            for (std::size_t k = 0; k < p.size() && !coincident; ++k)
              for (int i = 1; i <= ncluster; ++i)
                if (calcdist(run, p[k], row3(cgeom, i)) < tiny) {
                  coincident = true;
                  break;
                }
            if (coincident) continue;
            const real dmin = nearest(p);
            if (geo.dmax + dmol_for(image(run, s, centre, u)) > dmin) {
              ++counter;
              const int first = append(ma, mi, p);
              for (int i = first; i <= ncluster; ++i) {
                cinfo(i, symmetry_operation) = s;
                cinfo(i, translation_a) = tx;
                cinfo(i, translation_b) = ty;
                cinfo(i, translation_c) = tz;
                cinfo(i, copy_column) = counter;
              }
            }
          }
  }
  for (int i = 1; i <= ncluster; ++i) cinfo(i, number_column) = i;
  Table<int> cbonds(ncluster, nat, 0);
  for (int i = 1; i <= ncluster; ++i)
    for (int j = 1; j <= nat; ++j) {
      cbonds(i, j) = at.allbonds(cinfo(i, molecule_atom), j);
      const int v = cbonds(i, j);
      for (int k = 1; k <= ncluster; ++k)
        if (v != 0 && cinfo(k, molecule_atom) == v && cinfo(k, copy_column) == cinfo(i, copy_column))
          cbonds(i, j) = cinfo(k, number_column);
    }
  // The program keeps each row's nonzero entries as a list.
  BondLists lists;
  for (int i = 1; i <= ncluster; ++i) {
    for (int j = 1; j <= nat; ++j)
      if (cbonds(i, j) != 0) lists.add(cbonds(i, j));
    lists.end_row();
  }
  ClusterModel model;
  for (int i = 1; i <= ncluster; ++i) {
    ClusterAtom a;
    a.element = catns(i, 1);
    a.label = catns(i, 2);
    a.input_atom = cinfo(i, total_atom);
    a.fragment_atom = cinfo(i, fragment_atom);
    a.fragment = cinfo(i, fragment_number);
    a.operation = cinfo(i, symmetry_operation);
    a.cell[0] = cinfo(i, translation_a);
    a.cell[1] = cinfo(i, translation_b);
    a.cell[2] = cinfo(i, translation_c);
    a.molecule_atom = cinfo(i, molecule_atom);
    a.copy = cinfo(i, copy_column);
    a.number = cinfo(i, number_column);
    a.position = row3(cgeom, i);
    model.atoms.push_back(a);
    if (i == 1 || cinfo(i, fragment_number) != cinfo(i - 1, fragment_number) ||
        cinfo(i, copy_column) != cinfo(i - 1, copy_column))
      model.molecule_first.push_back(i);
  }
  model.bonds = std::move(lists);
  return model;
}

}  // namespace orbicutter::testing
