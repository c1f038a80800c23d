// Symmetry operators in text form (to be written).
#include "input/input.hpp"

namespace orbicutter {
void readsymmop(const std::string&, Mat3& rot, Vec3& trans) { rot = Mat3{}; trans = Vec3{}; }
void big2small(char&) {}
std::string writesymmop(const Mat3&, const Vec3&) { return std::string(50, ' '); }
void regularise_translations(Run&) {}
}  // namespace orbicutter
