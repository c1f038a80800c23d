// Two atoms exactly one bond threshold apart are bonded: the test is "not above".
#include <gtest/gtest.h>

#include "fragments/fragment_fixture.hpp"
#include "fragments/fragments.hpp"

namespace orbicutter::fragtest {
namespace {

TEST(BondThreshold, FragmentSearchJoinsAtomsExactlyAtTheThreshold) {
  // C-C with tol1 = 0.25: threshold 0.75 + 0.75 + 0.25 = 1.75 A, exact in both
  // precisions. Along a of an 8 A cubic cell 1.75 A is 0.21875, so the distance
  // comes out exactly 1.75 too; 0.469 puts the pair 1.752 A apart.
  for (const auto& [x2, nfrag] : {std::pair{0.46875, 1}, std::pair{0.469, 2}}) {
    SCOPED_TRACE(x2);
    Crystal c({8, 8, 8, 90, 90, 90}, {"x, y, z"}, {{"C", "C1", 0.25, 0.5, 0.5}, {"C", "C2", x2, 0.5, 0.5}});
    c.run.gv.tol1 = sp(0.25f);
    if (nfrag == 1) {
      ASSERT_EQ(calcdist(c.run, row3(c.run.at.fgeom, 1), row3(c.run.at.fgeom, 2)), real(1.75));
    }
    EXPECT_EQ(literal_fragment_order(c.run).nfrag, nfrag);
    fragment_search(c.run);
    EXPECT_EQ(c.run.gv.nfrag, nfrag);
  }
}

}  // namespace
}  // namespace orbicutter::fragtest
