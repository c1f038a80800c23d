// Writer (to be written).
#include "writers/writers.hpp"

namespace orbicutter {
void writeadf(Run&, Unit&) {}
}  // namespace orbicutter
