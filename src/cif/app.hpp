// The converter's steps from command line to exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orbicutter::cif {

// A message with its line breaks, tabs and other control characters each
// run of them and of blanks made one blank: the error is always one line.
std::string one_line(const std::string& message);

// Returns the exit status: 0 done (warnings included), 1 error.
int run_converter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace orbicutter::cif
