// Writer (to be written).
#include "writers/writers.hpp"

namespace orbicutter {
void writeres(Run&, Unit&) {}
}  // namespace orbicutter
