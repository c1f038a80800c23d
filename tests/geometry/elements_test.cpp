// Element lookup: the program's own table first, the periodic table behind it.
#include <gtest/gtest.h>

#include "geometry/elements.hpp"

namespace orbicutter {
namespace {

TEST(Elements, OwnTableLeftAdjustedAndCaseSensitive) {
  real r = -1;
  int n = -1;
  atinfo(" C", 1, r, n);
  EXPECT_EQ(r, sp(0.75f));
  atinfo("  C", 3, r, n);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(covalent_radius("Ti"), sp(1.32f));
  EXPECT_EQ(atomic_number("Ti"), 22);
  EXPECT_EQ(vdw_radius("S"), 0);
  EXPECT_EQ(vdw_radius("P"), sp(1.80f));
  EXPECT_EQ(vdw_radius("Cl "), sp(1.75f));
  // The own table wins over the periodic table (H 0.40, not 0.31).
  EXPECT_EQ(covalent_radius("H"), sp(0.40f));
  EXPECT_EQ(covalent_radius("C"), sp(0.75f));
#ifndef ORBICUTTER_SINGLE
  EXPECT_EQ(covalent_radius("H"), 0.4000000059604645);
#endif
}

TEST(Elements, PeriodicTableForOtherSymbols) {
  const auto fe = element("Fe");
  EXPECT_TRUE(fe.found);
  EXPECT_EQ(fe.number, 26);
  EXPECT_EQ(fe.covalent, sp(1.32f));
  EXPECT_EQ(fe.vdw, 0);
  EXPECT_EQ(atomic_number("Og"), 118);
  EXPECT_EQ(atomic_number(" Zr"), 40);
  // Deuterium is hydrogen for the bond tests and the atomic number.
  EXPECT_EQ(covalent_radius("D"), covalent_radius("H"));
  EXPECT_EQ(atomic_number("D"), 1);
  EXPECT_EQ(vdw_radius("D"), 0);
}

TEST(Elements, UnknownSymbolsGiveZeroNeverAnEarlierValue) {
  for (const char* s : {"X", "Q", "CL", "cl", "Cl1", "   ", ""}) {
    real r = 0;
    int n = 0;
    atinfo("Br", 1, r, n);
    atinfo("Br", 3, r, n);
    atinfo(s, 1, r, n);
    EXPECT_EQ(r, 0) << s;
    r = 5;
    atinfo(s, 2, r, n);
    EXPECT_EQ(r, 0) << s;
    atinfo(s, 3, r, n);
    EXPECT_EQ(n, 0) << s;
    EXPECT_FALSE(element(s).found) << s;
  }
}

TEST(Elements, OtherModesWriteNothing) {
  real r = 7;
  int n = 7;
  atinfo("C", 4, r, n);
  atinfo("C", 0, r, n);
  EXPECT_EQ(r, 7);
  EXPECT_EQ(n, 7);
}

}  // namespace
}  // namespace orbicutter
