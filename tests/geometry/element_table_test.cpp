// Every row of the element data against a table typed independently into the test
// data: the program's own 23 elements with their radii, every other element with its
// periodic-table radius and no van der Waals radius, D as hydrogen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "format/tsv.hpp"
#include "geometry/elements.hpp"

namespace orbicutter {
namespace {

TEST(ElementTable, EveryRowMatchesTheTypedTable) {
  const auto rows = testing::read_tsv(std::string(ORBICUTTER_TEST_DATA) + "/elements-expected.tsv");
  ASSERT_EQ(rows.size(), 119u);  // 118 elements and D
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 4u);
    const std::string& symbol = row[0];
    SCOPED_TRACE(symbol);
    const ElementData e = element(symbol);
    EXPECT_TRUE(e.found);
    EXPECT_EQ(e.number, std::atoi(row[1].c_str()));
    // Radii are 4-byte constants, widened in the 8-byte build.
    EXPECT_EQ(e.covalent, sp(std::strtof(row[2].c_str(), nullptr)));
    EXPECT_EQ(e.vdw, sp(std::strtof(row[3].c_str(), nullptr)));
    // Blank-padded as in the atom-name tables, the same row.
    EXPECT_EQ(element(symbol + " ").number, e.number);
  }
}

}  // namespace
}  // namespace orbicutter
