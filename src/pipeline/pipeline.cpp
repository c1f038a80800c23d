// The order of the phases and the routine banners around them.
#include "pipeline/pipeline.hpp"

#include <cstdlib>

#include "cluster/centre.hpp"
#include "cluster/cluster.hpp"
#include "cluster/cluster_log.hpp"
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

void fragment_search(Run& run) {
  write_fragment_search_head(run.sink.log);
  FragmentSearch found = search_fragments(run);
  auto& at = run.at;
  at.fatns = std::move(found.names);
  at.finfo = std::move(found.info);
  at.fgeom = std::move(found.positions);
  if (run.kw.kcharge == 1) at.fcharge = std::move(found.charges);
  at.fimage = std::move(found.images);
  at.frag = std::move(found.fragments);
  run.gv.nfrag = at.frag.rows();
  write_fragment_search(run, run.sink.log);
}

void fragment_modifications(Run& run) {
  WholeMolecules all = whole_molecules(run, run.sink.log);
  auto& at = run.at;
  at.allatns = std::move(all.names);
  at.allinfo = std::move(all.info);
  at.allgeom = std::move(all.positions);
  at.allcharge = std::move(all.charges);
  int total = 0;
  for (int f = 1; f <= run.gv.nfrag; ++f) {
    at.frag(f, frag_size) = all.fragment_sizes[static_cast<std::size_t>(f - 1)];
    total += at.frag(f, frag_size);
  }
  run.gv.nat = total;
}

void connectivity(Run& run) {
  run.gv.nat = atoms_in_fragments(run);
  check_bond_tables(run.gv.nat);
  MoleculeBonds bonds = molecule_bonds(run, run.gv.nat);
  run.at.allcont = std::move(bonds.matrix);
  run.at.allbonds = std::move(bonds.lists);
  write_connectivity(run, run.sink.log);
}

void connectivity_reduction(Run& run) {
  Reduction reduced = reduce_connectivity(run.at.allcont, run.gv.nat);
  write_reduction(run.sink.log, reduced);
  run.at.rcont = std::move(reduced.matrix);
}

void prepplanarity(Run& run, const std::string& mode) {
  if (mode == "RING_") {
    RingPlanarity rings = ring_planarity(run);
    run.at.specrings = std::move(rings.planar);
    run.tmp.nics0 = std::move(rings.centres);
    run.tmp.nics1 = std::move(rings.above);
    run.tmp.nics2 = std::move(rings.below);
  } else if (mode == "GROUP") {
    run.at.planaratoms = group_planarity(run);
  }
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

void cluster_head(Run& run) {
  run.geo.geomcent = cluster_centre(run);
  const int kbuild = run.kw.kbuild;
  write_cluster_head(run.sink.log, run.geo.geomcent, kbuild, kbuild == 2 ? central_radius(run) : real(0));
}

ClusterModel cluster_building(Run& run) {
  cluster_head(run);
  return cluster_body(run, run.sink.log);
}

ClusterModel build_cluster(Run& run) {
  ClusterModel cluster;
  routine(run.sink.out, " >> Cluster building routine <<", [&] { cluster = cluster_body(run, run.sink.log); });
  molecule_census(run, cluster, run.sink, run.diag);
  cluster_checks(run, cluster, run.sink, run.diag);
  return cluster;
}

std::vector<DimerEntry> find_dimers(Run& run, const ClusterModel& cluster,
                                    const std::function<void(const DimerEntry&)>& each) {
  std::vector<DimerEntry> dimers;
  routine(run.sink.out, " >> Dimer evaluation routine <<", [&] {
    dimers = dimer_partners(cluster, run.geo.g, run.gv.tol4);
    Unit& log = run.sink.log;
    write_dimer_head(log, static_cast<int>(dimers.size()));
    for (const DimerEntry& d : dimers) {
      if (each) each(d);
      write_dimer_line(log, cluster, d);
    }
    write_dimer_tail(log);
  });
  return dimers;
}

std::vector<MoleculeAtom> molecule_atoms(const Run& run) {
  const auto& at = run.at;
  std::vector<MoleculeAtom> atoms;
  atoms.reserve(static_cast<std::size_t>(std::max(run.gv.nat, 0)));
  for (int i = 1; i <= run.gv.nat; ++i) {
    MoleculeAtom a;
    a.element = at.allatns(i, 1);
    a.label = at.allatns(i, 2);
    a.operation = at.allinfo(i, symmetry_operation);
    a.cell[0] = at.allinfo(i, translation_a);
    a.cell[1] = at.allinfo(i, translation_b);
    a.cell[2] = at.allinfo(i, translation_c);
    a.position = row3(at.allgeom, i);
    atoms.push_back(a);
  }
  return atoms;
}

WriterInput writer_input(const Run& run, const ClusterModel& cluster) {
  const auto& kw = run.kw;
  WriterInput in{.cluster = cluster,
                 .cell = run.geo,
                 .operators = run.gv.nsym,
                 .options = {.charges = kw.kcharge == 1,
                             .probes = kw.knics == 1,
                             .fragment_search = kw.kfragmentize != 0,
                             .fragment_completion = kw.kfragbld != 0},
                 .system_name = run.gv.outf,
                 .crystal_system = run.gv.sysname,
                 .asymmetric_atoms = run.gv.natasym,
                 .molecule_atoms = molecule_atoms(run),
                 .probes = {.rings = run.gv.nrings,
                            .points = run.gv.nnics,
                            .centres = run.tmp.nics0,
                            .above = run.tmp.nics1,
                            .below = run.tmp.nics2}};
  return in;
}

}  // namespace orbicutter
