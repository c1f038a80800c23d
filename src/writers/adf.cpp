// The cluster as an ADF QM/MM shell script: the central molecule is the QM region,
// every other cluster molecule a frozen MM region joined by the cluster bonds.
#include "format/log_forms.hpp"
#include "geometry/geometry.hpp"
#include "writers/writers.hpp"

namespace orbicutter {

void writeadf(const WriterInput& in, Unit& unit) {
  const ClusterModel& cluster = in.cluster;
  const int ncentral = cluster.central_atoms;

  unit.write("(A)", "#!/bin/sh");
  unit.write("(A)", "");
  unit.write("(A)", "\"$ADFBIN/adf\" <<eor");
  unit.write("(A)", "");
  unit.write("(A)", "Title #**  PRINT-YOUR-TITLE");
  unit.write("(A)", "");
  unit.write("(A)", "ATOMS");
  for (int i = 1; i <= cluster.size(); ++i) {
    const Vec3 r = in.centred(i);
    unit.write("(I6,A4,3F15.7,A)", cluster.atom(i).number, cluster.atom(i).element, r(1), r(2), r(3),
               i <= ncentral ? "   Fragment=Center" : "   Fragment=Shell");
  }
  unit.write("(A)", "");
  unit.write("(A)", " Basis");
  unit.write("(A)", "   #** PRINT-YOUR-BASIS-SET");
  unit.write("(A)", " End");
  unit.write("(A)", "");
  unit.write("(A)", " #** PRINT-YOUR-OTHER-KEYWORDS");
  unit.write("(A)", "");
  unit.write("(A)", " QMMM");
  unit.write("(A)", "   #** CHANGE-BELOW-IF-NEEDED");
  unit.write("(A)", "   NewQMMM");
  unit.write("(A)", "   Output_Level=1");
  unit.write("(A)", "   Warning_Level=0");
  unit.write("(A)", "   Partition=5");
  unit.write("(A)", "   Elstat_Coupling_Model 1");
  unit.write("(A)", "   Optimize");
  unit.write("(A)", "     Fix_MM_Geometry");
  unit.write("(A)", "     Method Conjgrad");
  unit.write("(A)", "     Max_Steps 5000");
  unit.write("(A)", "     Print_Cycles 10");
  unit.write("(A)", "     MM_NotConverged 0");
  unit.write("(A)", "   Subend");
  unit.write("(A)", "   Force_Field_File #** PRINT-YOUR-FORCE-FIELD-FILE-WITH-PATH");
  unit.write("(A)", "   MM_Connection_Table");
  // Bond rows list the bonded cluster atoms; the last column closes the row.
  for (int i = 1; i <= cluster.size(); ++i) {
    unit.put("(I6,A6,A)", cluster.atom(i).number, cluster.atom(i).label, i <= ncentral ? "  QM  " : "  MM  ");
    end_with_bonds(unit, cluster.bonds.of(i));
  }
  unit.write("(A)", "   Subend");
  if (in.options.charges) {
    unit.write("(A)", "   Charges");
    for (const ClusterAtom& a : cluster.atoms) unit.write("(I6,F8.2)", a.number, a.charge);
    unit.write("(A)", "   Subend");
  }
  unit.write("(A)", " End");
  unit.write("(A)", "");
  unit.write("(A)", "eor");
  unit.write("(A)", "");
}

}  // namespace orbicutter
