// The real CIFs: every one converts into an input whose molecules are checked,
// or fails with its one-line message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cif/cif_run.hpp"

namespace orbicutter::cif::testing {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The generated input, written to standard output.
std::string input_of(const std::string& cif, const std::string& options = "") {
  const CifRun r = run_cif(data(cif) + " -o - " + options);
  EXPECT_EQ(r.status, 0) << cif << ": " << r.err;
  return r.out;
}

TEST(SharedCifs, MolecularCrystalsRebuildTheMoietyFormula) {
  // Organic molecules, salts and a solvate; disorder and repeated labels among them.
  for (const char* cif : {"1004000-atom-names-not-unique.cif", "1004001-disorder.cif", "2007947-temperature-in-range.cif",
                          "2010359.cif", "2010442-Uiso-value-bug.cif", "2010500-dec-temperature.cif", "2013611.cif",
                          "2014244.cif", "2200981-enums.cif", "2201353-cell-vol.cif",
                          "2201996-temperature-decomposition-sigma.cif", "4021067.cif",
                          "7100406-degrees-cendigrades.cif", "coordinates-with-su.cif"}) {
    const CifRun r = run_cif(data(cif) + " --check");
    EXPECT_EQ(r.status, 0) << cif << ": " << r.err;
    EXPECT_TRUE(has(r.out, "they agree with the moiety formula")) << cif << ":\n" << r.out;
    EXPECT_FALSE(has(r.out, "warning")) << cif << ":\n" << r.out;
  }
}

TEST(SharedCifs, MoleculesWithoutMoietyFormulaComeOutWhole) {
  // C28H24 in Pbca (given under a lower-case tag); a B-B bonded molecule whose
  // B-N bonds of 1.66 A the program's own tolerance would miss.
  CifRun r = run_cif(data("2000334.cif") + " --check");
  EXPECT_TRUE(has(r.out, "from the space-group name 'Pbca'")) << r.out;
  EXPECT_TRUE(has(r.out, "molecules rebuilt from the asymmetric unit: C28 H24\n")) << r.out;
  r = run_cif(data("2010785.cif") + " --check");
  EXPECT_TRUE(has(r.out, "molecules rebuilt from the asymmetric unit: C8 H22 B2 N2 S4,")) << r.out;
  EXPECT_TRUE(has(r.out, "partly occupied disorder assembly A (occupancy 0.334): C9, C9'")) << r.out;
}

TEST(SharedCifs, CheckWarnsWhereFormulaAndSitesDisagree) {
  // Two hydrogen sites more than the formulas of the file state.
  CifRun r = run_cif(data("2001826.cif") + " --check");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "warning: molecule C22 H24 O is C22 H22 O with 2 hydrogen atom(s) too many")) << r.out;
  // A CH2Cl2 guest modelled on a three-fold axis without occupancies; dropped by hand it agrees.
  r = run_cif(data("2009397.cif") + " --check");
  EXPECT_TRUE(has(r.out, "warning: molecule C Cl4 matches no part of the moiety formula (a guest to leave out? see --drop)")) << r.out;
  r = run_cif(data("2009397.cif") + " --check --drop Cl11,Cl12 --drop C11");
  EXPECT_TRUE(has(r.out, "moiety 0.06C H2 Cl2 (partly occupied) is not in the input")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula")) << r.out;
}

TEST(SharedCifs, OperatorsFromEachSource) {
  // Hermann-Mauguin name alone.
  EXPECT_TRUE(has(input_of("2010442-Uiso-value-bug.cif"), "SYMM 4 0\nx, y, z\n-x, y+1/2, -z+1/2\n-x, -y, -z\nx, -y+1/2, z+1/2\n"));
  // Number alone: the standard setting; the same group as the name of the other copy.
  const std::string by_number = input_of("2000000-only-ITC-number.cif");
  EXPECT_TRUE(has(by_number, "SYMM 2 0\nx, y, z\n-x, -y, -z\nNFRG")) << by_number;
  EXPECT_TRUE(has(by_number, "from the space-group number 2")) << by_number;
  EXPECT_TRUE(has(input_of("2000000-no-symops.cif"), "SYMM 2 0\nx, y, z\n-x, -y, -z\nNFRG"));
  // Origin choice 2 of P b a n, from the list.
  const std::string pban = input_of("2011014-enums.cif");
  EXPECT_TRUE(has(pban, "SYMM 8 0\nx, y, z\n")) << pban;
  EXPECT_TRUE(has(pban, "\n-x+1/2, -y+1/2, z\n")) << pban;
  // A list with two wrong operators (and decimal translations) gives way to the Hall symbol.
  const std::string r3 = input_of("2009397.cif");
  EXPECT_TRUE(has(r3, "! warning: the operator list is unusable")) << r3;
  EXPECT_TRUE(has(r3, "9 operators from the Hall symbol 'R 3'")) << r3;
  EXPECT_TRUE(has(r3, "\n-x+y+2/3, -x+1/3, z+1/3\n")) << r3;
}

TEST(SharedCifs, SitesOnSpecialPositionsAreMovedExactly) {
  // R 3 2 on hexagonal axes: P1, O1 and I1 on three-fold axes, I1' on a two-fold axis.
  const CifRun r = run_cif(data("2201996-temperature-decomposition-sigma.cif"));
  EXPECT_TRUE(has(r.out, "moved onto special positions: P1 0.0007 A, O1 0.0007 A, I1 0.0012 A,")) << r.out;
  const std::string input = r.files.at("2201996-temperature-decomposition-sigma.inp");
  EXPECT_TRUE(has(input, "I  I1  0.6666666666666666 0.3333333333333333 0.8333333333333334\n") ||
              has(input, "I  I1  0.6666666666666667 0.3333333333333333 0.8333333333333334\n")) << input;
}

