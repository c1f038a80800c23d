// Dimers of the central molecule with its neighbours in the cluster: partners at
// the same centroid distance count as one dimer type, and a type is kept when its
// first member touches the central molecule within the van der Waals contact.
#include <cmath>
#include <vector>

#include "cluster/cluster.hpp"
#include "format/log_forms.hpp"
#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {
namespace {

// A cluster molecule after the central one.
struct Partner {
  int first = 0, atoms = 0;  // its rows in the cluster tables
  Vec3 centroid;
  bool representative = true;  // first of its centroid distance; then: touching as well
  int multiplicity = 1;
  real distance = 0;
};

std::vector<Partner> partners(const Run& run, int ncentral) {
  const auto& at = run.at;
  std::vector<Partner> list;
  for (int i = ncentral + 1; i <= run.gv.ncluster; ++i) {
    if (i == ncentral + 1 || starts_molecule(at.cinfo, i)) list.push_back(Partner{i, 0, {}, true, 1, 0});
    ++list.back().atoms;
  }
  // Centroids: sum in atom order, then divide.
  for (auto& p : list)
    for (int c = 1; c <= 3; ++c) {
      real s = 0;
      for (int i = p.first; i < p.first + p.atoms; ++i) s += at.cgeom(i, c);
      p.centroid(c) = s / static_cast<real>(p.atoms);
    }
  return list;
}

// Some atom of the partner within the van der Waals contact of some central atom.
bool touches(const Run& run, const Partner& p, int ncentral) {
  const auto& at = run.at;
  for (int i = p.first; i < p.first + p.atoms; ++i) {
    const real r1 = vdw_radius(at.catns(i, 1));
    for (int k = 1; k <= ncentral; ++k) {
      const real d = calcdist(run, row3(at.cgeom, i), row3(at.cgeom, k));
      if (r1 + vdw_radius(at.catns(k, 1)) + run.gv.tol4 >= d) return true;
    }
  }
  return false;
}

}  // namespace

void dimer_generation(Run& run, const std::function<void(const DimerEntry&)>& each) {
  auto& at = run.at;
  Unit& log = run.sink.log;
  const int ncentral = at.frag(1, frag_size);
  std::vector<Partner> list = partners(run, ncentral);

  // Partners at the same centroid distance are one dimer type.
  for (std::size_t m = 0; m < list.size(); ++m) {
    Partner& p = list[m];
    if (!p.representative) continue;
    p.distance = calcdist(run, run.geo.geomcent, p.centroid);
    for (std::size_t m2 = m + 1; m2 < list.size(); ++m2) {
      Partner& q = list[m2];
      if (!q.representative) continue;
      if (std::abs(p.distance - calcdist(run, run.geo.geomcent, q.centroid)) < tiny) {
        ++p.multiplicity;
        q.representative = false;
      }
    }
  }

  at.dimers.clear();
  for (std::size_t m = 0; m < list.size(); ++m) {
    const Partner& p = list[m];
    if (p.representative && touches(run, p, ncentral))
      at.dimers.push_back(DimerEntry{static_cast<int>(m) + 1, p.first, p.atoms, p.multiplicity, p.distance});
  }

  log.write("(A)", " ** DIMER GENERATION **");
  log.write("(A)", rule_line);
  log.write("(A,I6)", " Number of generated dimers = ", static_cast<int>(at.dimers.size()));
  log.write("(A)", rule_line);
  for (const DimerEntry& d : at.dimers) {
    if (each) each(d);
    const int op = at.cinfo(d.first, symmetry_operation);
    log.write("(I4,F8.3,2X,5I1)", d.number, d.distance, at.cinfo(d.first, translation_a) + 5,
              at.cinfo(d.first, translation_b) + 5, at.cinfo(d.first, translation_c) + 5, 0, op);
  }
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
