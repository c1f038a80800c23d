// The run, from the command line to the closing box: the files of the run are
// opened, written and, when the run fails, taken back here.
#include "driver/driver.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "cluster/assemble.hpp"
#include "cluster/cluster.hpp"
#include "driver/forms.hpp"
#include "driver/pipeline.hpp"
#include "driver/usage.hpp"
#include "input/report.hpp"
#include "model/stop.hpp"
#include "writers/products.hpp"
#include "writers/writers.hpp"

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

// The files a run writes besides its log. Products (the output files and the
// dimer files) are registered, so that a failed run can take back what it left
// incomplete.
struct Files {
  std::vector<Unit> product = std::vector<Unit>(products().size());  // by row of the product table
  std::vector<Unit> companion = std::vector<Unit>(products().size());
  std::vector<std::string> created;

  void create(Unit& unit, const std::string& name) {
    if (!unit.open(name)) fail({" --> Output file cannot be created <--"});
  }
  void create_product(Unit& unit, const std::string& name) {
    create(unit, name);
    created.push_back(name);
  }
  void remove_products() {
    for (auto& u : product) u.close();
    for (auto& u : companion) u.close();
    for (const auto& f : created) std::remove(f.c_str());
  }
};

void closing(Unit& unit, double t0) {
  unit.write("(A)", "");
  unit.write("(3A)", " Total CPU time = ", cpu_text(cpu_seconds() - t0), " s");
  unit.write("(A)", "");
  unit.write("(A)", " ============");
  unit.write("(A)", " | Finished |");
  unit.write("(A)", " ============");
  unit.write("(A)", "");
}

void phases(Run& run, Files& files, int argc, char** argv, double t0) {
  auto& gv = run.gv;
  const auto& kw = run.kw;
  std::string arg = argc > 1 ? std::string(argv[1]).substr(0, 200) : std::string();
  gv.inpf = trim(arg);
  if (gv.inpf.empty()) fail({" --> No input file given <--"});
  gv.outf = system_name(gv.inpf);

  std::string contents;
  if (!read_input(gv.inpf, contents)) fail({" --> Input file cannot be opened <--"});
  files.create(run.sink.log, gv.outf + ".out");

  logo(run.sink.out, run.version);
  logo(run.sink.log, run.version);

  read_crystal(run, contents);
  if (kw.kver >= 1) {
    Unit echo;
    files.create(echo, "current_input.inp");
    write_echo(run, echo);
  }

  if (kw.ktestmol == 0) {
    const auto table = products();
    for (std::size_t p = 0; p < table.size(); ++p) {
      if (asked_for(table[p], kw)) files.create_product(files.product[p], product_file(table[p], run));
      if (companion_asked_for(table[p], kw)) files.create_product(files.companion[p], companion_file(table[p], run));
    }
  }

  build_molecules(run);
  cluster_head(run);
  if (kw.ktestmol != 0) {
    Unit testmol;
    files.create(testmol, "testmol.xyz");
    write_testmol(run, testmol);
    testmol.close();
    test_molecule_warning(run);
    return;
  }
  build_cluster(run);

  const ClusterView view(run);
  // One file per dimer (and its counterpoise file), complete and closed before the next is created.
  if (kw.kdimer == 1)
    find_dimers(run, [&](const DimerEntry& d) {
      const std::string name = "dimer_" + digits(d.number) + ".xyz";
      Unit xyz, cp;
      files.create_product(xyz, name);
      if (kw.kgaussian == 1) files.create_product(cp, name + "_G");
      write_dimer(view, d, xyz);
      if (kw.kgaussian == 1) write_counterpoise(view, d, cp);
    });

  const auto table = products();
  for (std::size_t p = 0; p < table.size(); ++p) {
    if (files.product[p].is_open()) table[p].write(view, files.product[p]);
    if (files.companion[p].is_open()) table[p].write_companion(view, files.companion[p]);
  }

  closing(run.sink.log, t0);
  closing(run.sink.out, t0);
}

// A condition no phase foresaw still ends with a box and status 1, never a crash.
int abandon(Run& run, Files& files, const std::vector<std::string>& messages) {
  for (const auto& l : box_lines(" !! ERROR in ORBICUTTER !!", messages, true)) run.sink.out.line(l);
  run.sink.out.flush();
  files.remove_products();
  return 1;
}

}  // namespace

int run_program(int argc, char** argv) {
  const double t0 = cpu_seconds();
  Run run;
  Files files;
  run.sink.out = Unit::standard_output();
  if (answer_request(argc, argv, run.sink.out)) {
    run.sink.out.flush();
    return 0;
  }
  try {
    phases(run, files, argc, argv, t0);
  } catch (const Error& error) {
    for (const auto& l : error_box(error)) run.sink.out.line(l);
    run.sink.out.flush();
    files.remove_products();
    return 1;
  } catch (const std::bad_alloc&) {
    return abandon(run, files, {" --> Not enough memory for this run <--"});
  } catch (const std::exception& e) {
    return abandon(run, files, {" --> Internal error: " + std::string(e.what()) + " <--"});
  }
  run.sink.out.flush();
  return 0;
}

}  // namespace orbicutter
