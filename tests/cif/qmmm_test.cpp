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

TEST(RunFolder, OneFolderPerStructureStaleDimersGoFailedRunsTouchNothing) {
  const std::string setup = "cp " + data(salt) + " . && mkdir 2014244 && touch 2014244/dimer_99.xyz 2014244/notes.txt";
  CifRun r = run_cif("2014244.cif --run --dimers --dmax 12", setup);
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* f : {"2014244/2014244.inp", "2014244/2014244.out", "2014244/2014244.xyz", "2014244/dimer_4.xyz",
                        "2014244/dimer_68.xyz", "2014244/notes.txt"})
    EXPECT_TRUE(r.files.count(f)) << f;
  EXPECT_FALSE(r.files.count("2014244/dimer_99.xyz"));  // an earlier run's
  EXPECT_EQ(r.files.size(), 11u);  // the CIF, 3 of the run, 6 dimers, the notes
  // Two dimers share the code 55501 but not the partner.
  EXPECT_TRUE(has(r.out, "  dimer_40.xyz: C8 H12 N (fragment 2), operation 1, translation +0 +0 +0 (55501), 4.294 A, "
                         "1 at this distance\n")) << r.out;
  EXPECT_TRUE(has(r.out, "  dimer_7.xyz: C4 H5 O5 (fragment 1), operation 1, translation -1 +0 +0 (45501), 6.423 A, 2 at"));

  r = run_cif("2014244.cif --run --keyword 'CHRG 1'", setup);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "orbicutter stopped: Error while reading CHRG option (its log: 2014244.failed-run/2014244.out)"))
      << r.err;
  EXPECT_TRUE(r.files.count("2014244/dimer_99.xyz"));
  EXPECT_FALSE(r.files.count("2014244/2014244.inp"));

  r = run_cif("2014244.cif --run -d out", setup + " && touch out2.inp");
  EXPECT_TRUE(r.files.count("out/2014244.out"));
  r = run_cif("2014244.cif --run -d 2014244", setup + " && touch 2014244/other.inp");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "error: 2014244 holds the run of another structure (other.inp); choose another folder with -d"))
      << r.err;
}

}  // namespace
}  // namespace orbicutter::cif::testing
