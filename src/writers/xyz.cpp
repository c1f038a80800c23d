// Writer (to be written).
#include "writers/writers.hpp"

namespace orbicutter {
void writexyz(Run&, Unit&) {}
}  // namespace orbicutter
