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

void writexyz(const WriterInput& in, Unit& unit) {
  const ClusterModel& cluster = in.cluster;
  unit.write("(I6)", cluster.size());
  unit.write("(A)", trim(in.system_name));
  for (int i = 1; i <= cluster.size(); ++i) {
    const ClusterAtom& a = cluster.atom(i);
    std::string label = trim(a.element) + digits(i);
    if (a.operation != 1) {
      label += '_';
      label += digits(a.operation);
    }
    const Vec3 r = in.centred(i);
    unit.write("(A8,3F15.6)", label, r(1), r(2), r(3));
  }
  // Probe points are Cartesian already; only the centre is taken off.
  for_each_probe(in, [&](const std::string& label, const Table<real>& t, int r, int col) {
    probe_row(unit, " " + label, t, r, col, in.centre());
  });
  unit.write("(A)", "");
}

}  // namespace orbicutter
