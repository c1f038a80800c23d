// The cluster as a SHELX structure file: fractional coordinates in the crystal
// cell, atoms grouped by scattering factor with carbon always first.
#include <vector>

#include "input/input.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void writeres(Run& run, Unit& unit) {
  const auto& gv = run.gv;
  const auto& geo = run.geo;
  const auto& at = run.at;
  auto& tmp = run.tmp;

  // Scattering factors: carbon, then the other elements in order of first appearance.
  tmp.elem.allocate(118, "   ");
  tmp.elemcounts.allocate(118, 0);
  tmp.elem(1) = "C  ";
  int nel = 1;
  for (int i = 1; i <= gv.ncluster; ++i) {
    bool known = false;
    for (int k = 1; k <= nel && !known; ++k) known = at.catns(i, 1) == tmp.elem(k);
    if (known) continue;
    // More distinct symbols than the periodic table holds: the list grows rather than overflows.
    if (nel == tmp.elem.size()) {
      tmp.elem.resize(nel + 1, "   ");
      tmp.elemcounts.resize(nel + 1, 0);
    }
    tmp.elem(++nel) = at.catns(i, 1);
  }
  for (int k = 1; k <= nel; ++k)
    for (int i = 1; i <= gv.ncluster; ++i)
      if (at.catns(i, 1) == tmp.elem(k)) ++tmp.elemcounts(k);

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
    sfac.emplace_back(tmp.elem(k));
    counts.emplace_back(tmp.elemcounts(k));
  }
  unit.line(format_record(sfac_layout, sfac));
  unit.line(format_record(unit_layout, counts));

  // Labels run over the whole file in SFAC order.
  int n = 0;
  for (int k = 1; k <= nel; ++k) {
    const std::string symbol = trim(tmp.elem(k));
    for (int i = 1; i <= gv.ncluster; ++i) {
      if (at.catns(i, 1) != tmp.elem(k)) continue;
      ++n;
      unit.write("(A,I4,5F15.6)", symbol + digits(n), k, at.cgeom(i, 1), at.cgeom(i, 2), at.cgeom(i, 3), sp(11.0f),
                 sp(0.0f));
    }
  }
  unit.write("(A)", "END");
}

}  // namespace orbicutter
