// Connectivity matrix, bond lists, their log sections and the reduction.
#include <gtest/gtest.h>

#include <cmath>

#include "fragments/fragment_fixture.hpp"
#include "fragments/fragments.hpp"
#include "pipeline/pipeline.hpp"
#include "support/runner.hpp"

namespace orbicutter::fragtest {
namespace {

const std::string rule = " -----------------------------------------------------------\n";

// The all-atom tables of the given atoms, as fragment modifications leave them.
void modified(Crystal& c, int kver = 0) {
  c.run.kw.kfragsft = 0;
  fragment_modifications(c.run);
  c.log.str("");
  c.out.str("");
  c.run.kw.kver = kver;
}

TEST(Connectivity, DistanceEqualToTheThresholdIsABond) {
  // Cubic cell of 10: the distance of (0,0,0) to (x,0,0) is 10x.
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"}, {{"C", "C1", 0, 0, 0}, {"C", "C2", 0.1534, 0, 0}});
  const real d = calcdist(c.run, row3(c.run.at.fgeom, 1), row3(c.run.at.fgeom, 2));
  const real radii = sp(0.75f) + sp(0.75f);
  c.run.gv.tol1 = d - radii;
  ASSERT_EQ(radii + c.run.gv.tol1, d);
  modified(c);
  connectivity(c.run);
  EXPECT_EQ(c.run.at.allcont(1, 2), 1);
  EXPECT_EQ(c.run.at.allcont(2, 1), 1);
  EXPECT_EQ(c.run.at.allcont(1, 1), 0);

  Crystal shorter({10, 10, 10, 90, 90, 90}, {"x, y, z"}, {{"C", "C1", 0, 0, 0}, {"C", "C2", 0.1534, 0, 0}});
  shorter.run.gv.tol1 = std::nextafter(d, real(0)) - radii;
  modified(shorter);
  connectivity(shorter.run);
  EXPECT_EQ(shorter.run.at.allcont(1, 2), 0);
}

TEST(Connectivity, ExcludedPairIsNeverBondedInEitherOrder) {
  for (const auto& pair : {std::pair<std::string, std::string>{"C", "O"}, {"O", "C"}}) {
    Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"},
              {{"O", "O1", 0, 0, 0}, {"C", "C1", 0.12, 0, 0}, {"C", "C2", 0.27, 0, 0}});
    c.exclude({pair});
    modified(c);
    connectivity(c.run);
    EXPECT_EQ(c.run.at.allcont(1, 2), 0) << pair.first;
    EXPECT_EQ(c.run.at.allcont(2, 3), 1);
  }
}

TEST(Connectivity, UpdatedInformationSection) {
  // Ammonia and a chloride; the chloride has no neighbours, so its row ends
  // right after its charge.
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"},
            {{"N", "N1", 0.5, 0.5, 0.5, 1, -0.9},
             {"H", "H1", 0.6, 0.5, 0.5, 1, 0.3},
             {"H", "H2", 0.5, 0.6, 0.5, 1, 0.3},
             {"H", "H3", 0.5, 0.5, 0.6, 1, 0.3},
             {"Cl", "Cl1", 0.1, 0.1, 0.1, 2, -1}},
            true);
  modified(c);
  connectivity(c.run);
  EXPECT_EQ(c.log_text(),
            " ** UPDATED MOLECULAR INFORMATION **\n" + rule +
                " Fragment number =      1  |  Number of atoms =      4\n"
                " Fragment number =      2  |  Number of atoms =      1\n" +
                rule +
                " Total number of atoms =      5\n"
                " N   N1      1     1     1     1     0     0     0     1  0.500000  0.500000  0.500000 -0.900000"
                "     2     3     4\n"
                " H   H1      2     2     1     1     0     0     0     2  0.600000  0.500000  0.500000  0.300000"
                "     1\n"
                " H   H2      3     3     1     1     0     0     0     3  0.500000  0.600000  0.500000  0.300000"
                "     1\n"
                " H   H3      4     4     1     1     0     0     0     4  0.500000  0.500000  0.600000  0.300000"
                "     1\n" +
                rule +
                " Cl  Cl1     5     1     2     1     0     0     0     5  0.100000  0.100000  0.100000 -1.000000\n" +
                rule);
  EXPECT_EQ(c.out_text(), "");
  EXPECT_EQ(c.run.at.allbonds(1, 3), 4);
  EXPECT_EQ(c.run.at.allbonds(1, 4), 0);
}

