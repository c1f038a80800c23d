// X-H standardisation (to be written).
#include "xh/xh.hpp"

namespace orbicutter {
void shiftxh(Run&, int, int, real, const std::string&) {}
void xh_standardisation(Run&) {}
}  // namespace orbicutter
