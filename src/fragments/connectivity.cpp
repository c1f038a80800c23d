// Connectivity (to be written).
#include "fragments/fragments.hpp"

namespace orbicutter {
void connectivity(Run&) {}
void connectivity_reduction(Run&) {}
}  // namespace orbicutter
