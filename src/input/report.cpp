// What the reader understood of the input file, restated in the run log.
#include "input/report.hpp"

#include "format/log_forms.hpp"
#include "input/input.hpp"
#include "model/warning.hpp"
#include "model/output_switches.hpp"

namespace orbicutter {
namespace {

void write_options(Run& run) {
  auto& log = run.sink.log;
  const auto& kw = run.kw;
  const auto& gv = run.gv;

  log.write("(A)", rule_line);
  log.write("(A)", " ** INPUT FILE SECTION **");
  log.write("(A)", rule_line);
  log.write("(A,A)", " Input file name = ", trim(gv.inpf));
  log.write("(A,I1)", " Verbosity level = ", kw.kver);
  if (kw.kver >= 1)
    warn(run.sink, run.diag, "READINP", {" --> Verbosity variable is not zero <--", " --> Output file may be large       <--"});
  // The files of the cluster, the charges they carry, then the files of the crystal.
  auto report = [&](const OutputSwitch& p) {
    if (p.generation != nullptr && listed(p, kw)) log.write("(A,I1)", p.generation, kw.*p.flag);
    if (asked_for(p, kw)) log.write("(A,A)", p.name, product_file(p, run.gv.outf));
  };
  for (const auto& p : output_switches())
    if (!p.crystal) report(p);
  for (const auto& p : output_switches())
    if (p.charges != nullptr && p.charges_listed(kw)) log.write("(A,I1)", p.charges, kw.kcharge);
  for (const auto& p : output_switches())
    if (p.crystal) report(p);
  log.write("(A,I1)", " Cluster building method = ", kw.kbuild);
  log.write("(A,I1)", " Fragment shifting = ", kw.kfragsft);
  log.write("(A,I1)", " Fragment building = ", kw.kfragbld);
  log.write("(A,I1)", " Automatic fragment search = ", kw.kfragmentize);
  if (kw.kfragmentize == 1 && gv.nfrag > 1)
    warn(run.sink, run.diag, "READINP",
         {" --> Automatic fragment search is disabled <--", " --> Number of fragments exceeds 1         <--"});
  log.write("(A,I1)", " Exclude bonds during fragment search = ", kw.kexbd);
  if (kw.kexbd == 1) {
    log.write("(A,I1)", " Bonds to be omitted = ", gv.nex);
    for (int k = 1; k <= gv.nex; ++k) log.write("(4A)", "  ", trim(gv.aex(k, 1)), " - ", trim(gv.aex(k, 2)));
  }
  log.write("(A)", rule_line);
}

void write_cell(Run& run) {
  auto& log = run.sink.log;
  const auto& kw = run.kw;
  const auto& gv = run.gv;
  const auto& geo = run.geo;

  log.write("(A,F6.2)", " Maximal distance for cluster generation = ", geo.dmax);
  log.write("(A,6F10.4)", " Unit cell parameters = ", geo.a, geo.b, geo.c, geo.alpha / degree, geo.beta / degree,
            geo.gamma / degree);
  log.write("(A,F8.2)", " Tolerance for covalent bonds search = ", gv.tol1);
  if (kw.kmtol == 1) log.write("(A,F8.2)", " Tolerance for bonds to metals = ", gv.mtol);
  log.write("(A,I1)", " Fixing of geometrical center = ", kw.kgecr);
  if (kw.kgecr == 1)
    log.write("(A,3F10.6)", " Geometrical center = ", geo.geomcentfix(1), geo.geomcentfix(2), geo.geomcentfix(3));
  log.write("(A,I1)", " Standardize X-H bonds = ", kw.kstxh);
  if (kw.kstxh == 1 && gv.nxh <= 0) log.write("(A,I5)", " Automatic X-H bonds standardization = ", gv.nxh);
  if (kw.kstxh == 1 && gv.nxh != 0) log.write("(A,I5)", " Manual X-H bonds standardization = ", gv.nxh);
  if (gv.nxh != 0)
    for (int i = 1; i <= gv.axh.rows(); ++i)
      log.write("(A,I6,A,I6,A,F8.4)", " X = ", gv.axh(i, 1), "  |  H = ", gv.axh(i, 2), "  |  Target distance = ",
                gv.dxh(i));
  log.write("(A)", rule_line);
}

void write_operators(Run& run) {
  auto& log = run.sink.log;
  const auto& geo = run.geo;
  const int nsym = run.gv.nsym;

  log.write("(A,I6)", " Number of symmetry operators = ", nsym);
  for (int k = 1; k <= nsym; ++k) {
    Mat3 r;
    Vec3 t;
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) r(i, j) = geo.rot(k, i, j);
      t(i) = geo.trans(k, i);
    }
    log.write("(A,I2,A,A)", " Symmetry operation: ", k, " : ", writesymmop(r, t));
    if (run.kw.kver >= 1) {
      log.write("(A,3F7.3,A,F7.3,A)", " [ ", r(1, 1), r(1, 2), r(1, 3), " ]   [ ", t(1), " ]");
      log.write("(A,3F7.3,A,F7.3,A)", " [ ", r(2, 1), r(2, 2), r(2, 3), " ] + [ ", t(2), " ]");
      log.write("(A,3F7.3,A,F7.3,A)", " [ ", r(3, 1), r(3, 2), r(3, 3), " ]   [ ", t(3), " ]");
    }
  }
  log.write("(A)", rule_line);
}

