// From a CIF to a QM/MM job: the central molecule, the charges, the run folder.
#include <gtest/gtest.h>

#include <string>

#include "cif/cif_run.hpp"

namespace orbicutter::cif::testing {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string solvate = "2009397.cif";  // CH2Cl2 solvate: its chlorine comes first in the CIF
const std::string salt = "2014244.cif";     // cation and anion with nine atoms other than hydrogen each

TEST(Centre, LargestFirstTiesKeepTheFirstAndChoicesByLabelOrFormula) {
  CifRun r = run_cif(data(solvate) + " -o -");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.err, "central molecule: C10 H14 O2 (O1 O2 C1 ")) << r.err;
  EXPECT_TRUE(has(r.out, "ASYM 1 29\nO  O1 ")) << r.out;
  // A tie in atoms other than hydrogen keeps the first molecule.
  r = run_cif(data(salt) + " -o -");
  EXPECT_TRUE(has(r.err, "central molecule: C4 H5 O5 (O1 ")) << r.err;
  r = run_cif(data(salt) + " -o - --centre N1");
  EXPECT_TRUE(has(r.err, "central molecule: C8 H12 N (N1 C11 ")) << r.err;
  EXPECT_TRUE(has(r.out, "ASYM 1 35\nN  N1 ")) << r.out;
  EXPECT_TRUE(has(run_cif(data(salt) + " -o - --centre C8H12N").err, "central molecule: C8 H12 N (N1 "));
  r = run_cif(data(salt) + " --centre C9");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "--centre C9: no molecule has that label or formula (the molecules: C4 H5 O5, C8 H12 N)")) << r.err;
  EXPECT_TRUE(r.files.empty());
}

}  // namespace
}  // namespace orbicutter::cif::testing
