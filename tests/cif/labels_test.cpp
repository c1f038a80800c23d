// Short labels: kept, cleaned of brackets, or coded.
#include <gtest/gtest.h>

#include "cif/labels.hpp"

namespace orbicutter::cif {
namespace {

TEST(Labels, KeptCleanedOrCoded) {
  std::vector<Site> sites;
  int row = 0;
  for (const auto& [label, element] : std::vector<std::pair<std::string, std::string>>{
           {"C1", "C"}, {"C1", "C"}, {"H(8A)", "H"}, {"H(8B)", "H"}, {"C(2)", "C"}, {"C9'", "C"}, {"O1", "O"}}) {
    Site s;
    s.cif.label = label;
    s.cif.row = ++row;
    s.element = element;
    sites.push_back(s);
  }
  // C2 is the label of a dropped site: C(2) may not take it.
  const auto renamed = assign_labels(sites, {"C1", "C1", "H(8A)", "H(8B)", "C(2)", "C9'", "O1", "C2"});
  std::vector<std::string> labels;
  for (const auto& s : sites) labels.push_back(s.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"C01", "C02", "H8A", "H8B", "C03", "C9", "O1"}));
  ASSERT_EQ(renamed.size(), 6u);
  EXPECT_EQ(renamed[0].row, 1);
  EXPECT_EQ(renamed[1].row, 2);
}

}  // namespace
}  // namespace orbicutter::cif
