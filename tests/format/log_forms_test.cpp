// System names and the CPU-time text.
#include <gtest/gtest.h>

#include "format/log_forms.hpp"

using namespace orbicutter;

TEST(SystemName, CutsAtFirstDotAfterLastSlash) {
  EXPECT_EQ(system_name("mol.inp"), "mol");
  EXPECT_EQ(system_name("mol.cif.inp"), "mol");
  EXPECT_EQ(system_name("a.b.c"), "a");
  EXPECT_EQ(system_name("mol"), "mol");
  EXPECT_EQ(system_name("./mol.inp"), "./mol");
  EXPECT_EQ(system_name("runs/v1.2/mol.cif.inp"), "runs/v1.2/mol");
}
