// Dimers of the central molecule with its neighbours in the cluster: partners at
// the same centroid distance count as one dimer type, and a type is kept when its
// first member touches the central molecule within the van der Waals contact.
#include <cmath>
#include <vector>

#include "cluster/cluster.hpp"
#include "driver/forms.hpp"
#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

// Cartesian position relative to the cluster centre.
Vec3 centred(const Run& run, const Vec3& f) {
  Vec3 v;
  for (int q = 1; q <= 3; ++q) v(q) = f(q) - run.geo.geomcent(q);
  return cartesian(run.geo.mt, v);
}

// A molecule ends where the pair (fragment, cluster fragment number) changes; with
// the cluster fragment number alone, copies of different fragments could merge.
bool new_molecule(const Table<int>& cinfo, int i) {
  return cinfo(i, fragment_number) != cinfo(i - 1, fragment_number) ||
         cinfo(i, cluster_fragment) != cinfo(i - 1, cluster_fragment);
}

void open_dimer_file(Run& run, Unit& unit, const std::string& name) {
  if (!unit.open(name)) fail({" --> Output file cannot be created <--"});
  run.product_files.push_back(name);
}

// One atom row of the XYZ file and, with Gaussian output, of the counterpoise file.
void atom_rows(Unit& xyz, Unit* cp, const std::string& symbol, const Vec3& r, const char* fragment_tag) {
  xyz.put("(2A4)", symbol);
  xyz.write("(3F15.6)", r(1), r(2), r(3));
  if (cp != nullptr) {
    cp->put("(A)", trim(symbol) + fragment_tag);
    cp->write("(3F15.6)", r(1), r(2), r(3));
  }
}

}  // namespace

