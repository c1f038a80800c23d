// Warning boxes and the short lists their messages carry.
#include "model/warning.hpp"

namespace orbicutter {

void warn(LogSink& sink, Diagnostics& diag, std::string_view phase, const std::vector<std::string>& messages) {
  diag.warnings.push_back({std::string(phase), messages});
  const std::string title = " !! WARNING in " + std::string(phase) + " !!";
  for (Unit* u : {&sink.log, &sink.out}) {
    if (u == &sink.log) u->line("");
    u->line(" ======");
    u->line(title);
    for (const auto& m : messages) u->line(m);
    u->line(" ======");
    u->line("");
  }
}

std::string message_line(std::string_view text) { return " --> " + std::string(text) + " <--"; }

std::string name_list(const std::vector<std::string>& names, std::size_t most, std::string_view separator) {
  std::string s;
  for (std::size_t i = 0; i < names.size() && i < most; ++i) {
    if (i > 0) s += separator;
    s += names[i];
  }
  if (names.size() > most) s += " and " + digits(static_cast<long long>(names.size() - most)) + " more";
  return s;
}

}  // namespace orbicutter
