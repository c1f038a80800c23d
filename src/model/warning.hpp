// Warning boxes: something looks wrong but the run goes on. Every phase that
// warns writes its boxes through here, to the run log and standard output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/run.hpp"

namespace orbicutter {

// The box on the run log (behind a blank line) and on standard output:
// " ======", " !! WARNING in <phase> !!", the message lines, " ======", a blank line.
// The box is kept in diag.warnings, in order.
void warn(LogSink& sink, Diagnostics& diag, std::string_view phase, const std::vector<std::string>& messages);
inline void warn(LogSink& sink, Diagnostics& diag, const WarningBox& box) { warn(sink, diag, box.phase, box.messages); }

// A message line of a box: " --> text <--".
std::string message_line(std::string_view text);

// Names joined by the separator: at most `most` of them, then "and N more".
std::string name_list(const std::vector<std::string>& names, std::size_t most = 10,
                      std::string_view separator = ", ");

}  // namespace orbicutter
