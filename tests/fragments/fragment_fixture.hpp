// Crystals for the fragment tests, filled by hand or read from input text, and
// the literal restart-scan searches that the fast ones must reproduce.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fragments/fragment_internals.hpp"
#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"
#include "input/input.hpp"
#include "model/run.hpp"
#include "pipeline/pipeline.hpp"
#include "support/crystal.hpp"

namespace orbicutter::fragtest {

using testing::Cell;
using testing::translation;
using Atom = testing::AtomSpec;

// A label such as C12 (built by appending: GCC 12 warns falsely on "C" + std::to_string(12)).
inline std::string label(const std::string& prefix, int n) {
  std::string s = prefix;
  s += std::to_string(n);
  return s;
}

// A crystal as the fragment search receives it.
class Crystal : public testing::MemoryRun {
 public:
  Crystal(const Cell& cell, const std::vector<std::string>& ops, const std::vector<Atom>& atoms, bool charged = false) {
    testing::set_cell(run, cell);
    testing::set_operators(run, ops);
    run.gv.ncells = 2;
    run.gv.tol1 = sp(0.05f);
    run.kw.kcharge = charged ? 1 : 0;
    set_atoms(atoms);
  }

  // The state the reader leaves for a whole input file, without its report.
  explicit Crystal(const std::string& input) {
    run.sink.log = Unit{};
    run.sink.out = Unit{};
    readinp(run, input);
    attach();
    run.geo.mt = orthogonalisation(run.geo);
    run.geo.g = metric_tensor(run.geo);
  }

  void set_atoms(const std::vector<Atom>& atoms) {
    auto& at = run.at;
    const int nat = static_cast<int>(atoms.size());
    run.gv.nat = nat;
    at.fatns.allocate(nat, 2, "   ");
    at.finfo.allocate(nat, input_info_columns, 0);
    at.fgeom.allocate(nat, 3, 0);
    if (run.kw.kcharge == 1) at.fcharge.allocate(nat, 0);
    int nfrag = 0;
    for (const auto& a : atoms) nfrag = std::max(nfrag, a.frag);
    run.gv.nfrag = nfrag;
    at.frag.allocate(nfrag, 2, 0);
    for (int f = 1; f <= nfrag; ++f) at.frag(f, frag_id) = f;
    for (int i = 1; i <= nat; ++i) {
      const auto& a = atoms[static_cast<std::size_t>(i - 1)];
      at.fatns(i, 1) = text3(a.element);
      at.fatns(i, 2) = text3(a.label);
      at.finfo(i, total_atom) = i;
      at.finfo(i, fragment_atom) = ++at.frag(a.frag, frag_size);
      at.finfo(i, fragment_number) = a.frag;
      at.fgeom(i, 1) = static_cast<real>(a.x);
      at.fgeom(i, 2) = static_cast<real>(a.y);
      at.fgeom(i, 3) = static_cast<real>(a.z);
      if (run.kw.kcharge == 1) at.fcharge(i) = static_cast<real>(a.charge);
    }
  }

