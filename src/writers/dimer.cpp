// The dimer files: the central molecule and one partner as XYZ, and the same
// atoms tagged by fragment for a counterpoise job.
#include "writers/writers.hpp"

namespace orbicutter {
namespace {

// The central molecule's rows, then the partner's, each with its fragment tag.
template <class Row>
void dimer_rows(const ClusterView& view, const DimerEntry& d, Row&& row) {
  const int ncentral = view.run.at.frag(1, frag_size);
  for (int i = 1; i <= ncentral; ++i) row(i, "(Fragment=1) ");
  for (int i = d.first; i < d.first + d.atoms; ++i) row(i, "(Fragment=2) ");
}

}  // namespace

void write_dimer(const ClusterView& view, const DimerEntry& d, Unit& unit) {
  const auto& at = view.run.at;
  const int op = at.cinfo(d.first, symmetry_operation);
  const int ta = at.cinfo(d.first, translation_a), tb = at.cinfo(d.first, translation_b),
            tc = at.cinfo(d.first, translation_c);
  unit.write("(I6)", at.frag(1, frag_size) + d.atoms);
  unit.write("(A,I4,A,4I3,A,5I1,A,I1)", " ORBICUTTER DIMER: ", d.number, " SYMMETRY: ", op, ta, tb, tc,
             " ORTEP: ", ta + 5, tb + 5, tc + 5, 0, op, " NDIM: ", d.multiplicity);
  dimer_rows(view, d, [&](int i, const char*) {
    unit.put("(2A4)", at.catns(i, 1));
    const Vec3 r = view.centred(i);
    unit.write("(3F15.6)", r(1), r(2), r(3));
  });
}

void write_counterpoise(const ClusterView& view, const DimerEntry& d, Unit& unit) {
  dimer_rows(view, d, [&](int i, const char* tag) {
    unit.put("(A)", trim(view.run.at.catns(i, 1)) + tag);
    const Vec3 r = view.centred(i);
    unit.write("(3F15.6)", r(1), r(2), r(3));
  });
  unit.write("(A)", " ");
  unit.write("(A)", " ");
}

}  // namespace orbicutter
