// Keyword reader (to be written).
#include "input/input.hpp"

namespace orbicutter {
void readinp(Run&, const std::string&) {}
}  // namespace orbicutter
