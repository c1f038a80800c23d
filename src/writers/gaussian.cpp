// Writer (to be written).
#include "writers/writers.hpp"

namespace orbicutter {
void writegaussian(Run&, Unit&) {}
}  // namespace orbicutter
