// The one way a phase ends the run early: an Error carrying the message lines,
// which the program frames in its box on standard output.
#pragma once

#include <string>
#include <vector>

#include "orbicutter/error.hpp"

namespace orbicutter {

// The framed box: " ======", title, messages, " ======", blank, the Stop frame.
// `leading_blank` adds the empty first line of the main program's box.
std::vector<std::string> box_lines(const std::string& title, const std::vector<std::string>& messages,
                                   bool leading_blank);
// The box in which the program shows an error: " !! ERROR in READINP !!" for the
// reader's, " !! ERROR in ORBICUTTER !!" (behind a blank line) for any other.
std::vector<std::string> error_box(const Error& error);

// Errors of the main program.
[[noreturn]] void fail(const std::vector<std::string>& messages);
// Errors of the input reader.
[[noreturn]] void fail_input(const std::vector<std::string>& messages);
// The reader's usual message for keyword KEY: " --> Error while reading KEY option <--".
[[noreturn]] void fail_keyword(const std::string& key);

}  // namespace orbicutter
