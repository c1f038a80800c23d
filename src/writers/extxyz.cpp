// The cluster as extended XYZ, which general structure readers take in: the
// element symbol first on each row, then the position, the atom label and the
// molecule number, as the comment line declares them. Ring probe points follow
// as dummy atoms (species X) of molecule 0, counted like the atoms.
#include "writers/writers.hpp"

namespace orbicutter {
namespace {

// A comment-line value in double quotes, with quotes and backslashes escaped.
std::string quoted(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + '"';
}

void row(Unit& unit, const std::string& species, real x, real y, real z, const std::string& label, int molecule) {
  unit.write("(A3,3F15.6,1X,A,1X,A)", species, x, y, z, label, digits(molecule));
}

}  // namespace

void write_extended_xyz(const WriterInput& in, Unit& unit) {
  const ClusterModel& cluster = in.cluster;
  long long probes = 0;
  for_each_probe(in, [&](const std::string&, const Table<real>&, int, int) { ++probes; });
  unit.write("(A)", digits(cluster.size() + probes));
  unit.write("(2A)", "Properties=species:S:1:pos:R:3:label:S:1:molecule:I:1 name=", quoted(trim(in.system_name)));
  for (int i = 1; i <= cluster.size(); ++i) {
    const Vec3 r = in.centred(i);
    row(unit, trim(cluster.atom(i).element), r(1), r(2), r(3), trim(cluster.atom(i).label), in.molecule(i));
  }
  // Probe points are Cartesian already; only the centre is taken off.
  const Vec3& c = in.centre();
  for_each_probe(in, [&](const std::string& label, const Table<real>& t, int r, int col) {
    row(unit, "X", t(r, col) - c(1), t(r, col + 1) - c(2), t(r, col + 2) - c(3), label, 0);
  });
}

}  // namespace orbicutter
