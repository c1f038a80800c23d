// Formula notation, the molecule check and the element of a site.
#include <gtest/gtest.h>

#include "cif/elements.hpp"
#include "cif/formula.hpp"
#include "cif/molecule_check.hpp"

namespace orbicutter::cif {
namespace {

Composition formula(const std::string& text) { return parse_formula(text).value().at(0).composition; }

TEST(Formula, MultipliersBracketsAndCharges) {
  const auto parts = parse_formula("2C32 H28 N2 O, 0.06C H2 Cl2").value();
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].multiplier, 2);
  EXPECT_EQ(hill_formula(parts[0].composition), "C32 H28 N2 O");
  EXPECT_EQ(parts[1].multiplier, 0.06);
  EXPECT_EQ(hill_formula(formula("W6 S8 (CH5N)6")), "C6 H30 N6 S8 W6");
  // A charge after a bracket is no multiplier; charges after counts are left out.
  EXPECT_EQ(hill_formula(formula("[Co(NH3)6]3+")), "Co H18 N6");
  EXPECT_EQ(hill_formula(formula("C4 H5 O5 -")), "C4 H5 O5");
  EXPECT_EQ(hill_formula(formula("S O4 2-")), "O4 S");
  EXPECT_FALSE(parse_formula("[Co(bpe)2(NCS)2].CH3OH"));  // abbreviation
  EXPECT_FALSE(parse_formula("Xx2 O"));
}

TEST(Formula, MoleculeCheckNamesTheLikelyCause) {
  auto check = [](const std::string& moiety, std::vector<std::string> rebuilt) {
    std::vector<Composition> c;
    for (const auto& r : rebuilt) c.push_back(formula(r));
    return check_molecules(moiety, c);
  };
  EXPECT_TRUE(check("C8 H12 N +, C4 H5 O5 -", {"C4 H5 O5", "C8 H12 N"}).warnings.empty());
  auto r = check("C6 H6", {"C3 H3", "C3 H3"});
  ASSERT_EQ(r.warnings.size(), 2u);
  EXPECT_EQ(r.warnings[0], "molecule C3 H3 is a part of C6 H6: a molecule cut in two?");
  r = check("C6 H6", {"C12 H12"});
  EXPECT_EQ(r.warnings[0], "molecule C12 H12 holds C6 H6 and more: molecules bonded together?");
  r = check("C6 H6 O", {"C6 H5 O"});
  EXPECT_EQ(r.warnings[0], "molecule C6 H5 O is C6 H6 O with 1 hydrogen atom(s) missing");
  r = check("C8 H12 N +, C4 H5 O5 -", {"C8 H12 N"});
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0], "moiety C4 H5 O5 was not rebuilt (a site missing, or an ion without its counter-ion?)");
  // A cation and its iodide written as one formula; two polyatomic pieces are no ion pair.
  EXPECT_TRUE(check("C8 H18 I N4 O P", {"C8 H18 N4 O P", "I", "I"}).warnings.empty());
  EXPECT_EQ(check("C16 H17 N O4", {"C8 H5 N O2", "C8 H12 O2"}).warnings.size(), 3u);
  // A partly occupied guest may be missing.
  EXPECT_TRUE(check("C10 H14 O2, 0.06C H2 Cl2", {"C10 H14 O2"}).warnings.empty());
  EXPECT_FALSE(check("", {"C6 H6"}).compared);
}

TEST(Elements, TypeSymbolThenLabel) {
  struct Case {
    const char *type, *label, *symbol;
  };
  const std::set<std::string> organic{"C", "H", "N", "O", "Cl"};
  for (const Case& c : {Case{"O2-", "O1", "O"}, Case{"Fe3+", "Fe1", "Fe"}, Case{"OH-", "O5", "O"}, Case{"D", "H1", "D"},
                        Case{"", "CL1", "Cl"}, Case{"", "H12A", "H"}, Case{"", "HO1", "H"}, Case{"", "D3", "D"},
                        Case{"", "Na", "Na"}, Case{"", "O3w", "O"}}) {
    const SiteElement e = site_element(c.type, c.label, organic);
    EXPECT_EQ(e.symbol, c.symbol) << c.type << " " << c.label;
    EXPECT_EQ(e.from_label, std::string(c.type).empty() || std::string(c.type) == "OH-") << c.label;
  }
  EXPECT_EQ(site_element("", "HG1", {}).symbol, "H");   // no formula: H then a capital stays hydrogen
  EXPECT_EQ(site_element("", "CL1", {}).symbol, "Cl");
  EXPECT_TRUE(site_element("Q", "Q1", {}).dummy);
  EXPECT_TRUE(site_element("", "DUM", {}).dummy);
}

}  // namespace
}  // namespace orbicutter::cif
