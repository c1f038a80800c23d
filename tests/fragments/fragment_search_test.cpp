// Fragment search: the fast search gives the atom order of the restart scan.
#include <gtest/gtest.h>

#include "pipeline/pipeline.hpp"

#include <filesystem>

#include "fragments/fragments.hpp"
#include "fragments/random_crystal.hpp"
#include "support/runner.hpp"

namespace orbicutter::fragtest {
namespace {

const std::string crystals = std::string(ORBICUTTER_TEST_DATA) + "/crystals";

// True when the order is not simply the input order in a few fragments.
bool expect_same_order(const Run& run, const std::string& what) {
  const FragmentOrder fast = fragment_order(run);
  const FragmentOrder literal = literal_fragment_order(run);
  EXPECT_EQ(fast.atom, literal.atom) << what;
  EXPECT_EQ(fast.fragment, literal.fragment) << what;
  EXPECT_EQ(fast.nfrag, literal.nfrag) << what;
  return !std::is_sorted(fast.atom.begin(), fast.atom.end()) && fast.nfrag > 1;
}

TEST(FragmentSearch, FastOrderEqualsRestartScanOnRandomCrystals) {
  std::mt19937 rng(20240611);
  int telling = 0;
  for (int trial = 0; trial < 40; ++trial) {
    const bool oblique = trial % 2 == 1;
    const auto rc = random_crystal(rng, 6 + trial % 20, oblique);
    Crystal c(rc.cell, rc.ops, rc.atoms);
    if (trial % 5 == 0) c.exclude({{"H", "C"}, {"O", "N"}});
    if (trial % 7 == 3) c.run.gv.tol1 = sp(0.4f);
    telling += expect_same_order(c.run, "trial " + std::to_string(trial)) ? 1 : 0;
  }
  EXPECT_GT(telling, 15);
}

TEST(FragmentSearch, FastOrderEqualsRestartScanOnExampleCrystals) {
  for (const auto& e : std::filesystem::directory_iterator(crystals)) {
    if (e.path().extension() != ".inp") continue;
    Crystal c(testing::read_file(e.path().string()));
    expect_same_order(c.run, e.path().filename().string());
  }
}

TEST(FragmentSearch, InterleavedMoleculesAreGroupedInFragments) {
  // Two waters listed atom by atom in turn.
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"},
            {{"O", "O1", 0.10, 0.10, 0.10}, {"O", "O2", 0.50, 0.50, 0.50}, {"H", "H1", 0.19, 0.10, 0.10},
             {"H", "H2", 0.50, 0.59, 0.50}, {"H", "H3", 0.10, 0.19, 0.10}, {"H", "H4", 0.50, 0.50, 0.59}});
  fragment_search(c.run);
  EXPECT_EQ(c.log_text(),
            " ** FRAGMENT SEARCH **\n"
            " -----------------------------------------------------------\n"
            " Number of fragments after search = 2\n"
            " Fragment number =      1  |  Number of atoms =      3\n"
            " Fragment number =      2  |  Number of atoms =      3\n"
            " -----------------------------------------------------------\n"
            " O   O1      1     1     1  0.100000  0.100000  0.100000\n"
            " H   H1      2     2     1  0.190000  0.100000  0.100000\n"
            " H   H3      3     3     1  0.100000  0.190000  0.100000\n"
            " -----------------------------------------------------------\n"
            " O   O2      4     1     2  0.500000  0.500000  0.500000\n"
            " H   H2      5     2     2  0.500000  0.590000  0.500000\n"
            " H   H4      6     3     2  0.500000  0.500000  0.590000\n"
            " -----------------------------------------------------------\n");
  EXPECT_EQ(c.out_text(), "") << "banner and CPU time are the driver's";
  EXPECT_EQ(c.run.gv.nfrag, 2);
  EXPECT_EQ(c.run.at.frag(2, frag_id), 2);
  EXPECT_EQ(c.run.at.frag(2, frag_size), 3);
}

TEST(FragmentSearch, AtomsBondedOnlyThroughSymmetryJoinOneFragment) {
  // The hydrogen H2, given outside the cell, reaches O1 only through the
  // inversion and a cell translation; the ammonia stays apart.
  Crystal c({8, 8, 8, 90, 90, 90}, {"x, y, z", "-x, -y, -z"},
            {{"O", "O1", 0.10, 0.10, 0.10},
             {"N", "N1", 0.50, 0.50, 0.30},
             {"H", "H1", 0.10, 0.21, 0.10},
             {"H", "H2", 1.01, 0.90, 0.90},
             {"H", "H3", 0.50, 0.62, 0.30}},
            true);
  c.run.at.fcharge(4) = sp(0.25f);
  fragment_search(c.run);
  const auto& at = c.run.at;
  ASSERT_EQ(c.run.gv.nfrag, 2);
  std::vector<std::string> labels;
  for (int i = 1; i <= 5; ++i) labels.push_back(trim(at.fatns(i, 2)));
  EXPECT_EQ(labels, (std::vector<std::string>{"O1", "H1", "H2", "N1", "H3"}));
  // H2 stands at the image that bonds (inversion, translation 1 1 1), so the
  // water is one connected molecule; it keeps its charge. Atoms bonded as
  // given stay where they are.
  EXPECT_EQ(at.fgeom(3, 1), static_cast<real>(1) - static_cast<real>(1.01));
  EXPECT_EQ(at.fcharge(3), sp(0.25f));
  EXPECT_EQ((std::vector<int>{at.fimage(3, 1), at.fimage(3, 2), at.fimage(3, 3), at.fimage(3, 4)}),
            (std::vector<int>{2, 1, 1, 1}));
  for (int i : {1, 2, 4, 5}) EXPECT_EQ(at.fimage(i, 1), 0) << i;
  EXPECT_EQ(at.fgeom(2, 2), static_cast<real>(0.21));
  EXPECT_NE(c.log_text().find(" H   H2      3     3     1 -0.010000  0.100000  0.100000  0.250000\n"),
            std::string::npos);
}

TEST(FragmentSearch, HalfMoleculeOnInversionCentreIsOneFragment) {
  // Benzene in Pbca: three C-H pairs, the other half is the image through 0,0,0.
  Crystal c(testing::read_file(crystals + "/benzene_d8.inp"));
  fragment_search(c.run);
  EXPECT_EQ(c.run.gv.nfrag, 1);
  EXPECT_EQ(c.run.at.frag(1, frag_size), 6);
  EXPECT_EQ(c.run.gv.nat, 6);
}

TEST(FragmentSearch, ExcludedPairNeverJoinsInEitherOrder) {
  const std::vector<Atom> atoms = {{"C", "C1", 0.1, 0.1, 0.1}, {"H", "H1", 0.2, 0.1, 0.1}, {"C", "C2", 0.3, 0.1, 0.1}};
  for (const auto& pair : {std::pair<std::string, std::string>{"C", "H"}, {"H", "C"}}) {
    Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"}, atoms);
    c.exclude({pair});
    fragment_search(c.run);
    EXPECT_EQ(c.run.gv.nfrag, 3) << pair.first;
  }
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"}, atoms);
  fragment_search(c.run);
  EXPECT_EQ(c.run.gv.nfrag, 1);
}

TEST(FragmentSearch, SaltGivesOneFragmentPerIon) {
  // Ammonium chloride (CsCl type, a = 3.8758): the chloride is 2.3 A from the
  // nearest hydrogen, no bond.
  const double x = 0.149;
  Crystal c({3.8758, 3.8758, 3.8758, 90, 90, 90}, {"x, y, z"},
            {{"Cl", "Cl1", 0.5, 0.5, 0.5}, {"N", "N1", 0, 0, 0}, {"H", "H1", x, x, x}, {"H", "H2", -x, -x, x},
             {"H", "H3", -x, x, -x}, {"H", "H4", x, -x, -x}});
  fragment_search(c.run);
  ASSERT_EQ(c.run.gv.nfrag, 2);
  EXPECT_EQ(c.run.at.frag(1, frag_size), 1);
  EXPECT_EQ(c.run.at.frag(2, frag_size), 5);
  EXPECT_EQ(trim(c.run.at.fatns(2, 2)), "N1");
}

TEST(FragmentSearch, ElementsOutsideTheOwnTableUseTheirRadiusOrNone) {
  // Fe (periodic table, 1.32) bonds to O at 2.0 A; an unknown symbol has
  // radius 0 and reaches only radius + tol1.
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"},
            {{"Fe", "Fe1", 0.1, 0.1, 0.1}, {"O", "O1", 0.3, 0.1, 0.1}, {"Q", "Q1", 0.5, 0.5, 0.5},
             {"H", "H1", 0.5, 0.544, 0.5}, {"Q", "Q2", 0.8, 0.8, 0.8}, {"H", "H2", 0.8, 0.846, 0.8}});
  fragment_search(c.run);
  ASSERT_EQ(c.run.gv.nfrag, 4);
  EXPECT_EQ(c.run.at.frag(1, frag_size), 2);
  EXPECT_EQ(c.run.at.frag(2, frag_size), 2);
  EXPECT_EQ(c.run.at.frag(3, frag_size), 1);
  EXPECT_EQ(c.run.at.frag(4, frag_size), 1);
}

}  // namespace
}  // namespace orbicutter::fragtest
