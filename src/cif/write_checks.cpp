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

// The reader's box lines without their frames, on one line.
std::string box_text(const orbicutter::Error& e) {
  std::string text;
  for (std::string m : e.messages()) {
    m = trimmed(m);
    if (m.rfind("-->", 0) == 0) m = trimmed(m.substr(3));
    if (m.size() >= 3 && m.compare(m.size() - 3, 3, "<--") == 0) m = trimmed(m.substr(0, m.size() - 3));
    if (!m.empty()) text += (text.empty() ? "" : ": ") + m;
  }
  return text.empty() ? e.what() : text;
}

}  // namespace

void check_before_writing(const Conversion& cv) {
  const double edges[3] = {cv.cell.a, cv.cell.b, cv.cell.c};
  for (int i = 0; i < 3; ++i)
    if (!(edges[i] >= min_cell_edge && edges[i] <= max_edge))
      throw ConversionError(std::string("cell edge _cell_length_") + "abc"[i] + " " + number(edges[i]) + " A is outside " +
                            number(min_cell_edge) + " to " + number(max_edge) + " A");
  for (const Site& s : cv.sites)
    for (int i = 0; i < 3; ++i)
      if (!(std::fabs(s.fract[static_cast<std::size_t>(i)]) <= max_fraction))
        throw ConversionError("site " + (s.cif.label.empty() ? std::string("?") : s.cif.label) + ": fractional coordinate " +
                              "xyz"[i] + " " + number(s.fract[static_cast<std::size_t>(i)]) + " is beyond " +
                              number(max_fraction) + " cells");

  Run run;  // its sink drops every line
  run.gv.inpf = "input";
  try {
    readinp(run, keyword_input(cv, Options{}));
  } catch (const orbicutter::Error& e) {
    throw ConversionError("orbicutter would refuse the input (" + box_text(e) + "); the symmetry came from " +
                          cv.symmetry.source);
  }
  const std::vector<std::string> missing = missing_products(run);
  if (!missing.empty())
    throw ConversionError("the symmetry operators from " + cv.symmetry.source +
                          " are not closed: products missing: " + missing_products_text(missing));
}

}  // namespace orbicutter::cif
