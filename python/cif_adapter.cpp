// The converter's options from keyword arguments to its own parser, then its
// in-process conversion: the input it would write, with the summary's lines as notes.
#include "cif_adapter.hpp"

#include <filesystem>

#include "cif/convert_api.hpp"
#include "cif/error.hpp"
#include "cif/options.hpp"

namespace orbicutter::python {

CifInput cif_input(const std::string& cif_path, const std::vector<std::string>& args) {
  std::vector<std::string> line = args;
  line.push_back("--");
  line.push_back(cif_path);
  const cif::Options o = cif::parse_command_line(line);
  if (o.run || o.check || o.list || o.help || o.version || !o.output.empty() || !o.run_folder.empty())
    throw cif::ConversionError("run, check, list, output and directory are the command line's; from_cif converts only");
  cif::CifInput converted = cif::cif_to_input(o.cif_path, o);
  CifInput result;
  result.input_text = std::move(converted.input_text);
  result.notes = std::move(converted.notes);
  result.warnings = std::move(converted.warnings);
  result.input_name = std::filesystem::path(cif::default_output(cif_path)).filename().string();
  return result;
}

}  // namespace orbicutter::python
