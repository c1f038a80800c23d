// The cluster's sections of the run log, from the built cluster.
#include "cluster/cluster_log.hpp"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "format/log_forms.hpp"

namespace orbicutter {
namespace {

void legend(Unit& log, bool charges) {
  for (const char* l : {"  >>  (1) element type", "  >>  (2) atomic type", "  >>  (3) total atom number",
                        "  >>  (4) fragment atom number", "  >>  (5) fragment number",
                        "  >>  (6) symmetry operation number", "  >>  (7) translation along X-axis",
                        "  >>  (8) translation along Y-axis", "  >>  (9) translation along Z-axis",
                        "  >> (10) molecular atomic number", "  >> (11) cluster fragment number",
                        "  >> (12) cluster atomic number", "  >> (13) x-fractional coordinate",
                        "  >> (14) y-fractional coordinate", "  >> (15) z-fractional coordinate"})
    log.write("(A)", l);
  if (charges) log.write("(A)", "  >> (16) atom charge");
  log.write("(A)", "  >> (..) bonded atoms numbers");
}

void full_listing(Unit& log, const ClusterModel& cluster, int verbosity, bool charges) {
  log.write("(A)", " ** FULL CLUSTER INFORMATION **");
  log.write("(A)", rule_line);
  if (verbosity >= 2) legend(log, charges);
  for (int i = 1; i <= cluster.size(); ++i) {
    const ClusterAtom& a = cluster.atom(i);
    log.put("(2A4)", a.element, a.label);
    log.put("(10I6)", a.input_atom, a.fragment_atom, a.fragment, a.operation, a.cell[0], a.cell[1], a.cell[2],
            a.molecule_atom, a.copy, a.number);
    log.put("(3F10.6)", a.position(1), a.position(2), a.position(3));
    if (charges) log.put("(F10.6)", a.charge);
    end_with_bonds(log, cluster.bonds.of(i));
  }
  log.write("(A)", rule_line);
}

}  // namespace

void write_cluster_head(Unit& log, const Vec3& centre, int kbuild, real radius) {
  log.write("(A)", " ** CLUSTER GENERATION **");
  log.write("(A)", rule_line);
  log.write("(A,3F10.6)", " Geometrical center = ", centre(1), centre(2), centre(3));
  if (kbuild == 2)
    log.write("(A,F10.6)", " Maximal molecular distance = ", radius);
  else if (kbuild == 3)
    log.write("(A)", " Maximal molecular distance will be based on molecular shape");
}

void write_cells_searched(Unit& log, int cells) {
  log.write("(A,I6)", " Number of unit cells considered = ", cells);
  log.write("(A)", rule_line);
}

void write_cluster(Unit& log, const ClusterModel& cluster, int verbosity, bool charges) {
  // An empty cluster has always been counted as one molecule.
  log.write("(A,I6)", " Total number of molecules in the cluster = ", std::max(cluster.molecules(), 1));
  log.write("(A,I6)", " Total number of atoms in the cluster = ", cluster.size());
  log.write("(A)", rule_line);
  if (verbosity >= 1) full_listing(log, cluster, verbosity, charges);
  write_ortep_codes(log, cluster);
}

void write_ortep_codes(Unit& log, const ClusterModel& cluster) {
  log.write("(A)", " ** ORTEP CODES **");
  log.write("(A)", rule_line);

  // (operation, translation a, b, c) in order of first appearance.
  std::vector<std::array<int, 4>> images;
  std::set<std::array<int, 4>> seen;
  for (const ClusterAtom& a : cluster.atoms) {
    const std::array<int, 4> q{a.operation, a.cell[0], a.cell[1], a.cell[2]};
    if (!images.empty() && images.back() == q) continue;
    if (seen.insert(q).second) images.push_back(q);
  }

  log.put("(A)", " ");
  const std::size_t n = images.size();
  for (std::size_t f = 1; f <= n; ++f) {
    const auto& q = images[f - 1];
    log.put("(5I1,A2)", q[1] + 5, q[2] + 5, q[3] + 5, 0, q[0], "  ");
    if (f % 8 == 0 && f < n) {
      log.write("(A)", "");
      log.put("(A1)", " ");
    }
  }
  log.write("(A1)", " ");
  log.write("(A)", rule_line);
}

void write_dimer_head(Unit& log, int dimers) {
  log.write("(A)", " ** DIMER GENERATION **");
  log.write("(A)", rule_line);
  log.write("(A,I6)", " Number of generated dimers = ", dimers);
  log.write("(A)", rule_line);
}

void write_dimer_line(Unit& log, const ClusterModel& cluster, const DimerEntry& dimer) {
  const ClusterAtom& a = cluster.atom(dimer.first);
  log.write("(I4,F8.3,2X,5I1)", dimer.number, dimer.distance, a.cell[0] + 5, a.cell[1] + 5, a.cell[2] + 5, 0,
            a.operation);
}

void write_dimer_tail(Unit& log) { log.write("(A)", rule_line); }

}  // namespace orbicutter
