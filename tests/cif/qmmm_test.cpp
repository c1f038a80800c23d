// From a CIF to a QM/MM job: the central molecule, the charges, the run folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "cif/charges.hpp"
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
  // The default XYZ file is the extended one: species first, as its comment line declares.
  std::istringstream xyz(r.files["2014244/2014244.xyz"]);
  std::size_t atoms = 0, rows = 0;
  std::string line;
  xyz >> atoms;
  std::getline(xyz, line);
  std::getline(xyz, line);
  EXPECT_EQ(line.rfind("Properties=species:S:1:pos:R:3:label:S:1:molecule:I:1 ", 0), 0u) << line;
  for (std::string species, x, y, z, label, molecule; xyz >> species >> x >> y >> z >> label >> molecule; ++rows)
    ASSERT_TRUE(species == "C" || species == "H" || species == "N" || species == "O") << species;
  EXPECT_EQ(rows, atoms);

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

TEST(Charges, IonChargesOfTheMoietyFormula) {
  const auto q = moiety_charges("C9 H14 N +, C10 H6 O6 S2 2-, H2 O");
  ASSERT_EQ(q.size(), 3u);
  EXPECT_EQ(q[0].second, 1);
  EXPECT_EQ(q[1].second, -2);
  EXPECT_EQ(q[2].second, 0);
}

TEST(Charges, FromAFileBeforeNfrgWithTheCellCheckedAndFromXtb) {
  const std::string water = data("own-identity-second.cif");  // P 21/c, one water
  CifRun r = run_cif(water + " -o - --charges q.txt", "printf 'O1 -0.8\\nH1 0.4 # hydrogen\\n\\nH2 0.4\\n' > q.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "CHRG 1\nNFRG 3 1\nASYM 1 3\nO  O1         0.2        0.3        0.4  -0.80000\n")) << r.out;
  EXPECT_TRUE(has(r.err, "  charges: from q.txt\n    H2 O: +0.000\n    the cell: +0.000\n")) << r.err;
  EXPECT_FALSE(has(r.err, "warning"));
  // A tenth of a charge too much on one water is four tenths in the cell.
  r = run_cif(water + " -o - --charges q.txt", "printf 'O1 -0.8\\nH1 0.4\\nH2 0.5\\n' > q.txt");
  EXPECT_TRUE(has(r.err, "  the cell: +0.400\n  warning: the cell is not neutral (+0.400 e)\n")) << r.err;
  r = run_cif(water + " --charges q.txt", "printf 'O1 -0.8\\nH1 0.4\\n' > q.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "error: no charge for H2 in q.txt\n")) << r.err;
  EXPECT_EQ(r.files.size(), 1u);  // only q.txt

  r = run_cif(water + " --charges xtb", "export PATH=/nonexistent");
  EXPECT_EQ(r.err, "orbicutter-cif: error: --charges xtb needs the program xtb (Debian package xtb), which is not on PATH\n");
  if (std::system("command -v xtb >/dev/null 2>&1") != 0) GTEST_SKIP() << "xtb is not installed";
  r = run_cif(data(salt) + " -o - --charges xtb --orca");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.err, "    C4 H5 O5: -1.000 (formal -1)\n    C8 H12 N: +1.000 (formal 1)\n    the cell: +0.000\n")) << r.err;
}

}  // namespace
}  // namespace orbicutter::cif::testing
