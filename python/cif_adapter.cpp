// The converter's steps from a CIF to the input text, without writing a file
// and without starting a process: the input it would write, with the summary's
// lines as notes.
#include "cif_adapter.hpp"

#include <filesystem>
#include <sstream>

#include "cif/census.hpp"
#include "cif/centre.hpp"
#include "cif/charges.hpp"
#include "cif/cif_reader.hpp"
#include "cif/conversion.hpp"
#include "cif/error.hpp"
#include "cif/keyword_input.hpp"
#include "cif/options.hpp"
#include "cif/rings.hpp"
#include "cif/write_checks.hpp"
#include "orbicutter/structure.hpp"

namespace orbicutter::python {

CifInput cif_input(const std::string& cif_path, const std::vector<std::string>& args) {
  std::vector<std::string> line = args;
  line.push_back("--");
  line.push_back(cif_path);
  const cif::Options o = cif::parse_command_line(line);
  if (o.run || o.check || o.list || o.help || o.version || !o.output.empty() || !o.run_folder.empty())
    throw cif::ConversionError("run, check, list, output and directory are the command line's; from_cif converts only");
  cif::Conversion cv = cif::convert(cif::read_cif(o.cif_path), o.cif_path, o);
  cif::check_before_writing(cv);
  CifInput result;
  result.notes.push_back(cif::place_centre(cv, o));
  for (const std::string& l : cif::assign_charges(cv, o)) result.notes.push_back(l);
  const std::string input_name = std::filesystem::path(cif_path).filename().replace_extension(".inp").string();
  cif::RingList rings;
  if (o.rings) {
    // The rings come from the molecules the program rebuilds, as in its test run.
    std::ostringstream log;
    try {
      Structure trial(cif::keyword_input(cv, o) + "TEST 1\n", LogStreams{&log, nullptr}, input_name);
      trial.molecules();
    } catch (const Error& e) {
      throw cif::ConversionError(std::string("orbicutter stopped while the rings were sought (") + e.what() + ")");
    }
    rings = cif::ring_list(cif::molecule_atoms(log.str()));
    result.notes.push_back(std::to_string(rings.size()) + " ring(s) listed for the planarity test");
  }
  result.input_text = cif::keyword_input(cv, o, rings);
  for (const std::string& n : cv.notes) result.notes.push_back(n);
  result.warnings = cv.warnings;
  result.input_name = input_name;
  return result;
}

}  // namespace orbicutter::python
