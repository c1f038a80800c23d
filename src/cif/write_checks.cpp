// The input read by orbicutter's own reader before it is written.
#include "cif/write_checks.hpp"

#include <cmath>

#include "cif/error.hpp"
#include "cif/keyword_input.hpp"
#include "cif/text.hpp"
#include "input/checks.hpp"
#include "input/input.hpp"
#include "orbicutter/error.hpp"

namespace orbicutter::cif {
namespace {

// A line of the reader's boxes without its frame " --> ... <--".
std::string unframed(std::string m) {
  m = trimmed(m);
  if (m.rfind("-->", 0) == 0) m = trimmed(m.substr(3));
  if (m.size() >= 3 && m.compare(m.size() - 3, 3, "<--") == 0) m = trimmed(m.substr(0, m.size() - 3));
  return m;
}

// The reader's error box on one line.
std::string box_text(const orbicutter::Error& e) {
  std::string text;
  for (const std::string& line : e.messages())
    if (const std::string m = unframed(line); !m.empty()) text += (text.empty() ? "" : ": ") + m;
  return text.empty() ? e.what() : text;
}

}  // namespace

void check_before_writing(const Conversion& cv) {
  const double edges[3] = {cv.cell.a, cv.cell.b, cv.cell.c};
  for (int i = 0; i < 3; ++i)
    if (!(edges[i] >= min_cell_edge && edges[i] <= max_edge))
      throw ConversionError(std::string("cell edge _cell_length_") + "abc"[i] + " " + decimal(edges[i]) + " A is outside " +
                            number(min_cell_edge) + " to " + number(max_edge) + " A");
  for (const Site& s : cv.sites)
    for (int i = 0; i < 3; ++i)
      if (!(std::fabs(s.fract[static_cast<std::size_t>(i)]) <= max_fraction))
        throw ConversionError("site " + (s.cif.label.empty() ? std::string("?") : s.cif.label) + ": fractional coordinate " +
                              "xyz"[i] + " " + decimal(s.fract[static_cast<std::size_t>(i)]) + " is beyond " +
                              number(max_fraction) + " cells");

  Run run;  // its sink drops every line
  run.gv.inpf = "input";
  try {
    readinp(run, keyword_input(cv, Options{}));
  } catch (const orbicutter::Error& e) {
    throw ConversionError("orbicutter would refuse the input (" + box_text(e) + "); the symmetry came from " +
                          cv.symmetry.source);
  }
  // The reader only warns of operators that are not closed; the converter refuses them.
  for (const WarningBox& box : run.diag.warnings)
    if (!box.messages.empty() && box.messages.front().find(operations_not_closed) != std::string::npos)
      throw ConversionError("the symmetry operators from " + cv.symmetry.source + " are not closed (" +
                            unframed(box.messages.size() > 1 ? box.messages[1] : "") + ")");
}

}  // namespace orbicutter::cif
