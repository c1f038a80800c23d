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
  int first = 0, atoms = 0;  // its atoms in the cluster
  Vec3 centroid;
  bool representative = true;  // first of its centroid distance; then: touching as well
  int multiplicity = 1;
  real distance = 0;
};

std::vector<Partner> partners(const ClusterModel& cluster, int ncentral) {
  std::vector<Partner> list;
  for (int i = ncentral + 1; i <= cluster.size(); ++i) {
    if (i == ncentral + 1 || starts_molecule(cluster.atoms, i)) list.push_back(Partner{i, 0, {}, true, 1, 0});
    ++list.back().atoms;
  }
  // Centroids: sum in atom order, then divide.
  for (auto& p : list)
    for (int c = 1; c <= 3; ++c) {
      real s = 0;
      for (int i = p.first; i < p.first + p.atoms; ++i) s += cluster.atom(i).position(c);
      p.centroid(c) = s / static_cast<real>(p.atoms);
    }
  return list;
}

// Some atom of the partner within the van der Waals contact of some central atom.
bool touches(const ClusterModel& cluster, const Mat3& g, real tolerance, const Partner& p, int ncentral) {
  for (int i = p.first; i < p.first + p.atoms; ++i) {
    const ClusterAtom& a = cluster.atom(i);
    const real r1 = vdw_radius(a.element);
    for (int k = 1; k <= ncentral; ++k) {
      const ClusterAtom& b = cluster.atom(k);
      const real d = calcdist(g, a.position, b.position);
      if (r1 + vdw_radius(b.element) + tolerance >= d) return true;
    }
  }
  return false;
}

}  // namespace

std::vector<DimerEntry> dimer_partners(const ClusterModel& cluster, const Mat3& g, real contact_tolerance) {
  const int ncentral = cluster.central_atoms;
  std::vector<Partner> list = partners(cluster, ncentral);

  // Partners at the same centroid distance are one dimer type.
  for (std::size_t m = 0; m < list.size(); ++m) {
    Partner& p = list[m];
    if (!p.representative) continue;
    p.distance = calcdist(g, cluster.centre, p.centroid);
    for (std::size_t m2 = m + 1; m2 < list.size(); ++m2) {
      Partner& q = list[m2];
      if (!q.representative) continue;
      if (std::abs(p.distance - calcdist(g, cluster.centre, q.centroid)) < tiny) {
        ++p.multiplicity;
        q.representative = false;
      }
    }
  }

  std::vector<DimerEntry> dimers;
  for (std::size_t m = 0; m < list.size(); ++m) {
    const Partner& p = list[m];
    if (p.representative && touches(cluster, g, contact_tolerance, p, ncentral))
      dimers.push_back(DimerEntry{static_cast<int>(m) + 1, p.first, p.atoms, p.multiplicity, p.distance});
  }
  return dimers;
}

}  // namespace orbicutter
