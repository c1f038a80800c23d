// A CIF turned into the keyword input in memory, for the Python module: keyword
// arguments through the converter's own option parser, then its conversion.
#pragma once

#include <string>
#include <vector>

namespace orbicutter::python {

struct CifInput {
  std::string input_text;
  std::vector<std::string> notes, warnings;
  std::string input_name;  // the input file the converter would write ("4021067.inp")
};

// `args` are the converter's options as on its command line ("--centre", "C1");
// the file to read is `cif_path`. Throws std::runtime_error with the
// converter's one-line message.
CifInput cif_input(const std::string& cif_path, const std::vector<std::string>& args);

}  // namespace orbicutter::python