  void exclude(const std::vector<std::pair<std::string, std::string>>& pairs) {
    run.kw.kexbd = 1;
    run.gv.nex = static_cast<int>(pairs.size());
    run.gv.aex.allocate(run.gv.nex, 2, "   ");
    for (int e = 1; e <= run.gv.nex; ++e) {
      run.gv.aex(e, 1) = text3(pairs[static_cast<std::size_t>(e - 1)].first);
      run.gv.aex(e, 2) = text3(pairs[static_cast<std::size_t>(e - 1)].second);
    }
  }
};

inline bool excluded_literal(const Run& run, const std::string& e1, const std::string& e2) {
  if (run.kw.kexbd != 1) return false;
  for (int e = 1; e <= run.gv.nex; ++e)
    if ((e1 == run.gv.aex(e, 1) && e2 == run.gv.aex(e, 2)) || (e1 == run.gv.aex(e, 2) && e2 == run.gv.aex(e, 1)))
      return true;
  return false;
}

// The bond test as written: distance, threshold, an excluded pair pushed past it.
// Radii come from the element table (looked up once per atom by the callers).
inline bool bond_literal(const Run& run, const Vec3& p, const std::string& e1, real r1, const Vec3& q,
                         const std::string& e2, real r2) {
  real d = calcdist(run, p, q);
  const real threshold = r1 + r2 + run.gv.tol1;
  if (excluded_literal(run, e1, e2) && !(d > threshold)) d = threshold + 1;
  return d <= threshold;
}

// The fragment search exactly as described: the scan restarts from the first
// collected atom after every addition. Cubic in the atom count.
inline FragmentOrder literal_fragment_order(const Run& run) {
  const int nat = run.gv.nat;
  const auto& at = run.at;
  FragmentOrder order;
  if (nat <= 0) return order;
  // Every translation at which a bonded image can lie: the cells that the
  // atoms and their images span, plus the longest bond.
  std::vector<Vec3> bases, targets;
  real longest = 0;
  for (int m = 1; m <= nat; ++m) {
    targets.push_back(row3(at.fgeom, m));
    longest = std::max(longest, covalent_radius(at.fatns(m, 1)));
    for (int s = 1; s <= run.gv.nsym; ++s) bases.push_back(image(run, s, row3(at.fgeom, m), translation(0, 0, 0)));
  }
  const int nc = cells_to_reach(run.geo.g, (longest + longest) + run.gv.tol1, bases, targets, run.gv.ncells);
  std::vector<int> mark(static_cast<std::size_t>(nat) + 1, 0);
  std::vector<real> radius(static_cast<std::size_t>(nat) + 1, 0);
  for (int i = 1; i <= nat; ++i) radius[static_cast<std::size_t>(i)] = covalent_radius(at.fatns(i, 1));
  std::vector<int> rows{1};
  mark[1] = 1;
  int f = 1;
  for (;;) {
    bool added = false;
    for (std::size_t k = 0; k < rows.size() && !added; ++k) {
      const int j = rows[k];
      if (mark[static_cast<std::size_t>(j)] != f) continue;
      for (int m = 1; m <= nat && !added; ++m) {
        if (mark[static_cast<std::size_t>(m)] != 0) continue;
        for (int s = 1; s <= run.gv.nsym && !added; ++s)
          for (int tx = -nc; tx <= nc && !added; ++tx)
            for (int ty = -nc; ty <= nc && !added; ++ty)
              for (int tz = -nc; tz <= nc && !added; ++tz) {
                const Vec3 p = image(run, s, row3(at.fgeom, m), translation(tx, ty, tz));
                if (bond_literal(run, row3(at.fgeom, j), at.fatns(j, 1), radius[static_cast<std::size_t>(j)], p,
                                 at.fatns(m, 1), radius[static_cast<std::size_t>(m)])) {
                  mark[static_cast<std::size_t>(m)] = f;
                  rows.push_back(m);
                  added = true;
                }
              }
      }
    }
    if (added) continue;
    int seed = 0;
    for (int m = 1; m <= nat && seed == 0; ++m)
      if (mark[static_cast<std::size_t>(m)] == 0) seed = m;
    if (seed == 0) break;
    mark[static_cast<std::size_t>(seed)] = ++f;
    rows.push_back(seed);
  }
  order.atom = rows;
  for (int a : rows) order.fragment.push_back(mark[static_cast<std::size_t>(a)]);
  order.nfrag = f;
  return order;
}

// Completion exactly as described, up to `max_additions` additions.
inline std::vector<Addition> literal_completion(const Run& run, std::vector<Vec3> pos, std::vector<std::string> el,
                                                std::size_t max_additions) {
  const int nc = run.gv.ncells;
  std::vector<real> radius;
  for (const auto& e : el) radius.push_back(covalent_radius(e));
  std::vector<Addition> out;
  for (;;) {
    bool added = false;
    const int n = static_cast<int>(pos.size());
    for (int k = 1; k <= n && !added; ++k) {
      const auto kk = static_cast<std::size_t>(k - 1);
      for (int s = 1; s <= run.gv.nsym && !added; ++s) {
        bool cut = false;
        for (int tz = -nc; tz <= nc && !added && !cut; ++tz)
          for (int ty = -nc; ty <= nc && !added && !cut; ++ty)
            for (int tx = -nc; tx <= nc && !added && !cut; ++tx) {
              const Vec3 p = image(run, s, pos[kk], translation(tx, ty, tz));
              if (calcdist(run, p, pos[kk]) < tiny) continue;
              for (int i = 1; i <= n && !cut; ++i)
                if (calcdist(run, p, pos[static_cast<std::size_t>(i - 1)]) < tiny) cut = true;
              if (cut) break;
              for (int m = 1; m <= n; ++m) {
                const auto mm = static_cast<std::size_t>(m - 1);
                if (!bond_literal(run, p, el[kk], radius[kk], pos[mm], el[mm], radius[mm])) continue;
                Addition a;
                a.k = k;
                a.s = s;
                a.t[0] = tx;
                a.t[1] = ty;
                a.t[2] = tz;
                a.p = p;
                a.m = m;
                a.distance = calcdist(run, p, pos[mm]);
                a.threshold = radius[kk] + radius[mm] + run.gv.tol1;
                out.push_back(a);
                pos.push_back(p);
                el.push_back(el[kk]);
                radius.push_back(radius[kk]);
                added = true;
                break;
              }
            }
      }
    }
    if (!added || out.size() >= max_additions) return out;
  }
}

}  // namespace orbicutter::fragtest
