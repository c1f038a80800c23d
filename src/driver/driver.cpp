// The run, from the command line to the closing box: the files of the run are
// opened, written, checked and made final here, or taken back when the run fails.
#include "driver/driver.hpp"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include "cluster/assemble.hpp"
#include "cluster/cluster.hpp"
#include "format/log_forms.hpp"
#include "driver/interruption.hpp"
#include "driver/output_files.hpp"
#include "pipeline/pipeline.hpp"
#include "driver/usage.hpp"
#include "input/report.hpp"
#include "model/stop.hpp"
#include "writers/products.hpp"
#include "writers/writers.hpp"

namespace orbicutter {
namespace {

// The whole input file; an Error naming the file and the system's reason when it
// cannot be opened or read (a folder too).
std::string read_input(const std::string& path) {
  const auto refuse = [&](const std::string& reason) {
    fail({" --> Input file cannot be opened <--", " --> " + path + ": " + reason + " <--"});
  };
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) refuse("is a folder");
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) refuse(errno != 0 ? std::generic_category().message(errno) : "cannot be read");
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) refuse(errno != 0 ? std::generic_category().message(errno) : "cannot be read");
  return ss.str();
}

// The units of the files a run writes besides its log, and where they go.
// Products (the output files and the dimer files) are closed, and so checked,
// as soon as their writer is done.
struct Files {
  explicit Files(std::string input) : out(std::move(input)) {}
  OutputFiles out;
  std::vector<Unit> product = std::vector<Unit>(output_switches().size());  // by row of the product table
  std::vector<Unit> companion = std::vector<Unit>(output_switches().size());
};

