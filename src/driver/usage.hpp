// The command line's requests besides a run.
#pragma once

#include <string>

#include "model/run.hpp"

namespace orbicutter {

// Answers "--help" or "--version" as the only argument on `out`; false for any other command line.
bool answer_request(int argc, char** argv, Unit& out);
// The input file as given: the first argument, or the one after "--" (the end of
// options, so that a file may be called "--help"); empty when there is none.
std::string input_argument(int argc, char** argv);

}  // namespace orbicutter
