// The cluster as an ORCA input template: the central molecule is the QM region.
// With charges (CHRG 1) the other cluster atoms are point charges in a companion
// file; without, the whole cluster stands in the coordinates and the central
// molecule is the QM part of a QM/MM job. Method, basis, resources and the force
// field are marked placeholders (#** ...), comments to ORCA.
#include <cmath>

#include "writers/writers.hpp"

namespace orbicutter {
namespace {

// The companion file's name as the input names it: beside the input, without folders.
std::string point_charge_file(const WriterInput& in) {
  const std::string path = in.system_name + ".orca.pc";
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void coordinates(const WriterInput& in, Unit& unit, int last, int charge) {
  unit.write("(3A)", "* xyz ", digits(charge), " 1  #** MAY-BE-CHANGED");
  for (int i = 1; i <= last; ++i) {
    const Vec3 r = in.centred(i);
    unit.write("(2X,A3,3F15.7)", in.cluster.atom(i).element, r(1), r(2), r(3));
  }
  unit.write("(A)", "*");
}

}  // namespace

void write_orca(const WriterInput& in, Unit& unit) {
  const ClusterModel& cluster = in.cluster;
  const int ncentral = cluster.central_atoms;
  const bool charges = in.options.charges;
  unit.write("(A)", "# ORBICUTTER job");
  unit.write("(A)",
             charges ? "! B3LYP D3BJ def2-SVP  #** MAY-BE-CHANGED" : "! QMMM B3LYP D3BJ def2-SVP  #** MAY-BE-CHANGED");
  unit.write("(A)", "%pal nprocs 8 end  #** MAY-BE-CHANGED");
  unit.write("(A)", "%maxcore 2000  #** MAY-BE-CHANGED");
  if (charges) {
    // The central molecule's charge, to the nearest whole charge.
    real sum = 0;
    for (int i = 1; i <= ncentral; ++i) sum += cluster.atom(i).charge;
    unit.write("(3A)", "%pointcharges \"", point_charge_file(in), "\"");
    coordinates(in, unit, ncentral, static_cast<int>(std::lround(sum)));
    return;
  }
  unit.write("(A)", "%qmmm");
  // ORCA counts atoms from 0.
  if (ncentral > 1)
    unit.write("(3A)", "  QMAtoms {0:", digits(ncentral - 1), "} end");
  else
    unit.write("(A)", "  QMAtoms {0} end");
  unit.write("(A)", "  ORCAFFFilename \"orca.ORCAFF.prms\"  #** PRINT-YOUR-FORCE-FIELD-FILE");
  unit.write("(A)", "end");
  coordinates(in, unit, cluster.size(), 0);
}

void write_orca_point_charges(const WriterInput& in, Unit& unit) {
  const ClusterModel& cluster = in.cluster;
  const int ncentral = cluster.central_atoms;
  unit.write("(A)", digits(cluster.size() - ncentral));
  for (int i = ncentral + 1; i <= cluster.size(); ++i) {
    const Vec3 r = in.centred(i);
    unit.write("(F12.6,3F15.7)", cluster.atom(i).charge, r(1), r(2), r(3));
  }
}

}  // namespace orbicutter
