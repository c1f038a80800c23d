// Element table (to be written).
#include "geometry/elements.hpp"

namespace orbicutter {
ElementData element(const std::string&) { return {}; }
void atinfo(const std::string& s, int mode, real& r, int& n) {
  const auto e = element(s);
  if (mode == 1) r = e.covalent;
  if (mode == 2) r = e.vdw;
  if (mode == 3) n = e.number;
}
}  // namespace orbicutter
