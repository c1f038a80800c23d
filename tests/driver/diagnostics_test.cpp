// The structure checks on real crystals: what each warning names and where it
// stays silent.
#include <gtest/gtest.h>

#include <regex>

#include "cluster/cluster.hpp"
#include "orbicutter/orbicutter.hpp"
#include "support/runner.hpp"

namespace {

using namespace orbicutter::testing;

const std::string data = std::string(ORBICUTTER_TEST_DATA);

std::string crystal(const std::string& name) { return read_file(data + "/crystals/" + name + ".inp"); }
std::string check_input(const std::string& name) { return read_file(data + "/checks/" + name + ".inp"); }

// The text with `from` replaced by `to`, which must occur.
std::string with(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The boxes titled " !! WARNING in <phase> !!" of a standard output, joined.
std::string boxes(const std::string& out, const std::string& phase) {
  std::string found;
  const std::string title = " !! WARNING in " + phase + " !!";
  for (auto at = out.find(title); at != std::string::npos; at = out.find(title, at + 1))
    found += out.substr(at, out.find(" ======", at) - at);
  return found;
}

TEST(Diagnostics, OnlyTheHalfMoleculesOfTheBundledCrystalsWarn) {
  // Benzene and anthracene sit on inversion centres; without completion their
  // molecules stay halves. Every other bundled crystal is whole.
  for (const std::string& name : example_names()) {
    const std::string input = crystal(name);
    const auto r = run_program_on(input, name + ".inp");
    const bool half = (name.starts_with("benzene") || name.starts_with("anthra")) &&
                      input.find("FRGM 1 1 1") == std::string::npos;
    const std::string fragments = boxes(r.out, "FRAGMENTS");
    EXPECT_EQ(half, fragments.find("Incomplete molecules") != std::string::npos) << name;
    EXPECT_EQ(half, fragments.find("Switch on fragment completion (FRGM 1 1 1)") != std::string::npos) << name;
    EXPECT_EQ(fragments.find("threshold"), std::string::npos) << name;
    EXPECT_EQ(boxes(r.out, "CLUSTER"), "") << name;
  }
  const auto anthracene = run_program_on(crystal("anthra_ring"), "anthra_ring.inp");
  EXPECT_NE(anthracene.out.find("fragment 1: atom 4 (C7) - atom 1 (C1) by operation 3, translation 1 1 1, 1.3973 A"),
            std::string::npos);
  // The census shows the half molecule: C7 H5 for anthracene's C14 H10.
  EXPECT_NE(anthracene.files.at("anthra_ring.out").find(" C7 H5 x 1  |  Fragment 1  |  Copies in the cluster ="),
            std::string::npos);
}

TEST(Diagnostics, BondsJustBeyondTheToleranceNamedWithTheToleranceThatJoinsThem) {
  // 4021067 at the default tolerance: C-O 1.4651 A and C-C 1.5551 A are cut.
  const std::string input = check_input("near_bond");
  const std::string found = boxes(run_program_on(input).out, "FRAGMENTS");
  EXPECT_NE(found.find("atom 8 (C3) - atom 1 (O1): 1.4651 A, threshold 1.4400 A, bonded from TOLS 0.08"),
            std::string::npos)
      << found;
  EXPECT_NE(found.find("atom 37 (C6) - atom 4 (C5): 1.5551 A, threshold 1.5500 A, bonded from TOLS 0.06"),
            std::string::npos)
      << found;
  // At the tolerance named every contact is a bond, and the molecule is whole.
  const auto joined = run_program_on(with(input, "TOLS 0.05 ", "TOLS 0.08 "));
  EXPECT_EQ(boxes(joined.out, "FRAGMENTS"), "");
  EXPECT_NE(joined.files.at("mol.out").find(" C17 H17 N O3 x 1  |"), std::string::npos);
  // Pairs excluded by EXBD are never bonds, so never near ones.
  const std::string excluded = boxes(run_program_on(with(input, "DMAX 8", "DMAX 8\nEXBD 1 1\nC O")).out, "FRAGMENTS");
  EXPECT_EQ(excluded.find("(O"), std::string::npos) << excluded;
  EXPECT_NE(excluded.find("(C5): 1.5551 A"), std::string::npos) << excluded;
}

TEST(Diagnostics, SiteGivenWithFourDecimalsOnAThreeFoldAxis) {
  const std::string input = check_input("guest_third");
  const std::string hint = "An atom near a special position may be given with too few decimals (0.3333 for 1/3)";
  // Completion takes the three images of each axis atom into the molecule.
  const auto completed = run_program_on(input);
  const std::string molecules = boxes(completed.out, "FRAGMENTS");
  EXPECT_NE(molecules.find("atom 28 (C11) - atom 32 (C11): 0.0022 A"), std::string::npos) << molecules;
  EXPECT_NE(molecules.find(hint), std::string::npos);
  EXPECT_EQ(boxes(completed.out, "CLUSTER"), "");
  // Without completion the cluster holds three copies of the guest at one place.
  const auto copies = run_program_on(with(input, "FRGM 1 1 1", "FRGM 1 0 1"));
  const std::string cluster = boxes(copies.out, "CLUSTER");
  EXPECT_TRUE(std::regex_search(cluster, std::regex(R"(cluster atom \d+ \(C11\) - cluster atom \d+ \(C11\): 0\.0022 A)")))
      << cluster;
  EXPECT_NE(cluster.find("--> and 8 more <--"), std::string::npos) << cluster;
  EXPECT_NE(cluster.find(hint), std::string::npos);
  EXPECT_NE(copies.files.at("mol.out").find(" C Cl2 x 1  |  Fragment 2  |  Copies in the cluster =     10"),
            std::string::npos);
  // Given in full the images coincide and nothing is said. Six decimals are
  // still 1.3e-5 A off the axis of this 22 A cell, beyond the 1e-5 A of the
  // coincidence test.
  std::string exact = input;
  for (const char* c : {"1.6667     1.3333", "1.6667     1.3333"})
    exact = with(exact, c, "1.6666666666666667 1.3333333333333333");
  const auto silent = run_program_on(exact);
  EXPECT_EQ(boxes(silent.out, "FRAGMENTS") + boxes(silent.out, "CLUSTER"), "");
}

TEST(Diagnostics, LoneHydrogenAndUnknownElementNamed) {
  // A typo in one coordinate of H5 and a lower-case symbol for O4.
  const std::string input = with(with(crystal("aspirin_d8"), "H  H5  0.4618 0.960", "H  H5  0.4618 0.660"),
                                 "O  O4 ", "o  O4 ");
  const auto r = run_program_on(input);
  const std::string found = boxes(r.out, "FRAGMENTS");
  EXPECT_NE(found.find("H atoms bonded to nothing, each a molecule of its own: atom 21 (H5)"), std::string::npos)
      << found;
  EXPECT_NE(found.find("Elements not in the element table, without a covalent radius: atom 20 (O4)"),
            std::string::npos)
      << found;
  EXPECT_EQ(r.status, 0);
}

// Caesium chloride around a chloride: within DMAX 6.5 the cluster holds 7 anions
// and, last, the 8 cations of the cube's corners.
std::string caesium_chloride(const std::string& cs_charge) {
  return "CELL 6.0 6.0 6.0 90.0 90.0 90.0\nSYMM 1 0\nx, y, z\nCHRG 1\nNFRG 2 2\nANION 1 1\n"
         "CL CL1 0.5 0.5 0.5 -1.0\nCATION 2 1\nCS CS1 0.0 0.0 0.0 " + cs_charge + "\nDMAX 6.5\n";
}

// The census names the central molecule, and with charges the cluster's net
// charge; a charged cluster warns. The salt's last atom is a cation: without it
// the cluster would be neutral.
TEST(Census, CentralMoleculeAndNetCharge) {
  const auto salt = run_program_on(caesium_chloride("1.0"), "salt.inp");
  ASSERT_EQ(salt.status, 0) << salt.out;
  EXPECT_NE(salt.files.at("salt.out").find("  |  Copies in the cluster =      8\n"
                                          " Central molecule: fragment 1, CL (CL1)\n"
                                          " Net charge of the cluster =      1.000 e\n -----"),
            std::string::npos)
      << salt.files.at("salt.out");
  EXPECT_EQ(boxes(salt.out, "CLUSTER"), " !! WARNING in CLUSTER !!\n"
                                        " --> The cluster is charged: its atom charges sum to 1.000 e <--\n"
                                        " --> Whole ions within DMAX seldom balance: a point-charge embedding carries it <--\n");
  const std::string xyz = salt.files.at("salt.xyz");
  EXPECT_EQ(xyz.find("CL", xyz.find(" CS")), std::string::npos) << "the cations come last: " << xyz;

  // Cations of 7/8 e balance the anions: no warning, and no "-0.000".
  const auto balanced = run_program_on(caesium_chloride("0.875"), "salt.inp");
  EXPECT_NE(balanced.files.at("salt.out").find(" Net charge of the cluster =      0.000 e\n"), std::string::npos);
  EXPECT_EQ(boxes(balanced.out, "CLUSTER"), "");
  // Without charges there is no charge line.
  EXPECT_EQ(run_program_on(crystal("water") + "CHRG 0\n").files.at("mol.out").find("Net charge"), std::string::npos);

  // Rounding the charges to four decimals moves the sum by up to 5e-5 e per atom.
  EXPECT_FALSE(orbicutter::cluster_is_charged(0.00074, 15));
  EXPECT_TRUE(orbicutter::cluster_is_charged(0.00076, 15));
  EXPECT_TRUE(orbicutter::cluster_is_charged(-0.00076, 15));
}

// Up to ten labels, then "...": eleven and ten carbon atoms of one input fragment.
TEST(Census, CentralMoleculeLabels) {
  auto chain = [](int n) {
    std::string text = "CELL 30 30 30 90 90 90\nSYMM 1 0\nx, y, z\nFRGM 0 0 0\nNFRG " + std::to_string(n) +
                       " 1\nCHAIN 1 " + std::to_string(n) + "\n";
    for (int k = 1; k <= n; ++k) text += "C C" + std::to_string(k) + " " + std::to_string(0.05 * k) + " 0 0\n";
    return text + "DMAX 5\n";
  };
  EXPECT_NE(run_program_on(chain(11)).files.at("mol.out").find(
                " Central molecule: fragment 1, C11 (C1 C2 C3 C4 C5 C6 C7 C8 C9 C10 ...)\n"),
            std::string::npos);
  EXPECT_NE(run_program_on(chain(10)).files.at("mol.out").find(
                " Central molecule: fragment 1, C10 (C1 C2 C3 C4 C5 C6 C7 C8 C9 C10)\n"),
            std::string::npos);
}

TEST(Diagnostics, LibraryListsTheWarnings) {
  orbicutter::Structure s(crystal("benzene_d8"));
  EXPECT_TRUE(s.warnings().empty());
  s.molecules();
  const auto w = s.warnings();
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].phase, "FRAGMENTS");
  EXPECT_EQ(w[0].messages.back(), "Switch on fragment completion (FRGM 1 1 1) for whole molecules");
  s.cluster();
  EXPECT_EQ(s.warnings().size(), 1u);
}

}  // namespace
