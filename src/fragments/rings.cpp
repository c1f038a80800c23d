// Rings and planarity (to be written).
#include "fragments/fragments.hpp"

namespace orbicutter {
void ring_phase(Run&) {}
PlaneFit planarity(const Run&, Table<real>&, int) { return {}; }
void prepplanarity(Run&, const std::string&) {}
}  // namespace orbicutter