void dimer_generation(Run& run) {
  auto& gv = run.gv;
  auto& at = run.at;
  Unit& log = run.units.log;

  run.units.out.write("(A)", " >> Dimer evaluation routine <<");
  const double start = cpu_seconds();
  run.t_phase = start;

  // Central molecule, with the cluster centre in the extra row.
  const int natdim0 = at.frag(1, frag_size);
  gv.natdim0 = natdim0;
  at.mol0info.allocate(natdim0, cluster_info_columns);
  at.mol0atns.allocate(natdim0, 2);
  at.mol0geom.allocate(natdim0 + 1, 3);
  for (int k = 1; k <= natdim0; ++k) {
    for (int c = total_atom; c <= cluster_atom; ++c) at.mol0info(k, c) = at.cinfo(k, c);
    for (int c = 1; c <= 2; ++c) at.mol0atns(k, c) = at.catns(k, c);
    for (int c = 1; c <= 3; ++c) at.mol0geom(k, c) = at.cgeom(k, c);
  }
  set_row3(at.mol0geom, natdim0 + 1, run.geo.geomcent);

  // Count the partner molecules and the largest of them before sizing the tables.
  const int ncluster = gv.ncluster;
  int npart = 0, largest = 0, size = 0;
  for (int i = natdim0 + 1; i <= ncluster; ++i) {
    if (i == natdim0 + 1 || new_molecule(at.cinfo, i)) {
      ++npart;
      size = 0;
    }
    ++size;
    if (size > largest) largest = size;
  }
  int natdim = 0;
  for (int f = 1; f <= gv.nfrag; ++f)
    if (at.frag(f, frag_size) > natdim) natdim = at.frag(f, frag_size);
  if (largest > natdim) natdim = largest;
  gv.natdim = natdim;

  at.mol1info.allocate(npart, natdim, cluster_info_columns);
  at.mol1atns.allocate(npart, natdim, 2);
  at.mol1geom.allocate(npart, natdim + 1, 3);
  at.diminfo.allocate(npart, 3, 0);

  // Split the rest of the cluster into partners.
  {
    int m = 0, k = 0;
    for (int i = natdim0 + 1; i <= ncluster; ++i) {
      if (i == natdim0 + 1 || new_molecule(at.cinfo, i)) {
        ++m;
        k = 0;
      }
      ++k;
      for (int c = total_atom; c <= cluster_atom; ++c) at.mol1info(m, k, c) = at.cinfo(i, c);
      for (int c = 1; c <= 2; ++c) at.mol1atns(m, k, c) = at.catns(i, c);
      for (int c = 1; c <= 3; ++c) at.mol1geom(m, k, c) = at.cgeom(i, c);
      at.diminfo(m, 1) = k;
    }
  }

  // Centroids: sum in atom order, then divide.
  for (int m = 1; m <= npart; ++m) {
    const int n = at.diminfo(m, 1);
    for (int c = 1; c <= 3; ++c) {
      real s = 0;
      for (int k = 1; k <= n; ++k) s += at.mol1geom(m, k, c);
      at.mol1geom(m, natdim + 1, c) = s / static_cast<real>(n);
    }
  }
  auto centroid = [&](int m) {
    Vec3 v;
    for (int c = 1; c <= 3; ++c) v(c) = at.mol1geom(m, natdim + 1, c);
    return v;
  };

  // Partners at the same centroid distance are one dimer type.
  for (int m = 1; m <= npart; ++m) at.diminfo(m, 2) = 1;
  Vec<real> dist(npart);
  for (int m = 1; m <= npart; ++m) {
    at.diminfo(m, 3) = 1;
    if (at.diminfo(m, 2) != 1) continue;
    dist(m) = calcdist(run, run.geo.geomcent, centroid(m));
    for (int m2 = m + 1; m2 <= npart; ++m2) {
      if (at.diminfo(m2, 2) != 1) continue;
      const real d2 = calcdist(run, run.geo.geomcent, centroid(m2));
      if (std::abs(dist(m) - d2) < tiny) {
        at.diminfo(m, 3) += 1;
        at.diminfo(m2, 2) = 0;
      }
    }
  }

  // Van der Waals contact of each representative with the central molecule.
  for (int m = 1; m <= npart; ++m) {
    if (at.diminfo(m, 2) != 1) continue;
    at.diminfo(m, 2) = 0;
    for (int k1 = 1; k1 <= at.diminfo(m, 1) && at.diminfo(m, 2) == 0; ++k1) {
      Vec3 p;
      for (int c = 1; c <= 3; ++c) p(c) = at.mol1geom(m, k1, c);
      const real r1 = vdw_radius(at.mol1atns(m, k1, 1));
      for (int k2 = 1; k2 <= natdim0; ++k2) {
        const real d = calcdist(run, p, row3(at.mol0geom, k2));
        const real r2 = vdw_radius(at.mol0atns(k2, 1));
        if (r1 + r2 + gv.tol4 >= d) {
          at.diminfo(m, 2) = 1;
          break;
        }
      }
    }
  }

  int ndimers = 0;
  for (int m = 1; m <= npart; ++m)
    if (at.diminfo(m, 2) == 1) ++ndimers;

  log.write("(A)", " ** DIMER GENERATION **");
  log.write("(A)", rule_line);
  log.write("(A,I6)", " Number of generated dimers = ", ndimers);
  log.write("(A)", rule_line);

  // One file per kept dimer, complete and closed before the next is created.
  for (int m = 1; m <= npart; ++m) {
    if (at.diminfo(m, 2) != 1) continue;
    const std::string name = "dimer_" + digits(m) + ".xyz";
    Unit xyz, cp;
    open_dimer_file(run, xyz, name);
    const bool gaussian = run.kw.kgaussian == 1;
    if (gaussian) open_dimer_file(run, cp, name + "_G");
    Unit* cpp = gaussian ? &cp : nullptr;

    const int op = at.mol1info(m, 1, symmetry_operation);
    const int ta = at.mol1info(m, 1, translation_a), tb = at.mol1info(m, 1, translation_b),
              tc = at.mol1info(m, 1, translation_c);
    xyz.write("(I6)", natdim0 + at.diminfo(m, 1));
    xyz.write("(A,I4,A,4I3,A,5I1,A,I1)", " ORBICUTTER DIMER: ", m, " SYMMETRY: ", op, ta, tb, tc, " ORTEP: ", ta + 5,
              tb + 5, tc + 5, 0, op, " NDIM: ", at.diminfo(m, 3));
    log.write("(I4,F8.3,2X,5I1)", m, dist(m), ta + 5, tb + 5, tc + 5, 0, op);

    for (int k = 1; k <= natdim0; ++k)
      atom_rows(xyz, cpp, at.mol0atns(k, 1), centred(run, row3(at.mol0geom, k)), "(Fragment=1) ");
    for (int k = 1; k <= at.diminfo(m, 1); ++k) {
      Vec3 f;
      for (int c = 1; c <= 3; ++c) f(c) = at.mol1geom(m, k, c);
      atom_rows(xyz, cpp, at.mol1atns(m, k, 1), centred(run, f), "(Fragment=2) ");
    }
    if (gaussian) {
      cp.write("(A)", " ");
      cp.write("(A)", " ");
      cp.close();
    }
    xyz.close();
  }

  log.write("(A)", rule_line);
  cpu_line(run, start);
}

}  // namespace orbicutter
