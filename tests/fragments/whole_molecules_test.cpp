// Whole molecules on awkward asymmetric units: a molecule written across a cell
// edge or with an atom at a symmetry-equivalent position, a molecule long
// beside a short cell edge, and coordination bonds to metals (MTOL).
#include <gtest/gtest.h>

#include "pipeline/pipeline.hpp"

#include <map>
#include <sstream>

#include "fragments/fragment_fixture.hpp"
#include "fragments/fragments.hpp"
#include "orbicutter/orbicutter.hpp"
#include "support/runner.hpp"

namespace orbicutter::fragtest {
namespace {

const std::string molecules_dir = std::string(ORBICUTTER_TEST_DATA) + "/molecules/";

// Formula of each molecule of the asymmetric unit, in Hill order.
std::vector<std::string> formulas(const orbicutter::Molecules& m) {
  std::vector<std::string> out;
  for (const auto& mol : m.molecules) {
    std::map<std::string, int> count;
    for (int i = mol.first; i < mol.first + mol.count; ++i) ++count[m.atoms[static_cast<std::size_t>(i)].element];
    out.push_back(hill_formula(count));
  }
  return out;
}

bool has_warning(const std::vector<orbicutter::Warning>& w, const std::string& phase, const std::string& text) {
  for (const auto& box : w)
    for (const auto& line : box.messages)
      if (box.phase == phase && line.find(text) != std::string::npos) return true;
  return false;
}

TEST(WholeMolecules, AtomsJoinedThroughAnImageStandAtThatImage) {
  // Cl2 with Cl2 one cell along a from Cl1: one Cl2, not two (Cl4).
  orbicutter::Structure edge(testing::read_file(molecules_dir + "across_edge.inp"));
  EXPECT_EQ(formulas(edge.molecules()), std::vector<std::string>{"Cl2"});
  const auto& cl2 = edge.molecules().atoms[1];
  EXPECT_EQ(cl2.translation.a, -1);
  EXPECT_EQ(cl2.operation, 1);

  // A charged water written with H2 at its inversion image: H2 comes back
  // through operation 3 with translation 1 1 1, the molecule holds three
  // atoms and its charge, the last atom's included.
  const std::string water =
      "CELL 10.0 12.0 8.0 90.0 105.0 90.0\nSYMM 4 0\nx, y, z\n-x, y+1/2, -z+1/2\n-x, -y, -z\nx, -y+1/2, z+1/2\n"
      "CHRG 1\nFRGM 1 1 1\nNFRG 3 1\nMOL 1 3\nO O1 0.10 0.20 0.30 -1.8\nH H1 0.15 0.25 0.35 0.4\n"
      "H H2 0.95 0.75 0.75 0.4\nDMAX 6.0\n";
  orbicutter::Structure s(water);
  const auto& m = s.molecules();
  ASSERT_EQ(formulas(m), std::vector<std::string>{"H2 O"});
  const auto& h2 = m.atoms[2];
  EXPECT_EQ(h2.label, "H2");
  EXPECT_EQ(h2.operation, 3);
  EXPECT_EQ(h2.translation.a, 1);
  EXPECT_EQ(h2.translation.b, 1);
  EXPECT_EQ(h2.translation.c, 1);
  EXPECT_NEAR(h2.fractional.x, 0.05, 0.02);  // where X-H standardisation leaves it
  double charge = 0;
  for (const auto& a : m.atoms) charge += a.charge;
  EXPECT_NEAR(charge, -1.0, 1e-6);
  EXPECT_FALSE(has_warning(s.warnings(), "FRAGMENTS", "do not join"));
}

TEST(WholeMolecules, MoleculeLongBesideAShortAxisIsCompletedAndItsHalfIsNamed) {
  // A C8 chain along a 4 A axis needs a translation of 3 cells after the shift.
  const std::string input = testing::read_file(molecules_dir + "short_axis.inp");
  orbicutter::Structure whole(input);
  EXPECT_EQ(formulas(whole.molecules()), std::vector<std::string>{"C8"});
  EXPECT_EQ(whole.molecules().atoms.back().translation.b, 3);

  // Without completion the half stays, and the check says so.
  std::string half = input;
  half.replace(half.find("FRGM 1 1 1"), 10, "FRGM 1 0 1");
  orbicutter::Structure s(half);
  EXPECT_EQ(formulas(s.molecules()), std::vector<std::string>{"C4"});
  EXPECT_TRUE(has_warning(s.warnings(), "FRAGMENTS", "Incomplete molecules"));
}

TEST(MetalBonds, MetalPairsTakeTheirToleranceExactlyAtTheThreshold) {
  // Zr (1.75) - C (0.75) with MTOL 0.25: threshold 2.75 A, exact in both
  // precisions; 0.34375 of an 8 A edge is exactly 2.75 A. The C-C pair at
  // 1.75 A would bond with 0.25 but keeps TOLS 0.05: the metal rule is for
  // pairs with a metal only.
  struct Case {
    const char* e1;
    double x2;
    int nfrag;
  };
  for (const Case& k : {Case{"Zr", 0.59375, 1}, Case{"Zr", 0.594, 2}, Case{"C", 0.46875, 2}}) {
    SCOPED_TRACE(std::string(k.e1) + " " + std::to_string(k.x2));
    Crystal c({8, 8, 8, 90, 90, 90}, {"x, y, z"}, {{k.e1, "M1", 0.25, 0.5, 0.5}, {"C", "C1", k.x2, 0.5, 0.5}});
    c.run.kw.kmtol = 1;
    c.run.gv.mtol = sp(0.25f);
    EXPECT_EQ(fragment_order(c.run).nfrag, k.nfrag);
    // Either atom of the pair may be the metal.
    Crystal swapped({8, 8, 8, 90, 90, 90}, {"x, y, z"}, {{"C", "C1", k.x2, 0.5, 0.5}, {k.e1, "M1", 0.25, 0.5, 0.5}});
    swapped.run.kw.kmtol = 1;
    swapped.run.gv.mtol = sp(0.25f);
    EXPECT_EQ(fragment_order(swapped.run).nfrag, k.nfrag);
  }
}

TEST(MetalBonds, CopperWaterIsOneComplexWithMtolAndTheKeywordIsReported) {
  // Cu-O 2.21 A: apart at TOLS 0.15, one complex with MTOL 0.3.
  const std::string base =
      "CELL 10.0 10.0 10.0 90.0 90.0 90.0\nSYMM 1 0\nx, y, z\nFRGM 1 1 1\nTOLS 0.15 0.10 0.08 0\n"
      "NFRG 4 1\nCU 1 4\nCu Cu1 0.50 0.50 0.50\nO O1 0.721 0.50 0.50\nH H1 0.78 0.575 0.50\nH H2 0.78 0.425 0.50\n"
      "DMAX 5.0\n";
  orbicutter::Structure apart(base);
  EXPECT_EQ(formulas(apart.molecules()), (std::vector<std::string>{"Cu", "H2 O"}));
  EXPECT_FALSE(apart.options().metal_tolerance);

  std::ostringstream log;
  orbicutter::Structure complex(base + "MTOL 0.3\nVERB 1\n", {&log, nullptr});
  EXPECT_EQ(formulas(complex.molecules()), std::vector<std::string>{"Cu H2 O"});
  EXPECT_TRUE(complex.options().metal_tolerance);
  EXPECT_NE(log.str().find(" Tolerance for bonds to metals =     0.30\n"), std::string::npos);

  // The echo file carries it, so that the run can be repeated.
  const auto run = testing::run_program_on(base + "MTOL 0.3\nVERB 1\n");
  EXPECT_NE(run.files.at("current_input.inp").find("\nMTOL    0.30\n"), std::string::npos);

  // Beyond 2 A every metal would bond to its second shell: refused.
  EXPECT_THROW(orbicutter::Structure(base + "MTOL 2.5\n"), orbicutter::Error);
}

}  // namespace
}  // namespace orbicutter::fragtest
