// The checks at the end of reading: text encodings, the symmetry operators,
// lines that look like input but are passed over, and the oddities that warn.
#include <gtest/gtest.h>

#include <array>

#include "input/input.hpp"
#include "input/skipped_lines.hpp"
#include "model/stop.hpp"
#include "support/crystal.hpp"
#include "support/runner.hpp"

using namespace orbicutter;
using orbicutter::testing::mask_cpu;
using orbicutter::testing::MemoryRun;
using orbicutter::testing::read_file;
using orbicutter::testing::run_program_on;

namespace {

const std::string water = read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/water.inp");
const std::string ortho = "CELL 10.0 11.0 12.0 90.0 90.0 90.0\n";
const std::string atoms = "NFRG 2 1\nMOL 1 2\nC C1 0.10 0.20 0.30\nO O1 0.20 0.20 0.30\nDMAX 8.0\n";

// What the reader writes on standard output (its warnings), then the message
// lines of the box it stops with, if any.
std::string reader_says(const std::string& text) {
  MemoryRun r;
  r.run.gv.inpf = "mol.inp";
  r.run.gv.outf = "mol";
  try {
    readinp(r.run, text);
  } catch (const Error& e) {
    std::string m = r.out_text() + "stop:";
    for (const auto& line : e.messages()) m += line;
    return m;
  }
  return r.out_text();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(TextEncoding, ByteOrderMarkAndCrLfGiveTheSameRun) {
  // CELL on the first line: a mark read as part of it would lose the cell.
  const std::string cell_first = water.substr(water.find('\n') + 1);
  std::string crlf;
  for (char c : cell_first) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const auto plain = run_program_on(cell_first, "water.inp");
  ASSERT_EQ(plain.status, 0);
  for (const std::string& variant : {"\xEF\xBB\xBF" + cell_first, crlf}) {
    const auto r = run_program_on(variant, "water.inp");
    EXPECT_EQ(mask_cpu(r.out), mask_cpu(plain.out));
    ASSERT_EQ(r.files.size(), plain.files.size());
    for (const auto& [name, text] : plain.files) EXPECT_EQ(mask_cpu(r.files.at(name)), mask_cpu(text)) << name;
  }
}

TEST(Operators, IdentityFirstAndClosure) {
  const auto symm = [&](const std::string& ops, int n) {
    return reader_says(ortho + "SYMM " + std::to_string(n) + " 0\n" + ops + atoms);
  };
  // P 21 21 21, in another order: the identity is not first.
  EXPECT_TRUE(contains(symm("-x+1/2, -y, z+1/2\nx, y, z\n-x, y+1/2, -z+1/2\nx+1/2, -y+1/2, -z\n", 4),
                       " --> Symmetry operation 1 (-x+1/2, -y, +z+1/2) is not the identity; operation 2 is <--"));
  // No identity at all: one box for it, and the products do not name it again.
  const std::string none = symm("x+1/2, y, z\n-x, -y, -z\n", 2);
  EXPECT_TRUE(contains(none, " --> No symmetry operation is the identity x, y, z <--"));
  EXPECT_TRUE(contains(none, " --> Missing: -x+1/2, -y, -z (1 after 2) <--"));
  EXPECT_FALSE(contains(none, "Missing: +x, +y, +z"));
  // -x,-y,z typed for -x,-y,-z in P 21/c: the inversion is among the missing products.
  const std::string typo = symm("x, y, z\n-x, y+1/2, -z+1/2\n-x, -y, z\nx, -y+1/2, z+1/2\n", 4);
  EXPECT_TRUE(contains(typo, " --> Missing: +x, -y+1/2, -z+1/2 (2 after 3); -x, -y, -z (2 after 4); "
                             "-x, +y+1/2, +z+1/2 (3 after 4) <--"))
      << typo;

  // A full group with three-fold axes and centring (R -3, hexagonal axes) is closed.
  const std::array<std::string, 3> rotations[] = {{"x", "y", "z"},   {"-y", "x-y", "z"}, {"-x+y", "-x", "z"},
                                                   {"-x", "-y", "-z"}, {"y", "-x+y", "-z"}, {"x-y", "x", "-z"}};
  const std::array<std::string, 3> centrings[] = {{"", "", ""}, {"+2/3", "+1/3", "+1/3"}, {"+1/3", "+2/3", "+2/3"}};
  std::string r3;
  for (const auto& c : centrings)
    for (const auto& r : rotations) r3 += r[0] + c[0] + ", " + r[1] + c[1] + ", " + r[2] + c[2] + "\n";
  const std::string hexagonal = "CELL 14.0 14.0 9.0 90.0 90.0 120.0\nSYMM 18 0\n" + r3 + atoms;
  EXPECT_EQ(reader_says(hexagonal), "");
  // So is a screw axis with its thirds given as decimals: three steps make 0.9999.
  EXPECT_EQ(reader_says("CELL 14.0 14.0 9.0 90.0 90.0 120.0\nSYMM 3 1\n1 0 0 0 1 0 0 0 1\n0 0 0\n"
                        "0 -1 0 1 -1 0 0 0 1\n0 0 0.3333\n-1 1 0 -1 0 0 0 0 1\n0 0 0.6667\n" + atoms),
            "");
}

TEST(Operators, RotationsMustKeepTheCell) {
  // A four-fold axis needs a = b; the hexagonal rotation needs gamma 120; a
  // missing component leaves no rotation at all.
  EXPECT_EQ(reader_says(ortho + "SYMM 2 0\nx, y, z\n-y, x, z\n" + atoms),
            "stop: --> Not a symmetry of this cell: operation 2 (-y, +x, +z) <--"
            " --> A rotation must keep the lengths and angles of the cell: check SYMM and CELL <--");
  EXPECT_TRUE(contains(reader_says("CELL 10 10 12 90 90 90\nSYMM 3 0\nx, y, z\n-y, x-y, z\nx, y\n" + atoms),
                       "operations 2 (-y, +x-y, +z); 3 (+x, +y,) <--"));
  // P 4 with a = b is fine, and so is a refined cell whose a and b differ in the
  // last decimal: the metric is compared relative to its size, not in square angstrom.
  const std::string p4 = "SYMM 4 0\nx, y, z\n-y, x, z\n-x, -y, z\ny, -x, z\n";
  EXPECT_EQ(reader_says("CELL 10 10 12 90 90 90\n" + p4 + atoms), "");
  EXPECT_EQ(reader_says("CELL 10.0000 10.0001 12.0000 90 90 90\n" + p4 + atoms), "");
}

TEST(LookAlikeLines, WhatCountsAsInput) {
  std::vector<std::string> keywords{"DMAX", "DIMR", "CHRG", "CELL", "SYMM", "GAUF", "NFRG", "TEST", "XYZF"};
  const std::pair<const char*, const char*> cases[] = {
      {"dmax 12", "keywords are read in upper case only: DMAX"},
      {"Symmetry 4 0", "keywords are read in upper case only: SYMM"},
      {"DIMER 1", "the reader takes DIME from it, which is no keyword (DIMR?)"},
      {"charges 1", "the reader takes char from it, which is no keyword (CHRG?)"},
      {"GAUSSIAN 1", "the reader takes GAUS from it, which is no keyword (GAUF?)"},
      {"GAUS 1", "the reader takes GAUS from it, which is no keyword (GAUF?)"},  // four letters, not a keyword
      {"DMA 12.0", "the reader takes DMA from it, which is no keyword (DMAX?)"},
      // One slip from a keyword: changed (first and last letter), swapped, added, dropped.
      {"DIRM 1", "the reader takes DIRM from it, which is no keyword (DIMR?)"},
      {"XMAX 12", "the reader takes XMAX from it, which is no keyword (DMAX?)"},
      {"DMAZ 12", "the reader takes DMAZ from it, which is no keyword (DMAX?)"},
      {"XZYF 2", "the reader takes XZYF from it, which is no keyword (XYZF?)"},
      {"DAMX 12", "the reader takes DAMX from it, which is no keyword (DMAX?)"},
      {"MDAX 12", "the reader takes MDAX from it, which is no keyword (DMAX?)"},
      {"XDMAX 12", "the reader takes XDMA from it, which is no keyword (DMAX?)"},
      {"DMX 12", "the reader takes DMX from it, which is no keyword (DMAX?)"},
      {"  -x+1/2, y, -Z", "reads as a symmetry operator: is the count on the SYMM line too small?"},
      {"'x, y, z'", "reads as a symmetry operator: is the count on the SYMM line too small?"},
      {"-1 0 0 0 1.0 0 0 0 -1", "reads as a symmetry operator: is the count on the SYMM line too small?"},
      {"C C7 0.1 0.2 -3e-1 0.4",
       "reads as an atom line: are the counts on the NFRG line and fragment headers too small?"},
      {"C C7 0.1 0.2 0.3", "reads as an atom line: are the counts on the NFRG line and fragment headers too small?"},
      // Free text and the data lines of switched-off keywords stay silent.
      {"Cell from the CIF, 2018", ""},
      {"test run 2", ""},
      {"dm 12", ""},
      {"DAXM 12", ""},    // two slips
      {"XDAMX 12", ""},   // added and swapped
      {"XMAY 12", ""},    // two letters changed
      {"DIRM one", ""},   // no number after it
      {"1 2 1.09", ""},
      {"1 2 3 4 5 6 7 8 9", ""},
      {"C O", ""},
      {"C C7 0.1 0.2", ""},
      {"MOL 1 3", ""},
      {"x, y", ""},
      {"0.5 0.5 0.5", ""},
  };
  for (const auto& [line, reason] : cases) EXPECT_EQ(lookalike_reason(line, keywords), reason) << line;
}

TEST(LookAlikeLines, NamedByLineNumberInOneBox) {
  const std::string text = "\n! remark\n" + ortho + "SYMM 1 0\nx, y, z\n-x, -y, -z\n" + atoms + "dmax 12\n";
  EXPECT_TRUE(contains(reader_says(text),
                       " --> Lines passed over although they look like input: <--\n"
                       " --> line 6: -x, -y, -z (reads as a symmetry operator: is the count on the SYMM line too "
                       "small?) <--\n"
                       " --> line 12: dmax 12 (keywords are read in upper case only: DMAX) <--\n"
                       " --> Correct them, or begin them with ! to keep them as remarks <--\n"));
  // Before the box of a missing essential, which such a line may explain.
  const std::string lower = "cell 10 11 12 90 90 90\nSYMM 1 0\nx, y, z\n" + atoms;
  EXPECT_TRUE(contains(reader_says(lower), " --> line 1: cell 10 11 12 90 90 90 (keywords are read in upper case only: "
                                           "CELL) <--\n --> Correct them, or begin them with ! to keep them as remarks "
                                           "<--\n ======\n\nstop: --> Error while reading CELL option <--"));
  std::string many = ortho + "SYMM 1 0\nx, y, z\n" + atoms;
  for (int i = 0; i < 12; ++i) many += "Dmax 1\n";
  EXPECT_TRUE(contains(reader_says(many), " --> and 2 more <--"));
}

// A CIF read as keyword input: one box line, instead of a warning for each
// look-alike line and the missing atoms.
TEST(CifGivenAsInput, OneLineThatNamesTheConverter) {
  const std::string cif_box = "stop: --> this is a CIF: convert it with orbicutter-cif <--";
  const std::string cif = read_file(std::string(ORBICUTTER_EXAMPLES) + "/4021067.cif");
  EXPECT_EQ(reader_says(cif), cif_box);
  EXPECT_EQ(reader_says("\n  # from the database\n! \n\tLOOP_\n_atom_site_label\nC1\n"), cif_box);
  EXPECT_EQ(reader_says("_cell_length_a 5.0\n_cell_length_b 6\nCELL 5 6 7 90 90 90\n"), cif_box);
  // Such a line among the remarks of a keyword input that reads is a remark.
  EXPECT_EQ(reader_says("data_mol\n" + ortho + "SYMM 1 0\nx, y, z\n" + atoms), "");
  // Only the first line that is not a remark counts.
  EXPECT_EQ(reader_says(ortho + "data_mol\nSYMM 1 0\nx, y, z\n"), "stop: --> Error while reading NFRG option <--");
}

TEST(QuietOddities, WarnAndChangeNothingElse) {
  // A cell in nm instead of angstrom: every atom within 0.5 A of another.
  const std::string nm = "CELL 1.0 1.2 0.8 90.0 105.0 90.0" + water.substr(water.find("\nSYMM"));
  EXPECT_TRUE(contains(reader_says(nm), " --> Every atom lies within 0.5 A of another atom of the input <--"));
  EXPECT_FALSE(contains(reader_says(water), "WARNING in READINP !!\n --> Every"));

  // DMAX 0 with a cluster asked for; not in test mode.
  const std::string no_dmax = ortho + "SYMM 1 0\nx, y, z\n" + atoms.substr(0, atoms.find("DMAX"));
  EXPECT_TRUE(contains(reader_says(no_dmax), "the cluster will hold the central molecule alone <--"));
  EXPECT_TRUE(contains(reader_says(no_dmax + "CLUS 3\n"), "and only molecules within its own reach <--"));
  EXPECT_EQ(reader_says(no_dmax + "TEST 1\n"), "");

  // A charge the Gaussian field (its magnitude) and the ORCA point charges (signed) cannot hold.
  std::string charged = water;
  charged.replace(charged.find("-0.8"), 4, "-12345.5");
  const auto r = run_program_on(charged + "GAUF 1\nORCF 1\nVERB 0\n", "w.inp");
  EXPECT_TRUE(contains(r.out, " --> Values too large for their fields (printed as asterisks): "
                              "charge of atom 1 (O1) in w.gjf; charge of atom 1 (O1) in w.orca.pc <--"));
  EXPECT_TRUE(contains(r.files.at("w.gjf"), "*****")) << "the warning tells the truth";
  EXPECT_TRUE(contains(r.files.at("w.orca.pc"), "*****"));
  // In the log right after the input report, before the first phase.
  const std::string& log = r.files.at("w.out");
  EXPECT_LT(log.find("Total number of atoms"), log.find("Values too large"));
  EXPECT_TRUE(contains(log, "Check these values <--\n ======\n\n ** SPECIAL POSITIONS **"));
  EXPECT_EQ(r.status, 0);
}

TEST(QuietOddities, ControlCharactersInNamesBecomeQuestionMarks) {
  std::string odd = water;
  odd.replace(odd.find("H1"), 2, std::string("H\0", 2));
  odd.replace(odd.find("H2"), 2, "H\x1b");
  const auto r = run_program_on(odd + "ADFF 1\nSHLX 1\n", "w.inp");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(contains(r.out, " --> Control characters in atom names, written as ?: atom 2 (H?), 3 (H?) <--"));
  EXPECT_TRUE(contains(r.files.at("w.adf"), "H?"));
  for (const auto& [name, text] : r.files)
    EXPECT_EQ(text.find_first_of(std::string("\0\x1b", 2)), std::string::npos) << name;
}

}  // namespace