TEST(Connectivity, VerbosityAddsMatrixAndLegend) {
  std::vector<Atom> chain;
  for (int i = 0; i < 11; ++i) chain.push_back({"C", label("C", i + 1), 0.05 + 0.07 * i, 0.2, 0.2});
  Crystal one({20, 10, 10, 90, 90, 90}, {"x, y, z"}, chain);
  modified(one, 1);
  connectivity(one.run);
  const std::string matrix = testing::section(one.log_text(), " ** CONNECTIVITY MATRIX **", "");
  EXPECT_EQ(matrix, " ** CONNECTIVITY MATRIX **\n" + rule +
                        "     1 | 0 1 0 0 0 0 0 0 0 0 0\n"
                        "     2 | 1 0 1 0 0 0 0 0 0 0 0\n"
                        "     3 | 0 1 0 1 0 0 0 0 0 0 0\n"
                        "     4 | 0 0 1 0 1 0 0 0 0 0 0\n"
                        "     5 | 0 0 0 1 0 1 0 0 0 0 0\n"
                        "     6 | 0 0 0 0 1 0 1 0 0 0 0\n"
                        "     7 | 0 0 0 0 0 1 0 1 0 0 0\n"
                        "     8 | 0 0 0 0 0 0 1 0 1 0 0\n"
                        "     9 | 0 0 0 0 0 0 0 1 0 1 0\n"
                        "    10 | 0 0 0 0 0 0 0 0 1 0 1\n"
                        "    11 | 0 0 0 0 0 0 0 0 0 1 0\n" +
                        rule);
  EXPECT_EQ(one.log_text().find("  >>  (1) element type"), std::string::npos);
  // The last atom's bond list ends in the last column.
  EXPECT_NE(one.log_text().find("  0.750000  0.200000  0.200000    10\n"), std::string::npos);

  Crystal two({20, 10, 10, 90, 90, 90}, {"x, y, z"}, chain);
  modified(two, 2);
  connectivity(two.run);
  const std::string log = two.log_text();
  EXPECT_NE(log.find(" Total number of atoms =     11\n"
                     "  >>  (1) element type\n"
                     "  >>  (2) atomic type\n"
                     "  >>  (3) total atom number\n"
                     "  >>  (4) fragment atom number\n"
                     "  >>  (5) fragment number\n"
                     "  >>  (6) symmetry operation number\n"
                     "  >>  (7) translation along X-axis\n"
                     "  >>  (8) translation along Y-axis\n"
                     "  >>  (9) translation along Z-axis\n"
                     "  >> (10) molecular atomic number\n"
                     "  >> (11) x-fractional coordinate\n"
                     "  >> (12) y-fractional coordinate\n"
                     "  >> (13) z-fractional coordinate\n"
                     "  >> (..) bonded atoms numbers\n"
                     " C   C1 "),
            std::string::npos);
  EXPECT_NE(log.find(" ** CONNECTIVITY MATRIX **"), std::string::npos);
}

std::string reduction_of(const std::vector<Atom>& atoms) {
  Crystal c({30, 30, 30, 90, 90, 90}, {"x, y, z"}, atoms);
  modified(c);
  connectivity(c.run);
  c.log.str("");
  connectivity_reduction(c.run);
  return c.log_text();
}

TEST(ConnectivityReduction, ThreeAtomChainLosesTwoAtomsInOneStepInAnyNumbering) {
  // C-O-C along x, 1.4 A apart, listed in every order.
  const Atom a{"C", "A", 0.10, 0.5, 0.5}, b{"O", "B", 0.1467, 0.5, 0.5}, c{"C", "C", 0.1933, 0.5, 0.5};
  const std::string expected = " ** CONNECTIVITY MATRIX REDUCTION **\n" + rule +
                               " Reduction step =   1 | Number of rejected atoms =   2\n"
                               " Reduction step =   2 | No more atoms to reject\n" +
                               rule;
  for (const auto& order : {std::vector<Atom>{a, b, c}, {b, a, c}, {a, c, b}, {c, b, a}})
    EXPECT_EQ(reduction_of(order), expected);
}

TEST(ConnectivityReduction, BareRingAndIsolatedAtomRejectNothing) {
  std::vector<Atom> ring;
  for (int i = 0; i < 6; ++i) {
    const double phi = i * 3.14159265358979 / 3;
    ring.push_back({"C", label("C", i + 1), 0.5 + 1.4 * std::cos(phi) / 30, 0.5 + 1.4 * std::sin(phi) / 30,
                    0.5});
  }
  ring.push_back({"O", "O1", 0.1, 0.1, 0.1});
  EXPECT_EQ(reduction_of(ring), " ** CONNECTIVITY MATRIX REDUCTION **\n" + rule +
                                    " Reduction step =   1 | No more atoms to reject\n" + rule);
}

TEST(ConnectivityReduction, SubstituentsAreStrippedStepByStep) {
  // A ring with an ethyl group (hydrogens left out), stripped from its end.
  std::vector<Atom> atoms;
  for (int i = 0; i < 6; ++i) {
    const double phi = i * 3.14159265358979 / 3;
    atoms.push_back({"C", label("C", i + 1), 0.5 + 1.4 * std::cos(phi) / 30,
                     0.5 + 1.4 * std::sin(phi) / 30, 0.5});
  }
  // Listed from the ring outwards, so that each step removes one atom only.
  atoms.insert(atoms.begin(), {"C", "C7", 0.5 + 2.9 / 30, 0.5, 0.5});
  atoms.insert(atoms.begin() + 1, {"C", "C8", 0.5 + 4.4 / 30, 0.5, 0.5});
  EXPECT_EQ(reduction_of(atoms), " ** CONNECTIVITY MATRIX REDUCTION **\n" + rule +
                                     " Reduction step =   1 | Number of rejected atoms =   1\n"
                                     " Reduction step =   2 | Number of rejected atoms =   1\n"
                                     " Reduction step =   3 | No more atoms to reject\n" +
                                     rule);
}

}  // namespace
}  // namespace orbicutter::fragtest
