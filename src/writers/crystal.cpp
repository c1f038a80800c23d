// Writer (to be written).
#include "writers/writers.hpp"

namespace orbicutter {
void writecrystal(Run&, Unit&) {}
}  // namespace orbicutter