void write_atoms(Run& run) {
  auto& log = run.sink.log;
  const auto& gv = run.gv;
  const auto& at = run.at;
  const auto& kw = run.kw;

  log.write("(A,I6)", " Number of fragments = ", gv.nfrag);
  for (int m = 1; m <= gv.nfrag; ++m)
    log.write("(A,I6,A,I6)", " Fragment number = ", at.frag(m, frag_id),
              "  |  Number of atoms = ", at.frag(m, frag_size));
  log.write("(A)", rule_line);
  log.write("(A,I6)", " Total number of atoms = ", gv.nat);
  if (kw.kver >= 2) {
    log.write("(A)", "  >> (1) element type");
    log.write("(A)", "  >> (2) atomic type");
    log.write("(A)", "  >> (3) total atom number");
    log.write("(A)", "  >> (4) fragment atom number");
    log.write("(A)", "  >> (5) fragment number");
    log.write("(A)", "  >> (6) x-fractional coordinate");
    log.write("(A)", "  >> (7) y-fractional coordinate");
    log.write("(A)", "  >> (8) z-fractional coordinate");
    if (kw.kcharge == 1) log.write("(A)", "  >> (9) atom charge");
  }
  for (int t = 1; t <= gv.nat; ++t) write_fragment_atom(run, log, t);
  log.write("(A)", rule_line);
}

}  // namespace

void write_echo(const Run& run, Unit& echo) {
  const auto& kw = run.kw;
  const auto& gv = run.gv;
  const auto& geo = run.geo;
  // Each output file's switch follows the line its row names.
  auto switches_after = [&](std::string_view key, auto& self) -> void {
    for (const auto& p : output_switches())
      if (p.echo_after != nullptr && key == p.echo_after && listed(p, kw)) {
        echo.write("(A4,1X,I1)", p.keyword, kw.*p.flag);
        self(p.keyword, self);
      }
  };
  auto line = [&]<class... V>(const char* key, LayoutFor<const char*, V...> layout, const V&... values) {
    echo.write(layout, key, values...);
    switches_after(key, switches_after);
  };
  echo.write("(A)", "!-----");
  echo.write("(A)", "! Current input file");
  echo.write("(A)", "!-----");
  line("CLUS", "(A4,1X,I1)", kw.kbuild);
  line("FRGM", "(A4,1X,I1,1X,I1,1X,I1)", kw.kfragsft, kw.kfragbld, kw.kfragmentize);
  line("TEST", "(A4,1X,I1)", kw.ktestmol);
  line("VERB", "(A4,1X,I1)", kw.kver);
  line("CHRG", "(A4,1X,I1)", kw.kcharge);
  line("DMAX", "(A4,F6.2)", geo.dmax);
  line("TOLS", "(A4,4F8.2)", gv.tol1, gv.tol2, gv.tol3, gv.tol4);
  if (kw.kmtol == 1) line("MTOL", "(A4,F8.2)", gv.mtol);
  line("CELL", "(A4,6F10.4)", geo.a, geo.b, geo.c, geo.alpha / degree, geo.beta / degree, geo.gamma / degree);
  line("STXH", "(A4)");
  line("EXBD", "(A4)");
  line("SYMM", "(A4)");
  line("NFRG", "(A4)");
  line("GECR", "(A4,1X,I1)", kw.kgecr);
  line("RING", "(A4,1X,I1)", kw.kring);
  line("NICS", "(A4,1X,I1,F5.2,I2)", kw.knics, gv.dnics, gv.nnics);
  // The Gaussian switch once more, as every echo file has carried it.
  echo.write("(A4,1X,I1)", "GAUF", kw.kgaussian);
  echo.write("(A)", "!-----");
  echo.write("(A)", " ");
}

void write_input_report(Run& run) {
  write_options(run);
  write_cell(run);
  write_operators(run);
  write_atoms(run);
}

}  // namespace orbicutter

namespace orbicutter {

void write_fragment_atom(const Run& run, Unit& unit, int t) {
  const auto& at = run.at;
  if (run.kw.kcharge == 1)
    unit.write("(2A4,3I6,3F10.6,F10.6)", at.fatns(t, 1), at.fatns(t, 2), at.finfo(t, total_atom),
               at.finfo(t, fragment_atom), at.finfo(t, fragment_number), at.fgeom(t, 1), at.fgeom(t, 2), at.fgeom(t, 3),
               at.fcharge(t));
  else
    unit.write("(2A4,3I6,3F10.6)", at.fatns(t, 1), at.fatns(t, 2), at.finfo(t, total_atom), at.finfo(t, fragment_atom),
               at.finfo(t, fragment_number), at.fgeom(t, 1), at.fgeom(t, 2), at.fgeom(t, 3));
}

}  // namespace orbicutter
