// Atoms mapped onto themselves by an operator other than the first.
#include <gtest/gtest.h>

#include "fragments/fragment_fixture.hpp"

namespace orbicutter::fragtest {
namespace {

const std::string head = " ** SPECIAL POSITIONS **\n -----------------------------------------------------------\n";
const std::string tail = " -----------------------------------------------------------\n";

std::string special(const std::vector<std::string>& ops, const std::vector<Atom>& atoms) {
  Crystal c({6, 7, 8, 90, 90, 90}, ops, atoms);
  write_special_positions(c.run.sink.log, special_positions(c.run.geo, c.run.gv.nsym, c.run.at.fgeom, c.run.gv.nat),
                          c.run.at.fatns, c.run.at.finfo);
  return c.log_text();
}

TEST(SpecialPositions, AtomOnInversionCentre) {
  EXPECT_EQ(special({"x, y, z", "-x, -y, -z"}, {{"C", "C1", 0, 0, 0}}),
            head + " C   C1      1 on symmtery element =  2\n" + tail);
}

TEST(SpecialPositions, NoCellTranslationIsTried) {
  EXPECT_EQ(special({"x, y, z", "-x, -y, -z"}, {{"C", "C1", 0.5, 0.5, 0.5}}),
            head + " No atoms on special positions\n" + tail);
  EXPECT_EQ(special({"x, y, z"}, {{"C", "C1", 0, 0, 0}}), head + " No atoms on special positions\n" + tail);
}

TEST(SpecialPositions, LinesGroupedByOperatorThenAtom) {
  // Operator 4 is the identity again and still counts: only operator 1 is
  // skipped. The atom at the origin lies on three symmetry elements.
  EXPECT_EQ(special({"x, y, z", "-x, -y, -z", "-x, -y, z", "x, y, z"},
                    {{"O", "O1", 0.2, 0.1, 0.3}, {"N", "N1", 0, 0, 0.3}, {"Cl", "Cl1", 0, 0, 0}}),
            head +
                " Cl  Cl1     3 on symmtery element =  2\n"
                " N   N1      2 on symmtery element =  3\n"
                " Cl  Cl1     3 on symmtery element =  3\n"
                " O   O1      1 on symmtery element =  4\n"
                " N   N1      2 on symmtery element =  4\n"
                " Cl  Cl1     3 on symmtery element =  4\n" +
                tail);
}

}  // namespace
}  // namespace orbicutter::fragtest
