// The X-H phases within a whole run: screen lines, log sections, the manual list's stop.
#include <gtest/gtest.h>

#include <string>

#include "support/runner.hpp"

namespace {

using namespace orbicutter::testing;

// Water in P21/c; `stxh` is the STXH block (may be empty).
std::string water(const std::string& stxh) {
  return "CELL 10.0 12.0 8.0 90.0 105.0 90.0\n"
         "SYMM 4 0\nx, y, z\n-x, y+1/2, -z+1/2\n-x, -y, -z\nx, -y+1/2, z+1/2\n"
         "NFRG 3 1\nMOL 1 3\n"
         "O O1 0.10 0.20 0.30\nH H1 0.15 0.25 0.35\nH H2 0.05 0.25 0.25\n"
         "DMAX 4.0\n" +
         stxh;
}

const std::string rule = " -----------------------------------------------------------\n";

TEST(XHRun, ManualListOnlyHasNoScreenBannerNorReduction) {
  const auto r = run_program_on(water("STXH 1 2\n1 2 0.95\n1 3 1.00\n"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.find("Automatic X-H"), std::string::npos);
  const std::string log = r.files.at("mol.out");
  EXPECT_EQ(log.find("AUTOMATIC X-H"), std::string::npos);
  EXPECT_EQ(log.find("CONNECTIVITY MATRIX REDUCTION"), std::string::npos);
  EXPECT_EQ(section(log, " ** MANUAL X-H BONDS STANDARDISATION **", " ** CLUSTER GENERATION **"),
            " ** MANUAL X-H BONDS STANDARDISATION **\n" + rule +
                " X =      1  |  H =      2  |  Initial distance =   0.8164  |  Target distance =   0.9500 manual\n"
                " X =      1  |  H =      3  |  Initial distance =   0.8164  |  Target distance =   1.0000 manual\n" +
                rule);
  // The ring phase's banner and CPU line come in every run.
  EXPECT_NE(r.out.find(" >> Ring routines <<\n -- CPU time = "), std::string::npos);
}

TEST(XHRun, NegativeCountRunsBothInOrder) {
  const auto r = run_program_on(water("STXH 1 -1\n1 3 1.00\n"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find(" >> Automatic X-H bonds standardization routine <<\n -- CPU time = "), std::string::npos);
  const std::string log = r.files.at("mol.out");
  EXPECT_EQ(section(log, " ** AUTOMATIC X-H BONDS STANDARDIZATION **", " ** CLUSTER GENERATION **"),
            " ** AUTOMATIC X-H BONDS STANDARDIZATION **\n" + rule +
                " X =      1  |  H =      2  |  Initial distance =   0.8164  |  Target distance =   0.9580 water\n"
                " X =      1  |  H =      3  |  Initial distance =   0.8164  |  Target distance =   0.9580 water\n" +
                rule + " ** ADDITIONAL MANUAL X-H BONDS STANDARDISATION **\n" + rule +
                " X =      1  |  H =      3  |  Initial distance =   0.9580  |  Target distance =   1.0000 manual\n" +
                rule);
}

TEST(XHRun, WrongManualAtomNumberStopsWithBox) {
  for (const std::string list : {"STXH 1 1\n1 4 1.0\n", "STXH 1 -2\n1 2 1.0\n2 2 1.0\n", "STXH 1 1\n0 2 1.0\n"}) {
    const auto r = run_program_on(water(list));
    EXPECT_EQ(r.status, 1);
    const std::string box =
        "\n ======\n !! ERROR in ORBICUTTER !!\n --> Wrong atom number in manual X-H list <--\n ======\n\n"
        " ========\n | Stop |\n ========\n\n";
    ASSERT_GE(r.out.size(), box.size()) << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - box.size()), box) << list;
    // Stopped before any hydrogen moved: the automatic part did not start either.
    EXPECT_EQ(r.out.find("Automatic X-H"), std::string::npos);
    EXPECT_EQ(r.files.at("mol.out").find("X-H BONDS"), std::string::npos);
  }
}

}  // namespace
