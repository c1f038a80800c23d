// Small CIFs written for the cases the real ones lack.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>

#include "cif/cif_run.hpp"

namespace orbicutter::cif::testing {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The labels of the atom lines after "ASYM", each checked to be at most 3
// characters long; the set is as large as the atom lines are many only when
// they are unique. With `own_symbol`, each starts with its element symbol.
std::set<std::string> written_labels(const std::string& input, std::size_t& lines, bool own_symbol) {
  std::set<std::string> labels;
  std::istringstream in(input.substr(input.find("\nASYM")));
  std::string line;
  std::getline(in, line);
  std::getline(in, line);
  for (lines = 0; std::getline(in, line) && line.rfind("FRGM", 0) != 0; ++lines) {
    std::istringstream items(line);
    std::string element, label;
    items >> element >> label;
    EXPECT_LE(label.size(), 3u) << label;
    if (own_symbol) {
      EXPECT_EQ(label.rfind(element, 0), 0u) << label;
    }
    labels.insert(label);
  }
  return labels;
}

TEST(OwnCifs, IdentityListedSecondInAQuotedListWithIds) {
  const CifRun r = run_cif(data("own-identity-second.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& in = r.files.at("own-identity-second.inp");
  EXPECT_TRUE(has(in, "SYMM 4 0\nx, y, z\n-x, y+1/2, -z+1/2\n-x, -y, -z\nx, -y+1/2, z+1/2\nNFRG")) << in;
  EXPECT_TRUE(has(r.out, "note: identity moved from place 2 of the operator list to place 1")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula H2 O")) << r.out;
}

TEST(OwnCifs, TranslationWithoutTextFormWrittenAsMatrices) {
  // An inversion centre at x = 1/24: 1/12 has no text form, which would read as 0.
  const CifRun r = run_cif(data("own-shifted-origin.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.files.at("own-shifted-origin.inp"),
                  "SYMM 2 1\n1 0 0  0 1 0  0 0 1\n0 0 0\n-1 0 0  0 -1 0  0 0 -1\n0.08333333333333333 0 0\nNFRG"))
      << r.files.at("own-shifted-origin.inp");
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula H2 O")) << r.out;
}

TEST(OwnCifs, DecimalTranslationsOnlyAsTwentyFourths) {
  // 0.3 lies between 7/24 and 8/24: taken as either, it would move the inversion centre.
  CifRun r = run_cif(data("own-decimal-translations.cif"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "orbicutter-cif: error: no usable symmetry: the operator list is unusable: operator 2 "
                   "'-x+0.3,-y,-z' cannot be read (translation 0.3 is no multiple of 1/24)\n");
  EXPECT_TRUE(r.files.empty());
  // 0.6667 is 2/3 as printed to four decimals.
  r = run_cif(data("own-decimal-translations.cif") + " --block two_thirds -o -");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "SYMM 2 0\nx, y, z\n-x+2/3, -y, -z\nNFRG")) << r.out;
  EXPECT_TRUE(has(r.out, "decimal translations of the operator list read as fractions")) << r.out;
}

TEST(OwnCifs, MixedSiteRefusedAndASiteAtTheOccupancyLimitKept) {
  // Na and K sharing one site at half occupancy each: two elements on one
  // place are no symmetry copies of each other, and the input cannot hold both.
  CifRun r = run_cif(data("own-mixed-site.cif"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "orbicutter-cif: error: sites Na1 and K1 are 0.000 A apart; drop one with --drop, or see their "
                   "occupancies and disorder groups\n");
  EXPECT_TRUE(r.files.empty());
  // With K dropped by hand, Na at exactly the default limit of 0.5 stays.
  r = run_cif(data("own-mixed-site.cif") + " -o - --drop K1");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "! dropped, dropped on request: K1\n")) << r.out;
  EXPECT_FALSE(has(r.out, "occupancy below")) << r.out;
  EXPECT_TRUE(has(r.out, "NFRG 2 1\n")) << r.out;
  EXPECT_TRUE(has(r.out, "\nNa Na1 ")) << r.out;
}

TEST(OwnCifs, SiteGivenAsThirdsGoesOntoTheAxis) {
  // N of ammonia on the three-fold axis of P3, written 0.3333 0.6667 in the file:
  // as given its three images would stay 0.0003 A apart and never merge.
  const CifRun r = run_cif(data("own-third-site.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "moved onto special positions: N1 0.0003 A")) << r.out;
  std::istringstream line(r.files.at("own-third-site.inp").substr(r.files.at("own-third-site.inp").find("\nN  N1")));
  std::string el, label;
  double x, y, z;
  line >> el >> label >> x >> y >> z;
  EXPECT_NEAR(x, 1.0 / 3, 1e-15);
  EXPECT_NEAR(y, 2.0 / 3, 1e-15);
  EXPECT_EQ(z, 0.25);
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula H3 N")) << r.out;
}

TEST(OwnCifs, LongLabelsGetUniqueShortOnes) {
  // Ethane labelled C(10A), H(1A1), ...: their first three characters would clash.
  const CifRun r = run_cif(data("own-long-labels.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& in = r.files.at("own-long-labels.inp");
  std::size_t lines = 0;
  EXPECT_EQ(written_labels(in, lines, true).size(), 8u);
  EXPECT_EQ(lines, 8u);
  EXPECT_TRUE(has(in, "! label C(10A) -> C01\n! label C(10B) -> C02\n! label H(1A1) -> H01\n")) << in;
  EXPECT_TRUE(has(r.out, "renamed: C(10A) -> C01, C(10B) -> C02, H(1A1) -> H01,")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula C2 H6")) << r.out;
}

TEST(OwnCifs, FortyChlorinesOutgrowTheOneCharacterCodes) {
  const CifRun r = run_cif(data("own-many-chlorines.cif") + " --check");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& in = r.files.at("own-many-chlorines.inp");
  std::size_t lines = 0;
  EXPECT_EQ(written_labels(in, lines, false).size(), 50u);
  EXPECT_EQ(lines, 50u);
  // Cl1..Cl9 and ClA..ClZ, then the capitalised symbol.
  EXPECT_TRUE(has(in, "! label Cl101 -> Cl1\n")) << in;
  EXPECT_TRUE(has(in, "! label Cl135 -> ClZ\n! label Cl136 -> CL1\n")) << in;
  EXPECT_TRUE(has(r.out, "molecules rebuilt from the asymmetric unit: 10 x C Cl4")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula C Cl4")) << r.out;
}

TEST(OwnCifs, DeuteratedBenzeneOnAnInversionCentre) {
  const CifRun r = run_cif(data("own-deuterated.cif") + " --rings --check");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& in = r.files.at("own-deuterated.inp");
  EXPECT_TRUE(has(in, "\nD  D1 ")) << in;
  // One ring of six through the three carbons of the half molecule and their images.
  EXPECT_TRUE(has(in, "RING 1 1 6\n")) << in;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula C6 D6")) << r.out;
}

TEST(OwnCifs, TextFieldsStayInComments) {
  // Line breaks in a formula and a type symbol would otherwise start keyword lines.
  const CifRun r = run_cif(data("own-text-field.cif") + " -o - --dmax 9");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream in(r.out);
  int cells = 0, dmax = 0;
  for (std::string line; std::getline(in, line);) {
    cells += line.rfind("CELL", 0) == 0;
    dmax += line.rfind("DMAX", 0) == 0;
  }
  EXPECT_EQ(cells, 1) << r.out;
  EXPECT_EQ(dmax, 1) << r.out;
  EXPECT_TRUE(has(r.out, "! formula moiety: H2 O DMAX 99\n")) << r.out;
}

TEST(OwnCifs, OperatorListAndNamedGroupComparedWithTheirTranslations) {
  // The list of P 21/c beside the name P 2/c: the rotations agree, the screw axis does not.
  CifRun r = run_cif(data("own-screw-list-beside-glide-name.cif") + " -o -");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "! warning: the operator list differs from the space-group name 'P 1 2/c 1' (P 1\n!     2/c 1); the list is used")) << r.out;
  // The same list beside its own name, in another order than the tables': one group.
  r = run_cif(data("own-screw-list-beside-its-name.cif") + " -o -");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(has(r.out, "differs")) << r.out;
}

TEST(OwnCifs, SymmetryThatCannotBeUsed) {
  CifRun r = run_cif(data("own-no-symmetry.cif"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "orbicutter-cif: error: no usable symmetry: no operator list, Hall symbol, space-group name or number\n");
  r = run_cif(data("own-incomplete-operators.cif"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "no usable symmetry: the operator list is unusable: it is not a complete group")) << r.err;
  EXPECT_TRUE(r.files.empty());
}

}  // namespace
}  // namespace orbicutter::cif::testing
