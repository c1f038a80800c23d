// The order of the phases and the routine banners around them.
#include "pipeline/pipeline.hpp"

#include <cstdlib>

#include "cluster/cluster.hpp"
#include "format/log_forms.hpp"
#include "fragments/fragments.hpp"
#include "geometry/geometry.hpp"
#include "input/input.hpp"
#include "model/warning.hpp"
#include "xh/xh.hpp"

namespace orbicutter {

void read_crystal(Run& run, const std::string& contents) {
  readinp(run, contents);
  check_cell_edges(run);
  run.gv.sysname = crystal_system(run.geo);
}

void build_molecules(Run& run) {
  const auto& kw = run.kw;
  Unit& out = run.sink.out;
  // The fragment phases compare every pair of atoms: a file too large for the bond
  // tables is turned away before they start.
  check_bond_tables(run.gv.nat);
  write_special_positions(run.sink.log, special_positions(run.geo, run.gv.nsym, run.at.fgeom, run.gv.nat),
                          run.at.fatns, run.at.finfo);
  run.geo.mt = orthogonalisation(run.geo);
  run.geo.g = metric_tensor(run.geo);
  write_matrices(run.sink.log, run.geo);
  if (kw.kfragmentize == 1) routine(out, " >> Fragment search routine <<", [&] { fragment_search(run); });
  routine(out, " >> Fragment modification routines <<", [&] { fragment_modifications(run); });
  connectivity(run);
  const MoleculeFindings found = molecule_checks(run);
  if (run.diag.enabled) run.diag.images_close = found.images_close;
  for (const auto& box : found.warnings) warn(run.sink, run.diag, box);
  ring_routines(run);
  if (kw.kstxh == 1) xh_routines(run);
}

void ring_routines(Run& run) {
  const auto& kw = run.kw;
  routine(run.sink.out, " >> Ring routines <<", [&] {
    if (kw.kstxh == 1 && run.gv.nxh <= 0) connectivity_reduction(run);
    if (kw.kring == 1) prepplanarity(run, "RING_");
  });
  prepplanarity(run, "GROUP");
}

// The whole molecules as the X-H categories read them.
XhMolecules xh_molecules(const Run& run) {
  const auto& at = run.at;
  return {run.gv.nat, at.allatns, at.allinfo, at.allcont, at.allbonds, run.gv.nrings,
          at.rings,   at.ringatoms, at.specrings, at.planaratoms};
}

void xh_routines(Run& run) {
  const auto& gv = run.gv;
  auto& at = run.at;
  const int count = std::abs(gv.nxh);
  check_manual_xh(gv.axh, count, gv.nat);
  if (gv.nxh <= 0)
    routine(run.sink.out, " >> Automatic X-H bonds standardization routine <<", [&] {
      XhResult moved = automatic_xh(xh_molecules(run), at.allgeom, run.geo.g, run.kw.kchover == 1);
      at.allgeom = std::move(moved.positions);
      write_xh_log(run.sink.log, " ** AUTOMATIC X-H BONDS STANDARDIZATION **", moved.moves);
    });
  if (gv.nxh != 0) {
    XhResult moved = manual_xh(gv.axh, gv.dxh, count, at.allgeom, run.geo.g);
    at.allgeom = std::move(moved.positions);
    write_xh_log(run.sink.log,
                 gv.nxh > 0 ? " ** MANUAL X-H BONDS STANDARDISATION **" : " ** ADDITIONAL MANUAL X-H BONDS STANDARDISATION **",
                 moved.moves);
  }
}

void build_cluster(Run& run) {
  routine(run.sink.out, " >> Cluster building routine <<", [&] { cluster_body(run); });
  molecule_census(run);
  cluster_checks(run);
}

void find_dimers(Run& run, const std::function<void(const DimerEntry&)>& each) {
  routine(run.sink.out, " >> Dimer evaluation routine <<", [&] { dimer_generation(run, each); });
}

}  // namespace orbicutter
