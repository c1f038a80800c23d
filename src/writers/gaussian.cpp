// The cluster as a Gaussian input template: a two-layer ONIOM optimisation with the
// central molecule as the free high layer, or an NMR job with ghost atoms at the
// ring probe points.
#include <array>
#include <cmath>

#include "geometry/geometry.hpp"
#include "writers/writers.hpp"

namespace orbicutter {
namespace {

std::string rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The 15-character atom name: element, empty atom-type field when layered, and the
// point charge with a "-" for anything below the charge threshold.
std::string atom_name(const WriterInput& in, int i, bool layered) {
  const std::string_view symbol = in.cluster.atom(i).element;
  std::string name = layered ? fixed_text(trim(symbol) + "--", 15) : fixed_text(symbol, 3) + std::string(12, ' ');
  if (in.options.charges) {
    const real q = in.cluster.atom(i).charge;
    const real magnitude = std::abs(q);
    const std::string text = trim(format_record("(F8.6)", std::array<Value, 1>{Value(magnitude)}));
    name = fixed_text(rtrim(name) + (q >= sp(1.0e-4f) ? text : "-" + text), 15);
  }
  return name;
}

}  // namespace

void writegaussian(const WriterInput& in, Unit& unit) {
  const ClusterModel& cluster = in.cluster;

  if (in.options.probes) {
    unit.write("(A)", "# B3LYP/aug-cc-PVDZ NMR #** PRINT-YOUR-KEYWORDS");
  } else {
    unit.write("(A)", "%mem=15GB");
    unit.write("(A)", "%NProcShared=8");
    unit.write("(A)", "%CHK=output.chk");
    unit.write("(A)", "#N ONIOM(BP86/6-31G(d):Amber=HardFirst) Opt Int=UltraFine");
    unit.write("(A)", " ");
    unit.write("(A)", " #** PRINT-YOUR-COMMENT ");
    unit.write("(A)", " ");
    unit.write("(A)", "0 1 1 1 1 1 0 1 #** MAY-BE-CHANGED ");
  }

  // The name takes the layered form above 0.01, the row the layered form from 0.01 on:
  // at exactly 0.01 a plain name stands in a layered row.
  const real limit = sp(0.01f);
  const bool layered_name = in.cell.dmax > limit;
  const bool layered_row = in.cell.dmax >= limit;
  const int ncentral = cluster.central_atoms;
  for (int i = 1; i <= cluster.size(); ++i) {
    const Vec3 r = in.centred(i);
    const real x = r(1), y = r(2), z = r(3);
    const std::string name = atom_name(in, i, layered_name);
    const bool central = i <= ncentral;
    if (layered_row)
      unit.write("(A15,A4,3F15.7,A)", name, central ? "  0 " : " -1 ", x, y, z, central ? " H" : " L");
    else
      unit.write("(A8,3F15.7,A)", name, x, y, z, " ");
  }

  // Ghost atoms at the ring centres and probe points, in the frame of the cluster centre.
  if (in.options.probes) {
    const Vec3& c = in.centre();
    const ProbePoints& probes = in.probes;
    int n = 0;
    auto ghost = [&](const Table<real>& t, int r, int col) {
      ++n;
      unit.write("(A8,3F15.7)", " Bq" + digits(n), t(r, col) - c(1), t(r, col + 1) - c(2), t(r, col + 2) - c(3));
    };
    for (int r = 1; r <= probes.rings; ++r) {
      ghost(probes.centres, r, 1);
      for (int j = 1; j <= probes.points; ++j) {
        ghost(probes.above, r, 3 * j - 2);
        ghost(probes.below, r, 3 * j - 2);
      }
    }
  }
  unit.write("(A)", "");
}

}  // namespace orbicutter
