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
    const Vec3 r = view.centred(i);
    unit.write("(A8,3F15.6)", label, r(1), r(2), r(3));
  }
  // Probe points are Cartesian already; only the centre is taken off.
  for_each_probe(run, [&](const std::string& label, const Table<real>& t, int r, int col) {
    probe_row(unit, " " + label, t, r, col, view.centre);
  });
  unit.write("(A)", "");
}

}  // namespace orbicutter
