// ORTEP codes: distinct images of the cluster in order of first appearance.
#include <gtest/gtest.h>

#include <array>

#include "format/log_forms.hpp"
#include "support/crystal.hpp"
#include "cluster/cluster.hpp"

using namespace orbicutter;

namespace {

// The log section for a cluster whose atoms carry these (operation, ta, tb, tc).
std::string codes(const std::vector<std::array<int, 4>>& images) {
  orbicutter::testing::MemoryRun logged;
  Run& run = logged.run;
  run.gv.ncluster = static_cast<int>(images.size());
  run.at.cinfo.allocate(run.gv.ncluster, cluster_info_columns);
  for (int i = 1; i <= run.gv.ncluster; ++i)
    for (int c = symmetry_operation; c <= translation_c; ++c)
      run.at.cinfo(i, c) = images[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(c - symmetry_operation)];
  ortep(run);
  return logged.log_text();
}

std::string framed(const std::string& body) { return " ** ORTEP CODES **\n" + rule_line + "\n" + body + rule_line + "\n"; }

TEST(Ortep, OneImage) {
  EXPECT_EQ(codes({{1, 0, 0, 0}, {1, 0, 0, 0}}), framed(" 55501   \n"));
}

TEST(Ortep, EmptyCluster) { EXPECT_EQ(codes({}), framed("  \n")); }

TEST(Ortep, EightPerLineInOrderOfFirstAppearance) {
  std::vector<std::array<int, 4>> images;
  for (int t = -4; t <= 4; ++t) images.push_back({2, t, 0, -1});
  images.push_back({2, -4, 0, -1});  // seen before, not listed again
  EXPECT_EQ(codes(images), framed(" 15402  25402  35402  45402  55402  65402  75402  85402  \n"
                                  " 95402   \n"));
  images.resize(8);
  EXPECT_EQ(codes(images), framed(" 15402  25402  35402  45402  55402  65402  75402  85402   \n"));
}

TEST(Ortep, DigitsThatDoNotFitPrintAsStars) {
  EXPECT_EQ(codes({{10, 5, -6, 0}, {1, 4, -5, 0}}), framed(" **50*  90501   \n"));
}

}  // namespace
