// The converter's steps: read, convert, write, then run or check.
#include "cif/app.hpp"

#include <filesystem>
#include <sstream>

#include "cif/atomic_file.hpp"
#include "cif/check_advice.hpp"
#include "cif/cif_reader.hpp"
#include "cif/conversion.hpp"
#include "cif/convert_api.hpp"
#include "cif/error.hpp"
#include "cif/keyword_input.hpp"
#include "cif/molecule_check.hpp"
#include "cif/molecule_trial.hpp"
#include "cif/report.hpp"
#include "cif/run_folder.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace fs = std::filesystem;
namespace {

void list_blocks(const std::vector<CifBlock>& blocks, const std::string& path, std::ostream& out) {
  out << path << ": " << blocks.size() << (blocks.size() == 1 ? " data block" : " data blocks") << " with atom sites\n";
  for (const auto& b : blocks) {
    const std::string formula = !b.formula_moiety.empty() ? b.formula_moiety : !b.formula_sum.empty() ? b.formula_sum : "-";
    const std::string group = !b.hermann_mauguin.empty() ? b.hermann_mauguin
                              : !b.hall.empty()          ? "Hall " + b.hall
                              : !b.number.empty()        ? "No. " + b.number
                                                         : "-";
    out << "  " << b.name << ": " << b.sites.size() << " sites, " << formula << ", " << group << '\n';
  }
}

// The message lines of the full run's boxes on its screen output, joined.
std::string box_message(const std::string& out) {
  std::string msg;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    const auto a = line.find("--> "), b = line.rfind(" <--");
    if (a == std::string::npos || b == std::string::npos || b <= a) continue;
    std::string part = line.substr(a + 4, b - a - 4);
    while (!part.empty() && part.back() == ' ') part.pop_back();
    msg += (msg.empty() ? "" : " ") + part;
  }
  if (!msg.empty()) return msg;
  const std::string all = trimmed(out);  // no box: its last line
  return all.empty() ? "no output" : all.substr(all.rfind('\n') + 1);
}

void report_check(const Conversion& cv, const std::vector<Composition>& rebuilt, std::ostream& out, const Options& o,
                  const std::string& input_name) {
  const MoleculeCheck check = check_molecules(cv.formula_moiety, rebuilt);
  for (const auto& l : check.lines) out << "  " << l << '\n';
  for (const auto& w : check.warnings) out << "  warning: " << w << '\n';
  if (const std::string advice = tolerance_advice(cv, o, input_name, check); !advice.empty())
    out << "  " << advice << '\n';
}

}  // namespace

std::string one_line(const std::string& message) {
  std::string out;
  bool blank = false;
  for (char c : message) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f || c == ' ') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

int run_converter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    const Options o = parse_command_line(args);
    if (o.help) {
      out << help_text();
      return 0;
    }
    if (o.version) {
      out << "orbicutter-cif " ORBICUTTER_CIF_VERSION "\n";
      return 0;
    }
    const std::vector<CifBlock> blocks = read_cif(o.cif_path);
    if (o.list) {
      list_blocks(blocks, o.cif_path, out);
      return 0;
    }
    PreparedInput prepared = prepare_input(blocks, o);
    const Conversion& cv = prepared.cv;
    const bool to_stdout = o.output == "-";
    const std::string output = !o.output.empty() ? o.output : folder_run(o) ? folder_input(o) : default_output(o.cif_path);
    std::error_code ec;
    if (!to_stdout && fs::equivalent(output, o.cif_path, ec))
      throw ConversionError("the input would overwrite the CIF " + o.cif_path + "; name it with -o");
    const std::string input_name = to_stdout ? default_output(o.cif_path) : output;

    // The full run of --run is the program itself, so that its files and log are
    // those of a run by hand; without it nothing is written.
    const std::string program = o.run ? find_orbicutter() : std::string();
    const RingList rings = input_rings(prepared, o, input_name);
    const std::string text = keyword_input(cv, o, rings);
    std::ostream& summary = to_stdout ? err : out;
    if (to_stdout)
      out << text << std::flush;
    else if (!folder_run(o))  // there the run writes it
      write_atomically(output, text);
    summary << summary_text(cv, to_stdout ? "standard output" : output) << "  " << prepared.centre << '\n';
    for (const std::string& line : prepared.charges) summary << "  " << line << '\n';
    if (o.rings) summary << "  " << rings.size() << " ring(s) listed for the planarity test\n";

    if (o.run) {
      const fs::path target(output);
      const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
      std::string kept;  // a failed run's scratch folder
      const ProgramRun r = folder_run(o) ? run_in_folder(program, output, text, kept)
                                         : run_orbicutter(program, folder, target.filename().string());
      const std::string log = ((kept.empty() ? target.parent_path() : fs::path(kept)) / log_name(target.filename().string())).string();
      if (r.status != 0) {
        // Why it stopped, from the library: a growing fragment is named there.
        const MoleculeTrial trial = molecule_trial(text, input_name);
        if (const std::string growth = growth_failure(trial, cv, o, input_name); !growth.empty()) throw ConversionError(growth + " (its log: " + log + ")");
        throw ConversionError("orbicutter stopped: " + box_message(r.out) + " (its log: " + log + ")");
      }
      summary << "  orbicutter finished; its log: " << log << '\n';
      if (o.dimers)  // read from the library, which the run itself uses
        for (const std::string& line : dimer_lines(text)) summary << "  " << line << '\n';
      const MoleculeTrial trial = molecule_trial(text, input_name);
      report_check(cv, trial.stopped ? std::vector<Composition>{} : compositions(trial.molecules), summary, o, input_name);
    } else if (o.check) {
      const MoleculeTrial trial = molecule_trial(text, input_name);
      if (const std::string growth = growth_failure(trial, cv, o, input_name); !growth.empty()) throw ConversionError(growth);
      if (trial.stopped) throw ConversionError("orbicutter stopped in the check run: " + trial.message);
      report_check(cv, compositions(trial.molecules), summary, o, input_name);
    }
    return 0;
  } catch (const std::exception& e) {  // ConversionError, and the unforeseen ones
    err << "orbicutter-cif: error: " << one_line(e.what()) << '\n';
  }
  return 1;
}

}  // namespace orbicutter::cif
