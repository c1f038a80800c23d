// Fragment search (to be written).
#include "fragments/fragments.hpp"

namespace orbicutter {
void fragment_search(Run&) {}
}  // namespace orbicutter
