// The cluster builder: every symmetry copy of every molecule that reaches within
// dmax of the centre, each molecule once.
#include "cluster/assemble.hpp"

#include <algorithm>
#include <limits>

#include "cluster/centre.hpp"
#include "cluster/cluster_bonds.hpp"
#include "geometry/geometry.hpp"
#include "geometry/spatial_index.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

int central_count(const Run& run) {
  return run.gv.nfrag >= 1 && run.at.frag.rows() >= 1 ? std::clamp(run.at.frag(1, frag_size), 0, run.gv.nat) : 0;
}

// Atom i of the whole molecules as a cluster atom, before its place in the cluster is known.
ClusterAtom whole_molecule_atom(const Run& run, int i) {
  const auto& at = run.at;
  ClusterAtom a;
  a.element = at.allatns(i, 1);
  a.label = at.allatns(i, 2);
  a.input_atom = at.allinfo(i, total_atom);
  a.fragment_atom = at.allinfo(i, fragment_atom);
  a.fragment = at.allinfo(i, fragment_number);
  a.operation = at.allinfo(i, symmetry_operation);
  a.cell[0] = at.allinfo(i, translation_a);
  a.cell[1] = at.allinfo(i, translation_b);
  a.cell[2] = at.allinfo(i, translation_c);
  a.molecule_atom = at.allinfo(i, molecule_atom);
  a.position = row3(at.allgeom, i);
  return a;
}

// Everything one building pass needs at hand.
struct Builder {
  const Run& run;
  const Mat3& g;
  const Vec3& centre;
  const int nat;
  const int ncentral;
  const int kbuild;
  const int cells;
  const int max_rows;
  std::vector<ClusterAtom>& atoms;
  SpatialIndex index;
  std::vector<real> reach;  // method 3: distance from the centre to each central atom
  // The operation and translation of the first central atom, which the whole
  // central molecule and the stored copies carry.
  int central_operation = 0;
  int central_cell[3] = {0, 0, 0};

  Builder(const Run& r, std::vector<ClusterAtom>& out, int ncells, int limit)
      : run(r), g(r.geo.g), centre(r.geo.geomcent), nat(r.gv.nat), ncentral(central_count(r)), kbuild(r.kw.kbuild),
        cells(ncells), max_rows(limit), atoms(out), index(r.geo.g) {
    if (nat >= 1) {
      central_operation = r.at.allinfo(1, symmetry_operation);
      central_cell[0] = r.at.allinfo(1, translation_a);
      central_cell[1] = r.at.allinfo(1, translation_b);
      central_cell[2] = r.at.allinfo(1, translation_c);
    }
  }

  // Room for the expected cluster, taken at once: the atoms never copy themselves
  // on the way, and pages not reached are never touched.
  void reserve(double expected) {
    double rows = 1.25 * expected + 1024.0;
    if (!(rows < max_rows)) rows = max_rows;
    if (!(rows > 1024.0)) rows = 1024.0;
    const int n = std::max(ncentral, static_cast<int>(rows));
    atoms.reserve(static_cast<std::size_t>(n));
    index.reserve(n);
  }

  const Vec3& position(int r) const { return atoms[static_cast<std::size_t>(r - 1)].position; }

  // Method 3: the reach towards a candidate whose centre is at `c`: the
  // distance from the cluster centre to the central atom nearest that centre.
  real shape_reach(const Vec3& c) const {
    if (ncentral == 0) return 0;
    int best = 1;
    real dbest = calcdist(g, c, position(1));
    for (int m = 2; m <= ncentral; ++m) {
      const real d = calcdist(g, c, position(m));
      if (d < dbest) { dbest = d; best = m; }
    }
    return reach[static_cast<std::size_t>(best - 1)];
  }

  void take_central_place(ClusterAtom& a) const {
    a.operation = central_operation;
    for (int k = 0; k < 3; ++k) a.cell[k] = central_cell[k];
  }

  // Appends the molecule `mol` with positions `pos`; returns its first atom.
  int append(const std::vector<ClusterAtom>& mol, const std::vector<Vec3>& pos) {
    const int first = static_cast<int>(atoms.size()) + 1;
    const int n = static_cast<int>(pos.size());
    if (first - 1 + n > max_rows) fail({" --> Cluster too large: reduce DMAX <--"});
    for (int k = 0; k < n; ++k) {
      atoms.push_back(mol[static_cast<std::size_t>(k)]);
      atoms.back().position = pos[static_cast<std::size_t>(k)];
      index.insert(first + k, pos[static_cast<std::size_t>(k)]);
    }
    return first;
  }

  void central_molecule(double expected) {
    atoms.clear();
    reserve(expected);
    for (int i = 1; i <= ncentral; ++i) {
      ClusterAtom a = whole_molecule_atom(run, i);
      take_central_place(a);
      atoms.push_back(a);
      index.insert(i, a.position);
    }
    if (kbuild == 3) {
      reach.resize(static_cast<std::size_t>(ncentral));
      for (int m = 1; m <= ncentral; ++m) {
        Vec3 v;
        for (int k = 1; k <= 3; ++k) v(k) = centre(k) - position(m)(k);
        reach[static_cast<std::size_t>(m - 1)] = cartesian_length(cartesian(run.geo.mt, v));
      }
    }
  }

  // The atoms of fragment f, in table order.
  std::vector<ClusterAtom> gather(int f) const {
    std::vector<ClusterAtom> mol;
    for (int i = 1; i <= nat; ++i)
      if (run.at.allinfo(i, fragment_number) == f) mol.push_back(whole_molecule_atom(run, i));
    return mol;
  }

