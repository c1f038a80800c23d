// The two requests the command line answers without a run: --help and --version.
#include "driver/usage.hpp"

#include <string_view>

#include "orbicutter/version.hpp"
#include "model/output_switches.hpp"

namespace orbicutter {
namespace {

const char* program() { return sizeof(real) == 4 ? "orbicutter_sp" : "orbicutter"; }

void help(Unit& out) {
  const std::string name = program();
  out.line("Usage: " + name + " INPUT");
  out.line("       " + name + " -- INPUT      (INPUT may begin with \"-\")");
  out.line("       " + name + " --help | --version");
  out.line("");
  out.line("Reads the keyword input file INPUT (cell, symmetry operators, the atoms of the");
  out.line("asymmetric unit and options), rebuilds whole molecules and cuts a cluster of them");
  out.line("around the central molecule. NAME is INPUT up to the first \".\" after its last \"/\".");
  out.line("");
  out.line("Writes NAME.out, the run log, and as the keywords ask:");
  auto file = [&](const std::string& name, const std::string& keyword, const std::string& about) {
    out.line("  " + fixed_text(name, 18) + fixed_text(keyword, 8) + about);
  };
  for (const auto& p : output_switches()) {
    std::string about = p.about;
    if (p.companion != nullptr) about += std::string(", with NAME") + p.companion + " at CHRG 1";
    file(std::string("NAME") + p.suffix, std::string(p.keyword) + " " + digits(p.value), about);
  }
  file("dimer_N.xyz", "DIMR 1", "one per dimer, with dimer_N.xyz_G at GAUF 1");
  file("testmol.xyz", "TEST 1", "the whole molecules, instead of any file above");
  file("current_input.inp", "VERB 1", "the main options as understood");
  out.line("Progress lines and error boxes go to standard output.");
  out.line("");
  out.line("Exit status: 0 after the run or the test-mode stop, 1 after an error box.");
  out.line("The keywords are described in the README, section \"Keyword reference\".");
}

}  // namespace

bool answer_request(int argc, char** argv, Unit& out) {
  if (argc != 2) return false;
  const std::string_view arg = argv[1];
  if (arg == "--help") {
    help(out);
    return true;
  }
  if (arg == "--version") {
    // The project's version, as every program of it says; the log banner keeps its own.
    out.line(std::string(program()) + " " ORBICUTTER_VERSION + (sizeof(real) == 4 ? " (4-byte reals)" : " (8-byte reals)"));
    return true;
  }
  return false;
}

std::string input_argument(int argc, char** argv) {
  int k = 1;
  if (k < argc && std::string_view(argv[k]) == "--") ++k;
  return k < argc ? std::string(argv[k]) : std::string();
}

}  // namespace orbicutter
