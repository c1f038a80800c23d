// Pieces of the message lines of the structure checks' warning boxes.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "format/layout.hpp"
#include "model/run.hpp"
#include "model/warning.hpp"

namespace orbicutter {

// At most this many atoms, pairs or fragments are named in a box.
inline constexpr std::size_t most_listed = 10;

// A distance as "1.5672 A".
inline std::string angstrom(real d) {
  return trim(format_record("(F10.4)", std::array<Value, 1>{Value(d)})) + " A";
}

// One message line per item, at most most_listed of them, then "and N more".
template <class T, class Line>
void listed(std::vector<std::string>& messages, const std::vector<T>& items, Line&& line) {
  for (std::size_t k = 0; k < items.size() && k < most_listed; ++k) messages.push_back(message_line(line(items[k])));
  if (items.size() > most_listed)
    messages.push_back(message_line("and " + digits(static_cast<long long>(items.size() - most_listed)) + " more"));
}

}  // namespace orbicutter
