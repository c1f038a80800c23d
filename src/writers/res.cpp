// The cluster as a SHELX structure file: fractional coordinates in the crystal
// cell, atoms grouped by scattering factor with carbon always first.
#include <vector>

#include "input/input.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void writeres(const WriterInput& in, Unit& unit) {
  const ClusterModel& cluster = in.cluster;
  const auto& geo = in.cell;

  // Scattering factors: carbon, then the other elements in order of first appearance.
  Vec<std::string> elem(1, "C  ");
  for (const ClusterAtom& a : cluster.atoms) {
    bool known = false;
    for (int k = 1; k <= elem.size() && !known; ++k) known = a.element == elem(k);
    if (!known) elem.raw().emplace_back(a.element);
  }
  const int nel = elem.size();
  Vec<int> elemcounts(nel, 0);
  for (int k = 1; k <= nel; ++k)
    for (const ClusterAtom& a : cluster.atoms)
      if (a.element == elem(k)) ++elemcounts(k);

  unit.write("(A,A)", "TITL  ", trim(in.system_name));
  unit.write("(A,6F10.4)", "CELL  0.71073", geo.a, geo.b, geo.c, geo.alpha / degree, geo.beta / degree,
             geo.gamma / degree);
  unit.write("(A)", "LATT  -1");
  // Symmetry cards only when the molecules were left as read, not regrouped or completed.
  if (!in.options.fragment_completion && !in.options.fragment_search) {
    for (int s = 1; s <= in.operators; ++s) {
      Mat3 rot;
      Vec3 trans;
      for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) rot(i, j) = geo.rot(s, i, j);
        trans(i) = geo.trans(s, i);
      }
      unit.write("(2A)", "SYMM ", writesymmop(rot, trans));
    }
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
    for (const ClusterAtom& a : cluster.atoms) {
      if (a.element != elem(k)) continue;
      ++n;
      unit.write("(A,I4,5F15.6)", symbol + digits(n), k, a.position(1), a.position(2), a.position(3), sp(11.0f),
                 sp(0.0f));
    }
  }
  unit.write("(A)", "END");
}

}  // namespace orbicutter
