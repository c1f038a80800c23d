// The converter's steps from command line to exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orbicutter::cif {

// Returns the exit status: 0 done (warnings included), 1 error.
int run_converter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace orbicutter::cif
