// ORTEP codes: distinct images of the cluster in order of first appearance.
#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "cluster/cluster_log.hpp"
#include "format/log_forms.hpp"

using namespace orbicutter;

namespace {

// The log section for a cluster whose atoms carry these (operation, ta, tb, tc).
std::string codes(const std::vector<std::array<int, 4>>& images) {
  ClusterModel cluster;
  for (const auto& q : images) {
    ClusterAtom a;
    a.operation = q[0];
    a.cell[0] = q[1];
    a.cell[1] = q[2];
    a.cell[2] = q[3];
    cluster.atoms.push_back(a);
  }
  std::ostringstream os;
  Unit log = Unit::memory(os);
  write_ortep_codes(log, cluster);
  return os.str();
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