  real nearest(const std::vector<Vec3>& pos) const {
    real dmin = std::numeric_limits<real>::max();
    for (const auto& p : pos) {
      const real d = calcdist(g, p, centre);
      if (d < dmin) dmin = d;
    }
    return dmin;
  }

  // dmax + dmol > (the smallest distance of an atom from the centre), decided
  // at the first atom close enough.
  bool within(const std::vector<Vec3>& pos, real limit) const {
    for (const auto& p : pos)
      if (limit > calcdist(g, p, centre)) return true;
    return false;
  }

  bool coincident(const std::vector<Vec3>& pos) const {
    for (const auto& p : pos)
      if (index.any(p, [&](int r) { return calcdist(g, p, position(r)) < tiny; })) return true;
    return false;
  }

  real dmol_for(real radius, const Vec3& c) const {
    if (kbuild == 2) return radius;
    if (kbuild == 3) return shape_reach(c);
    return 0;
  }

  // The copies of one symmetry operation: positions for every cell translation.
  struct Images {
    std::vector<Vec3> base;  // rot * x + trans for each atom
    Vec3 centre;             // the same for the molecule's centre
    double extent = 0;       // largest distance of an atom from the first one
  };

  Images images(int s, const std::vector<ClusterAtom>& mol, const Vec3& c) const {
    Images im;
    im.base.resize(mol.size());
    for (std::size_t k = 0; k < mol.size(); ++k) im.base[k] = image_base(run, s, mol[k].position);
    im.centre = image_base(run, s, c);
    for (const auto& b : im.base) im.extent = std::max(im.extent, static_cast<double>(calcdist(g, im.base[0], b)));
    return im;
  }

  // A copy whose first atom lies farther than limit + extent from the centre has
  // no atom within limit of it: most copies tried are settled by one distance.
  // The margin covers the rounding of the distances compared.
  bool surely_beyond(const Vec3& first, const Images& im, real limit) const {
    const double d = calcdist(g, first, centre);
    return d > static_cast<double>(limit) + im.extent + 0.01 + 1e-4 * d;
  }

  void fragment(int f, real radius) {
    std::vector<ClusterAtom> mol = gather(f);
    const int n = static_cast<int>(mol.size());
    std::vector<Vec3> pos(mol.size());
    for (std::size_t k = 0; k < mol.size(); ++k) pos[k] = mol[k].position;
    const Vec3 fcentre = kbuild == 3 ? fragment_centre(run, f) : Vec3{};

    int counter = 0;
    if (f > 1) {
      const real dmin = nearest(pos);
      const real dmol = dmol_for(radius, fcentre);
      if (run.geo.dmax + dmol > dmin) {
        const int first = append(mol, pos);
        for (std::size_t i = static_cast<std::size_t>(first - 1); i < atoms.size(); ++i) take_central_place(atoms[i]);
      } else {
        counter = 1;
      }
    }

    // The reach test comes before the coincidence test here: a copy is taken when
    // it passes both and neither test changes anything, so the cluster is the
    // same, and most copies out of reach never reach the index.
    const int nc = cells;
    for (int s = 1; s <= run.gv.nsym; ++s) {
      const Images im = images(s, mol, fcentre);
      for (ClusterAtom& a : mol) a.operation = s;
      for (int tz = -nc; tz <= nc; ++tz)
        for (int ty = -nc; ty <= nc; ++ty)
          for (int tx = -nc; tx <= nc; ++tx) {
            const Vec3 u = lattice_translation(tx, ty, tz);
            const Vec3 moved = kbuild == 3 ? translated(im.centre, u) : fcentre;
            const real limit = run.geo.dmax + dmol_for(radius, moved);
            if (n > 0 && surely_beyond(translated(im.base[0], u), im, limit)) continue;
            for (std::size_t k = 0; k < pos.size(); ++k) pos[k] = translated(im.base[k], u);
            if (!within(pos, limit)) continue;
            if (coincident(pos)) continue;
            ++counter;
            for (ClusterAtom& a : mol) {
              a.cell[0] = tx;
              a.cell[1] = ty;
              a.cell[2] = tz;
              a.copy = counter;
            }
            append(mol, pos);
          }
    }
  }
};

}  // namespace

ClusterModel assemble_cluster(const Run& run, int cells, real radius, int max_rows) {
  ClusterModel model;
  model.cells = cells;
  model.centre = run.geo.geomcent;
  model.centre_cartesian = cartesian(run.geo.mt, run.geo.geomcent);
  {
    Builder b(run, model.atoms, cells, max_rows);
    model.central_atoms = b.ncentral;
    b.central_molecule(estimate_cluster_size(run, cells, radius).atoms);
    for (int f = 1; f <= run.gv.nfrag; ++f) b.fragment(f, radius);
  }  // the spatial index goes before the bond lists come

  auto& atoms = model.atoms;
  const int n = model.size();
  for (int i = 1; i <= n; ++i) {
    ClusterAtom& a = atoms[static_cast<std::size_t>(i - 1)];
    a.number = i;
    if (starts_molecule(atoms, i)) model.molecule_first.push_back(i);
    const int t = a.input_atom;
    if (t >= 1 && t <= run.at.fcharge.size()) a.charge = run.at.fcharge(t);
  }
  model.bonds = cluster_bonds(atoms, run.at.allbonds, run.gv.nat);
  return model;
}

}  // namespace orbicutter
