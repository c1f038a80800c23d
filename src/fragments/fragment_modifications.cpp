// Fragment modifications (to be written).
#include "fragments/fragments.hpp"

namespace orbicutter {
void fragment_modifications(Run&) {}
}  // namespace orbicutter
