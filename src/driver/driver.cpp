// The run, from the command line to the closing box.
#include "driver/driver.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cluster/cluster.hpp"
#include "driver/forms.hpp"
#include "fragments/fragments.hpp"
#include "geometry/geometry.hpp"
#include "input/input.hpp"
#include "model/stop.hpp"
#include "writers/writers.hpp"
#include "xh/xh.hpp"

namespace orbicutter {
namespace {

// The whole input file, or nothing when it cannot be opened or read (a folder too).
bool read_input(const std::string& path, std::string& contents) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return false;
  contents = ss.str();
  return true;
}

void open_product(Run& run, Unit& unit, const std::string& suffix) {
  const std::string name = run.gv.outf + suffix;
  if (!unit.open(name)) fail({" --> Output file cannot be created <--"});
  run.product_files.push_back(name);
}

void closing(Run& run, Unit& unit) {
  unit.write("(A)", "");
  unit.write("(3A)", " Total CPU time = ", cpu_text(cpu_seconds() - run.t0), " s");
  unit.write("(A)", "");
  unit.write("(A)", " ============");
  unit.write("(A)", " | Finished |");
  unit.write("(A)", " ============");
  unit.write("(A)", "");
}

void phases(Run& run, int argc, char** argv) {
  auto& gv = run.gv;
  auto& kw = run.kw;
  std::string arg = argc > 1 ? std::string(argv[1]).substr(0, 200) : std::string();
  gv.inpf = trim(arg);
  if (gv.inpf.empty()) fail({" --> No input file given <--"});
  gv.outf = system_name(gv.inpf);

  std::string contents;
  if (!read_input(gv.inpf, contents)) fail({" --> Input file cannot be opened <--"});
  if (!run.units.log.open(gv.outf + ".out")) fail({" --> Output file cannot be created <--"});

  logo(run.units.out, run.version);
  logo(run.units.log, run.version);

  readinp(run, contents);
  metric(run);

  if (kw.ktestmol == 0) {
    if (kw.kxyz == 1) open_product(run, run.units.xyz, ".xyz");
    if (kw.kadf == 1) open_product(run, run.units.adf, ".adf");
    if (kw.kshelx == 1) open_product(run, run.units.res, ".res");
    if (kw.kcrystal == 1) open_product(run, run.units.d12, ".d12");
    if (kw.kgaussian == 1) open_product(run, run.units.gjf, ".gjf");
  }

  special_positions(run);
  matrices(run);
  if (kw.kfragmentize == 1) fragment_search(run);
  fragment_modifications(run);
  connectivity(run);
  if (kw.kstxh == 1 && gv.nxh <= 0) connectivity_reduction(run);
  ring_phase(run);
  if (kw.kstxh == 1) xh_standardisation(run);
  cluster_building(run);
  if (kw.kdimer == 1) dimer_generation(run);
  if (kw.kxyz == 1) writexyz(run, run.units.xyz);
  if (kw.kadf == 1) writeadf(run, run.units.adf);
  if (kw.kshelx == 1) writeres(run, run.units.res);
  if (kw.kgaussian == 1) writegaussian(run, run.units.gjf);

  closing(run, run.units.log);
  closing(run, run.units.out);
}

// A failed run leaves no incomplete product behind.
void remove_products(Run& run) {
  for (Unit* u : {&run.units.xyz, &run.units.adf, &run.units.res, &run.units.d12, &run.units.gjf}) u->close();
  for (const auto& f : run.product_files) std::remove(f.c_str());
}

// A condition no phase foresaw still ends with a box and status 1, never a crash.
int abandon(Run& run, const std::vector<std::string>& messages) {
  for (const auto& l : box_lines(" !! ERROR in ORBICUTTER !!", messages, true)) run.units.out.line(l);
  run.units.out.flush();
  remove_products(run);
  return 1;
}

}  // namespace

int run_program(int argc, char** argv) {
  Run run;
  run.t0 = cpu_seconds();
  run.units.out = Unit::standard_output();
  try {
    phases(run, argc, argv);
  } catch (const Stop& stop) {
    for (const auto& l : stop.lines) run.units.out.line(l);
    run.units.out.flush();
    if (stop.status != 0) remove_products(run);
    return stop.status;
  } catch (const std::bad_alloc&) {
    return abandon(run, {" --> Not enough memory for this run <--"});
  } catch (const std::exception& e) {
    return abandon(run, {" --> Internal error: " + std::string(e.what()) + " <--"});
  }
  run.units.out.flush();
  return 0;
}

}  // namespace orbicutter
