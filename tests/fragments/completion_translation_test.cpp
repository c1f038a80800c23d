// A molecule on the inversion centre at (0, 0, 1/2): its missing half is the
// image through -x, -y, -z moved one cell along c, and the all-atom table must
// keep that translation.
#include <gtest/gtest.h>

#include "support/runner.hpp"

namespace orbicutter::testing {
namespace {

TEST(CompletionTranslation, HalfOneCellAlongCKeepsItsTranslationInTheAtomTable) {
  // Acetylene, C-C 1.20 A and C-H 1.06 A along (1, 1, 1).
  const auto r = run_program_on(
      "CELL 6.0 7.0 8.0 90.0 90.0 90.0\n"
      "SYMM 2 0\nx, y, z\n-x, -y, -z\n"
      "NFRG 2 1\nACE 1 2\n"
      "C  C1  0.057740 0.049490 0.543300\n"
      "H  H1  0.159730 0.136910 0.619800\n"
      "FRGM 1 1 1\nDMAX 4.0\n");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string table = section(r.files.at("mol.out"), " ** UPDATED MOLECULAR INFORMATION **",
                                    " ** CONNECTIVITY MATRIX REDUCTION **");
  // Operator 2, translation (0, 0, 1), then the row number and the image.
  EXPECT_NE(table.find(" C   C1      1     1     1     2     0     0     1     3 -0.057740 -0.049490  0.456700"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find(" H   H1      2     2     1     2     0     0     1     4 -0.159730 -0.136910  0.380200"),
            std::string::npos)
      << table;
}

}  // namespace
}  // namespace orbicutter::testing
