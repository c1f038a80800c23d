// ORTEP codes (to be written).
#include "writers/writers.hpp"

namespace orbicutter {
void ortep(Run&) {}
}  // namespace orbicutter
