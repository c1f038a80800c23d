// Built only by the compile checks: CASE 0 must compile, every other case must not.
#include "format/unit.hpp"

void rows(orbicutter::Unit& u, double x) {
#if CASE == 0
  u.write("(A8,3F15.6)", "C1", x, x, x);
  u.put("(2I6,:,A)", 1, 2);
#elif CASE == 1
  u.write("(A8,3F15.6", "C1", x, x, x);  // no closing parenthesis
#elif CASE == 2
  u.write("(A8,3F15)", "C1", x, x, x);  // F without decimals
#elif CASE == 3
  u.write("(A8,3I15)", "C1", x, x, x);  // reals for integer fields
#elif CASE == 4
  u.write("(A8,3F15.6)", "C1", x, x, x, "C2", 1, x, x);  // after reversion an integer meets F
#endif
}