TEST(SharedCifs, SitesDroppedWithTheirReasons) {
  // Symmetry-generated copies listed as sites (labels with '*').
  std::string in = input_of("2000080-molecule.cif");
  EXPECT_TRUE(has(in, "! dropped, symmetry copy: O1B* (of O1), O2B* (of O2), H1B* (of H1)\n")) << in;
  // A dummy site with unknown coordinates.
  in = input_of("2000135-dummy-atom-coordinates.cif");
  EXPECT_TRUE(has(in, "! dropped, dummy site: ?\nCELL")) << in;
  EXPECT_TRUE(has(in, "NFRG 24 1\n")) << in;
  // Disorder groups -1/-2 of one assembly: the major one stays.
  in = input_of("2014244.cif");
  EXPECT_TRUE(has(in, "! dropped, disorder group -2 of assembly A not kept: C21, C31, H21, H31A, H31B\n")) << in;
  // Mixed Mg/Al/Fe sites: the minor metals and partly occupied water go; with a
  // lower limit two metals share a site, which is refused.
  in = input_of("9010753-C-D-bond.cif");
  EXPECT_TRUE(has(in, "! dropped, occupancy below 0.5: Al2 (0.41), Fe2 (0.03), Al3 (0.41),")) << in;
  EXPECT_TRUE(has(in, "Mg Mg2 ")) << in;
  const CifRun low = run_cif(data("9010753-C-D-bond.cif") + " --min-occupancy 0.4");
  EXPECT_EQ(low.status, 1);
  EXPECT_EQ(low.err, "orbicutter-cif: error: sites Mg2 and Al2 are 0.000 A apart; drop one with --drop, or see their "
                     "occupancies and disorder groups\n");
  EXPECT_TRUE(low.files.empty());
}

TEST(SharedCifs, OccupanciesAndDisorderChoices) {
  // Crystallographic occupancies of an old file: the cobalt on a four-fold axis stays.
  std::string in = input_of("7051132.cif");
  EXPECT_TRUE(has(in, "occupancies on special positions read as crystallographic: Co1 0.25 x 4")) << in;
  EXPECT_TRUE(has(in, "\nCo Co1 ")) << in;
  // The minor groups by request.
  in = input_of("1004001-disorder.cif", "--disorder-group 2");
  EXPECT_TRUE(has(in, "! note: disorder assembly A: group 2 kept (asked for, 0.467), group 1 dropped\n!     (0.533)\n")) << in;
  EXPECT_TRUE(has(in, "! dropped, disorder group 1 of assembly A not kept: C101,")) << in;
}

TEST(SharedCifs, ElementsAndLabels) {
  // No type symbols: elements from labels (Na, HC2 as hydrogen, O3w as oxygen).
  std::string in = input_of("9007874-strange-H-names-no-types.cif");
  for (const char* line : {"\nNa Na ", "\nH  HC2 ", "\nO  O3w ", "\nN  N   "}) EXPECT_TRUE(has(in, line)) << line << in;
  // Repeated labels: every copy renamed, told apart by its row.
  in = input_of("1004000-atom-names-not-unique.cif");
  EXPECT_TRUE(has(in, "! label H1B (row 10) -> H01\n")) << in;
  EXPECT_TRUE(has(in, "! label H1B (row 18) -> H04\n")) << in;
  // Bracketed labels lose their brackets where that leaves a free label.
  in = input_of("2001826.cif");
  EXPECT_TRUE(has(in, "! label C(11) -> C11\n")) << in;
  // Standard uncertainties dropped from coordinates and cell.
  in = input_of("coordinates-with-su.cif");
  EXPECT_TRUE(has(in, "CELL 9.3539 9.4338 10.2406 91.805 104.889 109.986\n")) << in;
}

TEST(SharedCifs, DamagedFilesStopWithOneLine) {
  struct Case {
    const char* cif;
    const char* message;
  };
  for (const Case& c : {Case{"1001012-no-cell.cif", "no cell: _cell_length_a is missing"},
                        Case{"2000127-unknown-coordinates.cif", "every atom site was dropped (1 unknown coordinates)"},
                        Case{"2009397-syntax-error.cif", "CIF syntax error at line 34: parse error"}}) {
    const CifRun r = run_cif(data(c.cif));
    EXPECT_EQ(r.status, 1) << c.cif;
    EXPECT_TRUE(r.out.empty()) << c.cif;
    EXPECT_TRUE(r.err.rfind("orbicutter-cif: error: ", 0) == 0 && has(r.err, c.message) &&
                r.err.find('\n') == r.err.size() - 1) << c.cif << ": " << r.err;
    EXPECT_TRUE(r.files.empty()) << c.cif;
  }
}

TEST(SharedCifs, NetworksConvertButDoNotMakeMolecules) {
  // A zincophosphate framework and a mineral: the input is written, the check
  // run says that they are not molecular crystals.
  for (const char* cif : {"2000135-dummy-atom-coordinates.cif", "9010753-C-D-bond.cif"}) {
    const CifRun r = run_cif(data(cif) + " --check");
    EXPECT_EQ(r.status, 1) << cif;
    EXPECT_TRUE(has(r.err, "error: not a molecular crystal: fragment 1 grows without end (a coordination polymer or framework)"))
        << cif << r.err;
    EXPECT_EQ(r.files.size(), 1u) << cif;
  }
}

}  // namespace
}  // namespace orbicutter::cif::testing
