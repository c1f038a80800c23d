// The one way a phase ends the run early: a Stop carrying the box for standard output.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace orbicutter {

// Thrown by any phase; only the driver prints `lines` on standard output and
// returns `status` as the exit status.
struct Stop : std::runtime_error {
  std::vector<std::string> lines;
  int status;
  Stop(std::vector<std::string> box, int exit_status)
      : std::runtime_error(box.size() > 2 ? box[2] : "stop"), lines(std::move(box)), status(exit_status) {}
};

// The framed box: " ======", title, messages, " ======", blank, the Stop frame.
// `leading_blank` adds the empty first line of the main program's box.
std::vector<std::string> box_lines(const std::string& title, const std::vector<std::string>& messages,
                                   bool leading_blank);

// Errors of the main program (" !! ERROR in ORBICUTTER !!"), exit status 1.
[[noreturn]] void fail(const std::vector<std::string>& messages);
// Errors of the input reader (" !! ERROR in READINP !!", no leading blank), exit status 1.
[[noreturn]] void fail_input(const std::vector<std::string>& messages);
// The reader's usual message for keyword KEY: " --> Error while reading KEY option <--".
[[noreturn]] void fail_keyword(const std::string& key);

}  // namespace orbicutter
