// Working precision of the build: 8-byte reals for orbicutter, 4-byte for orbicutter_sp.
#pragma once

namespace orbicutter {

#ifdef ORBICUTTER_SINGLE
using real = float;
#else
using real = double;
#endif

// Every decimal constant of the program is a 4-byte value, widened to the working
// precision in the 8-byte build: sp(0.05f) is 0.05000000074505806 there.
constexpr real sp(float x) { return static_cast<real>(x); }

// pi/180 as a 4-byte constant; the reader multiplies by it, reports divide by it.
constexpr real degree = sp(0.017453292f);

// The tolerance of every coincidence test (1e-5 in single precision).
constexpr real tiny = sp(1.0e-5f);

}  // namespace orbicutter
