// Small CIFs that once gave wrong molecules without a word: each now gives
// the molecule a chemist would draw, or a message that names the problem.
#include <gtest/gtest.h>

#include <string>

#include "cif/cif_run.hpp"

namespace orbicutter::cif::testing {
namespace {

// Long warnings are wrapped, in the summary and in the input's comments: their lines joined.
std::string flat(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (text.compare(i + 1, 4, "    ") == 0 || text.compare(i + 1, 6, "!     ") == 0)) {
      i = text.find_first_not_of(" !", i + 1) - 1;
      out += ' ';
      continue;
    }
    out += text[i];
  }
  return out;
}

bool has(const std::string& text, const std::string& part) { return flat(text).find(part) != std::string::npos; }

TEST(WrongMolecules, ElementsAndSymmetryCheckedAgainstTheFormula) {
  // Wat1 without a type symbol: water, not tungsten.
  CifRun r = run_cif(data("label-wat-not-tungsten.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "warning: label Wat1 read as water oxygen O")) << r.out;
  EXPECT_TRUE(has(r.out, "molecules rebuilt from the asymmetric unit: H2 O\n")) << r.out;
  // No hydrogen site of the 64 in the cell.
  r = run_cif(data("C2_H8_Cl3_Cu_N-proper-formula.cif") + " -o -");
  EXPECT_TRUE(has(r.err, "(C2 H8 Cl3 Cu N x 8): 64 H atoms fewer than the formula: hydrogens not located?")) << r.err;
  // The identity and the C-centring listed beside the Hall symbol of C 2/c, Z = 8.
  r = run_cif(data("own-list-beside-hall.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.files.at("own-list-beside-hall.inp"), "\nSYMM 8 0\n")) << r.files.at("own-list-beside-hall.inp");
  EXPECT_TRUE(has(r.out, "whose 8 are used: their cell content matches the formula sum x Z, the list's does not")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula H2 O")) << r.out;
}

TEST(WrongMolecules, DisorderKeepsOneOfEachAlternative) {
  // Three CF3 groups in one assembly, groups 1/2, 3/4, 5/6: nine F, not three.
  CifRun r = run_cif(data("own-disorder-pairs.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "dropped, disorder group 6 of assembly A, groups 5/6 not kept: F31B, F32B,")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula C4 H F9")) << r.out;
  // Toluene at occupancy 0.5 over an inversion centre: never the two orientations as one molecule.
  r = run_cif(data("own-solvent-on-inversion.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "warning: sites C1S, C2S, C3S, C4S, C5S, C6S, C7S (occupancy 0.5) overlap their images through -x, -y, -z"))
      << r.out;
  EXPECT_TRUE(has(r.out, "molecules rebuilt from the asymmetric unit: H2 O\n")) << r.out;
  // Two orientations listed side by side at 0.5 without groups: the first kept.
  r = run_cif(data("own-two-orientations.cif") + " --check");
  EXPECT_TRUE(has(r.out, "warning: sites N2, C3, C4 (occupancy 0.5, no disorder group) overlap N1, C1, C2")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula C2 N")) << r.out;
}

TEST(WrongMolecules, CellAgainstTheGroupsMetric) {
  // a 14.231 / b 14.227, alpha 90.07 in P 3: fitted, with the change noted.
  CifRun r = run_cif(data("own-trigonal-unconstrained.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& in = r.files.at("own-trigonal-unconstrained.inp");
  EXPECT_TRUE(has(in, "\nCELL 14.229 14.229 5 90 90 120\n")) << in;
  EXPECT_TRUE(has(in, "! note: cell fitted to the symmetry of P 3: a 14.2310 -> 14.2290, b 14.2270 -> 14.2290, alpha 90.070 -> 90.000\n"))
      << in;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula H2 O")) << r.out;
  // b 14.9: refused, naming the axes.
  r = run_cif(data("own-trigonal-wrong-cell.cif"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "the cell does not keep the symmetry of P 3: a 14.2310 and b 14.9000, which P 3 makes equal")) << r.err;
  EXPECT_TRUE(r.files.empty());
  // F m -3 m with its primitive cell: the cause named.
  r = run_cif(data("own-f-centred-primitive-cell.cif"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "the cell is the primitive cell of an F-centred lattice, and F m -3 m needs the centred cell (4 times the "
                         "volume: a 5.6427, b 5.6427, c 5.6427,")) << r.err;
  // The cell in a loop of one row.
  r = run_cif(data("own-cell-in-loop.cif") + " -o -");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "! note: the cell read from a loop of one row\nCELL 7 8 9 90 100 90\n")) << r.out;
}

TEST(WrongMolecules, MetalBondsPolymersAndToleranceAdviceThatWorks) {
  // A Cu-Cl chain: refused, and no metal tolerance parts it.
  CifRun r = run_cif(data("own-chain-polymer.cif") + " --check");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "error: not a molecular crystal: fragment 1 grows without end (a coordination polymer or framework); "
                         "no lower MTOL (down to the bond tolerance 0.15) parts it")) << r.err;
  // Na-O contacts of a sodium phosphate join it into a network; the first step down, 0.25, parts it.
  r = run_cif(data("2000056.cif") + " --check");
  EXPECT_TRUE(has(r.err, "grows without end (a coordination polymer or framework); with --mtol 0.25 its metal contacts leave "
                         "finite molecules")) << r.err;
  // Cu-OH2 2.21 A: one complex with the default MTOL; without it, the advice names the value that joins it.
  r = run_cif(data("own-cu-aqua-complex.cif") + " --check");
  EXPECT_TRUE(has(r.files.at("own-cu-aqua-complex.inp"), "\nMTOL 0.3\n"));
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula Cl2 Cu H4 O2")) << r.out;
  r = run_cif(data("own-cu-aqua-complex.cif") + " --check --mtol 0.15");
  EXPECT_TRUE(has(r.out, "with the metal bond tolerance 0.25 the molecules agree with the moiety formula: --mtol 0.25")) << r.out;
  // Water with H2 given at its image through the inversion centre: one molecule, no advice.
  r = run_cif(data("own-atom-at-equivalent-position.cif") + " --check");
  EXPECT_TRUE(has(r.out, "molecules rebuilt from the asymmetric unit: H2 O\n")) << r.out;
  EXPECT_FALSE(has(r.out, "bond tolerance")) << r.out;
}

}  // namespace
}  // namespace orbicutter::cif::testing
