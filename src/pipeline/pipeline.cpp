// The order of the phases and the routine banners around them.
#include "pipeline/pipeline.hpp"

#include "cluster/cluster.hpp"
#include "format/log_forms.hpp"
#include "fragments/fragments.hpp"
#include "geometry/geometry.hpp"
#include "input/input.hpp"
#include "xh/xh.hpp"

namespace orbicutter {

void read_crystal(Run& run, const std::string& contents) {
  readinp(run, contents);
  check_cell_edges(run);
  metric(run);
}

void build_molecules(Run& run) {
  const auto& kw = run.kw;
  Unit& out = run.sink.out;
  // The fragment phases compare every pair of atoms: a file too large for the bond
  // tables is turned away before they start.
  check_bond_tables(run.gv.nat);
  special_positions(run);
  matrices(run);
  if (kw.kfragmentize == 1) routine(out, " >> Fragment search routine <<", [&] { fragment_search(run); });
  routine(out, " >> Fragment modification routines <<", [&] { fragment_modifications(run); });
  connectivity(run);
  molecule_checks(run);
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

void xh_routines(Run& run) {
  check_manual_xh(run);
  if (run.gv.nxh <= 0)
    routine(run.sink.out, " >> Automatic X-H bonds standardization routine <<", [&] { automatic_xh(run); });
  if (run.gv.nxh != 0) manual_xh(run);
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
