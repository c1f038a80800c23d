// The cluster as a SHELX structure file: fractional coordinates in the crystal
// cell, atoms grouped by scattering factor with carbon always first.
#include <vector>

#include "input/input.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void writeres(const ClusterView& view, Unit& unit) {
  const auto& run = view.run;
  const auto& gv = run.gv;
  const auto& geo = run.geo;
  const auto& at = run.at;

  // Scattering factors: carbon, then the other elements in order of first appearance.
  Vec<std::string> elem(1, "C  ");
  for (int i = 1; i <= gv.ncluster; ++i) {
    bool known = false;
    for (int k = 1; k <= elem.size() && !known; ++k) known = at.catns(i, 1) == elem(k);
    if (!known) elem.raw().emplace_back(at.catns(i, 1));
  }
  const int nel = elem.size();
  Vec<int> elemcounts(nel, 0);
  for (int k = 1; k <= nel; ++k)
    for (int i = 1; i <= gv.ncluster; ++i)
      if (at.catns(i, 1) == elem(k)) ++elemcounts(k);

  unit.write("(A,A)", "TITL  ", trim(gv.outf));
  unit.write("(A,6F10.4)", "CELL  0.71073", geo.a, geo.b, geo.c, geo.alpha / degree, geo.beta / degree,
             geo.gamma / degree);
  unit.write("(A)", "LATT  -1");
  // Symmetry cards only when the molecules were left as read, not regrouped or completed.
  if (run.kw.kfragbld == 0 && run.kw.kfragmentize == 0) {
    for (int s = 1; s <= gv.nsym; ++s) unit.write("(2A)", "SYMM ", writesymmop(run, s));
  }

  // SFAC and UNIT hold one field per element: their layouts are built for nel fields.
  const RuntimeLayout sfac_layout("(A," + digits(nel) + "A4)");
  const RuntimeLayout unit_layout("(A," + digits(nel) + "I4)");
  std::vector<Value> sfac{Value("SFAC  ")}, counts{Value("UNIT  ")};
  for (int k = 1; k <= nel; ++k) {
    sfac.emplace_back(elem(k));
    counts.emplace_back(elemcounts(k));
  }
  unit.line(format_record(sfac_layout, sfac));
  unit.line(format_record(unit_layout, counts));

  // Labels run over the whole file in SFAC order.
  int n = 0;
  for (int k = 1; k <= nel; ++k) {
    const std::string symbol = trim(elem(k));
    for (int i = 1; i <= gv.ncluster; ++i) {
      if (at.catns(i, 1) != elem(k)) continue;
      ++n;
      unit.write("(A,I4,5F15.6)", symbol + digits(n), k, at.cgeom(i, 1), at.cgeom(i, 2), at.cgeom(i, 3), sp(11.0f),
                 sp(0.0f));
    }
  }
  unit.write("(A)", "END");
}

}  // namespace orbicutter
