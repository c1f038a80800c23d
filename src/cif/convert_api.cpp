#include "cif/convert_api.hpp"

#include <filesystem>

#include "cif/centre.hpp"
#include "cif/charges.hpp"
#include "cif/check_advice.hpp"
#include "cif/cif_reader.hpp"
#include "cif/error.hpp"
#include "cif/molecule_trial.hpp"
#include "cif/rings.hpp"
#include "cif/write_checks.hpp"

namespace orbicutter::cif {
namespace fs = std::filesystem;

std::string default_output(const std::string& cif_path) {
  return fs::path(cif_path).filename().replace_extension(".inp").string();
}

PreparedInput prepare_input(const std::vector<CifBlock>& blocks, const Options& o) {
  PreparedInput p;
  p.cv = convert(blocks, o.cif_path, o);
  // Nothing below writes what orbicutter would refuse, and the library only
  // sees inputs that its reader takes.
  check_before_writing(p.cv);
  p.centre = place_centre(p.cv, o);
  p.charges = assign_charges(p.cv, o);
  return p;
}

RingList input_rings(const PreparedInput& p, const Options& o, const std::string& input_name) {
  if (!o.rings) return {};
  const MoleculeTrial trial = molecule_trial(keyword_input(p.cv, o), input_name);
  if (const std::string growth = growth_failure(trial, p.cv, o, input_name); !growth.empty())
    throw ConversionError(growth + "; no input written");
  if (trial.stopped)
    throw ConversionError("orbicutter stopped while the rings were sought (" + trial.message + "); no input written");
  return ring_list(trial.molecules);
}

CifInput cif_to_input(const std::string& cif_path, const Options& options) {
  Options o = options;
  o.cif_path = cif_path;
  o.run = o.check = o.list = false;
  const std::vector<CifBlock> blocks = read_cif(cif_path);
  const PreparedInput p = prepare_input(blocks, o);
  const std::string input_name = !o.output.empty() && o.output != "-" ? o.output : default_output(cif_path);
  const RingList rings = input_rings(p, o, input_name);
  CifInput r;
  r.input_text = keyword_input(p.cv, o, rings);
  r.notes = p.cv.notes;
  r.notes.push_back(p.centre);
  r.notes.insert(r.notes.end(), p.charges.begin(), p.charges.end());
  if (o.rings) r.notes.push_back(std::to_string(rings.size()) + " ring(s) listed for the planarity test");
  r.warnings = p.cv.warnings;
  // orbicutter names a run's files after its input: the file name up to its first '.'.
  const std::string file = fs::path(input_name).filename().string();
  r.system_name = file.substr(0, file.find('.'));
  return r;
}

}  // namespace orbicutter::cif
