// Cluster building: the centre, the search over symmetry copies and cells, the
// totals and the full listing of the cluster in the run log.
#include <algorithm>
#include <cmath>

#include "cluster/assemble.hpp"
#include "cluster/cluster.hpp"
#include "format/log_forms.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

// nint(dmax / shortest edge) + 2, halves away from zero.
int cells_to_search(const Run& run) {
  const auto& geo = run.geo;
  const real ratio = geo.dmax / std::min({geo.a, geo.b, geo.c});
  if (std::isnan(ratio)) return 2;
  if (static_cast<double>(ratio) > max_cell_ratio) fail({" --> Cluster too large: reduce DMAX <--"});
  // A negative DMAX takes nothing in; the cell loops are then empty.
  if (static_cast<double>(ratio) < -max_cell_ratio) return -static_cast<int>(max_cell_ratio);
  return static_cast<int>(std::lround(ratio)) + 2;
}

void legend(Run& run) {
  auto& log = run.sink.log;
  for (const char* l : {"  >>  (1) element type", "  >>  (2) atomic type", "  >>  (3) total atom number",
                        "  >>  (4) fragment atom number", "  >>  (5) fragment number",
                        "  >>  (6) symmetry operation number", "  >>  (7) translation along X-axis",
                        "  >>  (8) translation along Y-axis", "  >>  (9) translation along Z-axis",
                        "  >> (10) molecular atomic number", "  >> (11) cluster fragment number",
                        "  >> (12) cluster atomic number", "  >> (13) x-fractional coordinate",
                        "  >> (14) y-fractional coordinate", "  >> (15) z-fractional coordinate"})
    log.write("(A)", l);
  if (run.kw.kcharge == 1) log.write("(A)", "  >> (16) atom charge");
  log.write("(A)", "  >> (..) bonded atoms numbers");
}

// The charge of a cluster atom lives in the input list, under its total atom number.
real input_charge(const Run& run, int i) {
  const int t = run.at.cinfo(i, total_atom);
  return t >= 1 && t <= run.at.fcharge.size() ? run.at.fcharge(t) : real(0);
}

void full_listing(Run& run) {
  auto& log = run.sink.log;
  const auto& at = run.at;
  log.write("(A)", " ** FULL CLUSTER INFORMATION **");
  log.write("(A)", rule_line);
  if (run.kw.kver >= 2) legend(run);
  for (int i = 1; i <= run.gv.ncluster; ++i) {
    log.put("(2A4)", at.catns(i, 1), at.catns(i, 2));
    log.put("(10I6)", at.cinfo(i, total_atom), at.cinfo(i, fragment_atom), at.cinfo(i, fragment_number),
            at.cinfo(i, symmetry_operation), at.cinfo(i, translation_a), at.cinfo(i, translation_b),
            at.cinfo(i, translation_c), at.cinfo(i, molecule_atom), at.cinfo(i, cluster_fragment),
            at.cinfo(i, cluster_atom));
    log.put("(3F10.6)", at.cgeom(i, 1), at.cgeom(i, 2), at.cgeom(i, 3));
    if (run.kw.kcharge == 1) log.put("(F10.6)", input_charge(run, i));
    end_with_bonds(log, at.cbonds.of(i));
  }
  log.write("(A)", rule_line);
}

}  // namespace

void cluster_head(Run& run) {
  const auto& kw = run.kw;
  auto& geo = run.geo;
  auto& log = run.sink.log;

  geo.geomcent = cluster_centre(run);
  log.write("(A)", " ** CLUSTER GENERATION **");
  log.write("(A)", rule_line);
  log.write("(A,3F10.6)", " Geometrical center = ", geo.geomcent(1), geo.geomcent(2), geo.geomcent(3));
  if (kw.kbuild == 2)
    log.write("(A,F10.6)", " Maximal molecular distance = ", central_radius(run));
  else if (kw.kbuild == 3)
    log.write("(A)", " Maximal molecular distance will be based on molecular shape");
}

void cluster_body(Run& run) {
  auto& gv = run.gv;
  auto& log = run.sink.log;
  const real radius = run.kw.kbuild >= 2 ? central_radius(run) : real(0);

  gv.ncells = cells_to_search(run);
  log.write("(A,I6)", " Number of unit cells considered = ", gv.ncells);
  log.write("(A)", rule_line);
  check_cluster_size(run, radius);

  assemble_cluster(run, radius);

  log.write("(A,I6)", " Total number of molecules in the cluster = ", gv.nmol);
  log.write("(A,I6)", " Total number of atoms in the cluster = ", gv.ncluster);
  log.write("(A)", rule_line);
  if (run.kw.kver >= 1) full_listing(run);
  ortep(run);
}

void cluster_building(Run& run) {
  cluster_head(run);
  cluster_body(run);
}

}  // namespace orbicutter
