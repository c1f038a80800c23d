// The cluster as XYZ coordinates, centred on the cluster centre, with the ring
// probe points as extra labelled rows.
#include "geometry/geometry.hpp"
#include "writers/writers.hpp"

namespace orbicutter {
namespace {

void probe_row(Unit& unit, const std::string& label, const Table<real>& t, int r, int col, const Vec3& shift) {
  unit.write("(A8,3F15.6)", label, t(r, col) - shift(1), t(r, col + 1) - shift(2), t(r, col + 2) - shift(3));
}

}  // namespace

void writexyz(const ClusterView& view, Unit& unit) {
  const auto& run = view.run;
  const auto& at = run.at;
  unit.write("(I6)", run.gv.ncluster);
  unit.write("(A)", trim(run.gv.outf));
  for (int i = 1; i <= run.gv.ncluster; ++i) {
    std::string label = trim(at.catns(i, 1)) + digits(i);
    if (at.cinfo(i, symmetry_operation) != 1) {
      label += '_';
      label += digits(at.cinfo(i, symmetry_operation));
    }
    unit.write("(A8,3F15.6)", label, view.centred(i, 1), view.centred(i, 2), view.centred(i, 3));
  }
  if (run.kw.knics == 1) {
    // Probe points are Cartesian already; only the centre is taken off.
    const Vec3& shift = view.centre;
    const auto& tmp = run.tmp;
    const int nrings = std::min(run.gv.nrings, tmp.nics0.rows());
    for (int r = 1; r <= nrings; ++r) {
      const std::string ring = digits(r);
      if (tmp.nics0.cols() >= 3) probe_row(unit, " X0_" + ring, tmp.nics0, r, 1, shift);
      for (int j = 1; j <= run.gv.nnics; ++j) {
        const int col = 3 * j - 2;
        const std::string tag = digits(j) + "_" + ring;
        if (r <= tmp.nics1.rows() && col + 2 <= tmp.nics1.cols()) probe_row(unit, " X1_" + tag, tmp.nics1, r, col, shift);
        if (r <= tmp.nics2.rows() && col + 2 <= tmp.nics2.cols()) probe_row(unit, " X2_" + tag, tmp.nics2, r, col, shift);
      }
    }
  }
  unit.write("(A)", "");
}

}  // namespace orbicutter
