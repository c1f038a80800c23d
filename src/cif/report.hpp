// What a conversion did, in words: in full for the comment lines of the input,
// and as a summary that fits on one screen.
#pragma once

#include <string>
#include <vector>

#include "cif/conversion.hpp"

namespace orbicutter::cif {

// The comment lines of the input, without their "! ".
std::vector<std::string> record_lines(const Conversion& cv);

// The summary; `written` names the input file ("standard output" for -o -).
std::string summary_text(const Conversion& cv, const std::string& written);

}  // namespace orbicutter::cif
