// The dimer files: the central molecule and one partner as XYZ, and the same
// atoms tagged by fragment for a counterpoise job.
#include "writers/writers.hpp"

namespace orbicutter {
namespace {

// The central molecule's rows, then the partner's, each with its fragment tag.
template <class Row>
void dimer_rows(const WriterInput& in, const DimerEntry& d, Row&& row) {
  const int ncentral = in.cluster.central_atoms;
  for (int i = 1; i <= ncentral; ++i) row(i, "(Fragment=1) ");
  for (int i = d.first; i < d.first + d.atoms; ++i) row(i, "(Fragment=2) ");
}

}  // namespace

void write_dimer(const WriterInput& in, const DimerEntry& d, Unit& unit) {
  const ClusterModel& cluster = in.cluster;
  const ClusterAtom& first = cluster.atom(d.first);
  const int op = first.operation;
  const int ta = first.cell[0], tb = first.cell[1], tc = first.cell[2];
  unit.write("(I6)", cluster.central_atoms + d.atoms);
  unit.write("(A,I4,A,4I3,A,5I1,A,I1)", " ORBICUTTER DIMER: ", d.number, " SYMMETRY: ", op, ta, tb, tc,
             " ORTEP: ", ta + 5, tb + 5, tc + 5, 0, op, " NDIM: ", d.multiplicity);
  dimer_rows(in, d, [&](int i, const char*) {
    unit.put("(2A4)", cluster.atom(i).element);
    const Vec3 r = in.centred(i);
    unit.write("(3F15.6)", r(1), r(2), r(3));
  });
}

void write_counterpoise(const WriterInput& in, const DimerEntry& d, Unit& unit) {
  dimer_rows(in, d, [&](int i, const char* tag) {
    unit.put("(A)", trim(in.cluster.atom(i).element) + tag);
    const Vec3 r = in.centred(i);
    unit.write("(3F15.6)", r(1), r(2), r(3));
  });
  unit.write("(A)", " ");
  unit.write("(A)", " ");
}

}  // namespace orbicutter
