// The command line's requests besides a run.
#pragma once

#include "model/run.hpp"

namespace orbicutter {

// Answers "--help" or "--version" as the only argument on `out`; false for any other command line.
bool answer_request(int argc, char** argv, Unit& out);

}  // namespace orbicutter
