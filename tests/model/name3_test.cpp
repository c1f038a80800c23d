// Atom names held in place behave as the A3 texts they replace.
#include <gtest/gtest.h>

#include <string>

#include "model/name3.hpp"

namespace orbicutter {

TEST(Name3, CutOrPaddedToThreeCharactersAndComparedAsText) {
  Name3 blank, n;
  EXPECT_EQ(std::string_view(blank), "   ");
  n = "C";
  EXPECT_EQ(std::string_view(n), "C  ");
  EXPECT_TRUE(n == std::string("C  "));
  EXPECT_FALSE(n == std::string("C"));
  n = "C12A";
  EXPECT_EQ(std::string_view(n), "C12");
  Name3 m;
  m = n;
  EXPECT_TRUE(m == n);
  n = "";
  EXPECT_TRUE(n == blank);
}

}  // namespace orbicutter
