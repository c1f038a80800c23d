// The cell content against the formula sum x Z, and elements against the formula.
#include <gtest/gtest.h>

#include "cif/error.hpp"
#include "cif/formula_check.hpp"

namespace orbicutter::cif {
namespace {

TEST(FormulaCheck, DifferencesBeyondRoundingAreNamed) {
  // Rounding allows a tenth of an atom plus half a percent: 8.13 C of 8 is rounding, 8.16 is not.
  EXPECT_TRUE(content_differences({{"C", 8.13}}, {{"C", 8}}).empty());
  EXPECT_EQ(content_differences({{"C", 8.16}}, {{"C", 8}}), std::vector<std::string>{"0.16 C atoms more than the formula"});
  // Hydrogens: the wording of the issue; an element of the formula absent from the sites.
  EXPECT_EQ(content_differences({{"C", 8}, {"H", 56}}, {{"C", 8}, {"H", 64}, {"N", 1}}),
            (std::vector<std::string>{"1 N atom fewer than the formula", "8 H atoms fewer than the formula: hydrogens not located?"}));
  // Every heavy element at half: one line for Z, then hydrogen at that ratio.
  EXPECT_EQ(content_differences({{"Cs", 2}, {"Mn", 2}, {"O", 20}}, {{"Cs", 4}, {"Mn", 4}, {"O", 40}, {"H", 24}}),
            (std::vector<std::string>{"every element but H 0.50 times the formula: Z counts another formula unit?",
                                      "12 H atoms fewer than the formula: hydrogens not located?"}));
  // Formula and Z per cell, deuterium counted as hydrogen.
  EXPECT_EQ(formula_per_cell("C2 D6 O, H2 O", "4").value(), (Composition{{"C", 8}, {"H", 32}, {"O", 8}}));
  EXPECT_FALSE(formula_per_cell("C2 H6 O", ""));
}

TEST(FormulaCheck, LabelsGiveOnlyElementsOfTheFormula) {
  auto site = [](const std::string& label, const std::string& element, bool from_label) {
    Site s;
    s.cif.label = label;
    s.element = element;
    s.element_from_label = from_label;
    return s;
  };
  std::vector<Site> sites{site("Wat1", "W", true), site("OW2", "O", true), site("D1", "D", true), site("Na1", "Na", false)};
  std::vector<std::string> warnings;
  check_site_elements(sites, "C H4 O, H2 O", warnings);
  EXPECT_EQ(sites[0].element, "O");
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0], "label Wat1 read as water oxygen O: no type symbol, and the formula has no element that the label spells");
  EXPECT_EQ(warnings[1], "element outside the formula sum C H4 O, H2 O: Na1 (Na)");
  // A label that is no water and spells an element outside the formula.
  sites = {site("Xe1", "Xe", true)};
  EXPECT_THROW(check_site_elements(sites, "C H4 O", warnings), ConversionError);
}

}  // namespace
}  // namespace orbicutter::cif