// A dimer file of the current folder: the run with DIMR 1 could write over it.
bool looks_like_dimer_file(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path p(path);
  const std::string name = p.filename().string();
  std::error_code ec;
  if (!fs::equivalent(p.has_parent_path() ? p.parent_path() : fs::path("."), ".", ec)) return false;
  for (const std::string suffix : {".xyz", ".xyz_G"}) {
    if (name.size() <= 6 + suffix.size() || name.rfind("dimer_", 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    const std::string number = name.substr(6, name.size() - 6 - suffix.size());
    if (number.find_first_not_of("0123456789") == std::string::npos) return true;
  }
  return false;
}

// Every file name the keywords give is checked before any file is written.
void refuse_overwriting_input(const Run& run, const OutputFiles& files) {
  const auto& kw = run.kw;
  if (kw.kver >= 1) files.refuse_input("current_input.inp");
  if (kw.ktestmol != 0) {
    files.refuse_input("testmol.xyz");
    return;
  }
  for (const auto& p : output_switches()) {
    if (asked_for(p, kw)) files.refuse_input(product_file(p, run.gv.outf));
    if (companion_asked_for(p, kw)) files.refuse_input(companion_file(p, run.gv.outf));
  }
  if (kw.kdimer == 1 && looks_like_dimer_file(run.gv.inpf))
    fail({" --> Output file " + run.gv.inpf + " is the input file <--"});
}

void closing(Unit& unit, double t0) {
  unit.write("(A)", "");
  unit.write("(3A)", " Total CPU time = ", cpu_text(cpu_seconds() - t0), " s");
  unit.write("(A)", "");
  unit.write("(A)", " ============");
  unit.write("(A)", " | Finished |");
  unit.write("(A)", " ============");
  unit.write("(A)", "");
}

void phases(Run& run, Files& files, double t0) {
  auto& gv = run.gv;
  const auto& kw = run.kw;
  gv.outf = system_name(gv.inpf);

  const std::string contents = read_input(gv.inpf);
  files.out.create_log(run.sink.log, gv.outf + ".out");

  logo(run.sink.out, run.version);
  logo(run.sink.log, run.version);

  read_crystal(run, contents);
  refuse_overwriting_input(run, files.out);
  if (kw.kver >= 1) {
    Unit echo;
    files.out.create(echo, "current_input.inp");
    write_echo(run, echo);
    echo.close();
  }

  if (kw.ktestmol == 0) {
    const auto table = output_switches();
    for (std::size_t p = 0; p < table.size(); ++p) {
      if (asked_for(table[p], kw)) files.out.create(files.product[p], product_file(table[p], run.gv.outf));
      if (companion_asked_for(table[p], kw))
        files.out.create(files.companion[p], companion_file(table[p], run.gv.outf));
    }
  }

  build_molecules(run);
  cluster_head(run);
  if (kw.ktestmol != 0) {
    Unit testmol;
    files.out.create(testmol, "testmol.xyz");
    write_testmol(molecule_atoms(run), run.geo.mt, run.geo.geomcent, gv.outf, testmol);
    testmol.close();
    test_molecule_warning(run.sink);
    return;
  }
  const ClusterModel cluster = build_cluster(run);

  const WriterInput in = writer_input(run, cluster);
  // One file per dimer (and its counterpoise file), complete and closed before the next is created.
  if (kw.kdimer == 1)
    find_dimers(run, cluster, [&](const DimerEntry& d) {
      const std::string name = "dimer_" + digits(d.number) + ".xyz";
      Unit xyz, cp;
      files.out.create(xyz, name);
      if (kw.kgaussian == 1) files.out.create(cp, name + "_G");
      write_dimer(in, d, xyz);
      xyz.close();
      if (kw.kgaussian == 1) {
        write_counterpoise(in, d, cp);
        cp.close();
      }
    });

  const auto table = output_switches();
  for (std::size_t p = 0; p < table.size(); ++p) {
    if (files.product[p].is_open()) {
      writer_of(table[p]).write(in, files.product[p]);
      files.product[p].close();
    }
    if (files.companion[p].is_open()) {
      writer_of(table[p]).write_companion(in, files.companion[p]);
      files.companion[p].close();
    }
  }

  closing(run.sink.log, t0);
  closing(run.sink.out, t0);
}

// The box on standard output, or on standard error when standard output has failed.
void show_box(Run& run, const std::vector<std::string>& lines) {
  Unit* unit = &run.sink.out;
  Unit fallback = Unit::standard_error();
  for (int attempt = 0; attempt < 2; ++attempt, unit = &fallback) {
    if (unit->failed()) continue;
    try {
      for (const auto& l : lines) unit->line(l);
      unit->flush();
      return;
    } catch (const Error&) {
    }
  }
}

// The end of a failed run: the box, on standard output and at the end of the log,
// which is kept so that it says why the run stopped; every other file taken back.
int abandon(Run& run, Files& files, const std::vector<std::string>& box) {
  show_box(run, box);
  if (run.sink.log.is_open() && !run.sink.log.failed()) {
    try {
      for (const auto& l : box) run.sink.log.line(l);
    } catch (...) {
      // the log cannot be written (or no memory is left for it): the earlier log stays
    }
  }
  for (auto& u : files.product) u = Unit();
  for (auto& u : files.companion) u = Unit();
  files.out.after_failure(run.sink.log);
  return 1;
}

}  // namespace

int run_program(int argc, char** argv) {
  const double t0 = cpu_seconds();
  const Interruption interruption;
  Run run;
  run.sink.out = Unit::standard_output();
  run.gv.inpf = input_argument(argc, argv);
  Files files(run.gv.inpf);
  try {
    if (answer_request(argc, argv, run.sink.out)) {
      run.sink.out.flush();
      return 0;
    }
    if (trim(run.gv.inpf).empty()) fail({" --> No input file given <--"});
    phases(run, files, t0);
    run.sink.log.close();
    run.sink.out.flush();
    files.out.commit();
  } catch (const Error& error) {
    return abandon(run, files, error_box(error));
  } catch (const std::bad_alloc&) {
    return abandon(run, files, box_lines(" !! ERROR in ORBICUTTER !!", {" --> Not enough memory for this run <--"}, true));
  } catch (const std::exception& e) {
    return abandon(run, files,
                   box_lines(" !! ERROR in ORBICUTTER !!", {" --> Internal error: " + std::string(e.what()) + " <--"}, true));
  }
  return 0;
}

}  // namespace orbicutter
