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
std::string point_charge_file(const Run& run) {
  const std::string path = run.gv.outf + ".orca.pc";
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

real input_charge(const Run& run, int i) { return run.at.fcharge(run.at.cinfo(i, total_atom)); }

void coordinates(const ClusterView& view, Unit& unit, int last, int charge) {
  unit.write("(3A)", "* xyz ", digits(charge), " 1  #** MAY-BE-CHANGED");
  for (int i = 1; i <= last; ++i) {
    const Vec3 r = view.centred(i);
    unit.write("(2X,A3,3F15.7)", view.run.at.catns(i, 1), r(1), r(2), r(3));
  }
  unit.write("(A)", "*");
}

}  // namespace

void write_orca(const ClusterView& view, Unit& unit) {
  const auto& run = view.run;
  const int ncentral = run.at.frag(1, frag_size);
  const bool charges = run.kw.kcharge == 1;
  unit.write("(A)", "# ORBICUTTER job");
  unit.write("(A)",
             charges ? "! B3LYP D3BJ def2-SVP  #** MAY-BE-CHANGED" : "! QMMM B3LYP D3BJ def2-SVP  #** MAY-BE-CHANGED");
  unit.write("(A)", "%pal nprocs 8 end  #** MAY-BE-CHANGED");
  unit.write("(A)", "%maxcore 2000  #** MAY-BE-CHANGED");
  if (charges) {
    // The central molecule's charge, to the nearest whole charge.
    real sum = 0;
    for (int i = 1; i <= ncentral; ++i) sum += input_charge(run, i);
    unit.write("(3A)", "%pointcharges \"", point_charge_file(run), "\"");
    coordinates(view, unit, ncentral, static_cast<int>(std::lround(sum)));
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
  coordinates(view, unit, run.gv.ncluster, 0);
}

void write_orca_point_charges(const ClusterView& view, Unit& unit) {
  const auto& run = view.run;
  const int ncentral = run.at.frag(1, frag_size);
  unit.write("(A)", digits(run.gv.ncluster - ncentral));
  for (int i = ncentral + 1; i <= run.gv.ncluster; ++i) {
    const Vec3 r = view.centred(i);
    unit.write("(F12.6,3F15.7)", input_charge(run, i), r(1), r(2), r(3));
  }
}

}  // namespace orbicutter
