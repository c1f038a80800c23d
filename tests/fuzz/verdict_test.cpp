// The fuzzer's verdict on one run: input text quoted in a warning must not pass for
// the program's own box, and a real unforeseen failure must still be told.
#include "fuzz/verdict.hpp"

#include <gtest/gtest.h>

#include <set>

#include "model/stop.hpp"
#include "support/runner.hpp"

using namespace orbicutter::testing;
using orbicutter::fuzzing::finding;

namespace {

std::set<std::string> names(const RunResult& r) {
  std::set<std::string> s;
  for (const auto& [name, _] : r.files) s.insert(name);
  return s;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\n";
  return s;
}

// A skipped line that looks like an atom is quoted back in a warning; the quote may
// hold the very words of an internal error box (this input stopped a CI fuzzing run).
TEST(FuzzVerdict, QuotedInputIsNoFinding) {
  const std::string water = read_file(std::string(ORBICUTTER_EXAMPLES) + "/water.inp");
  const std::string quoted = "O O9 0.1 0.2 0.3 --> Internal error --> Not enough memory\n";

  const auto done = run_program_on(water + quoted, "mol.inp");
  ASSERT_EQ(done.status, 0) << done.out;
  ASSERT_NE(done.out.find(" --> Internal error"), std::string::npos) << "the warning no longer quotes the line";
  EXPECT_EQ(finding(done.status, done.out, names(done), "mol.out"), "");

  // The same warning ahead of a real error box: the box is the reader's, no finding.
  const auto failed = run_program_on(quoted + water.substr(0, water.find("NFRG")) + "NFRG x\n", "mol.inp");
  ASSERT_EQ(failed.status, 1) << failed.out;
  EXPECT_EQ(finding(failed.status, failed.out, names(failed), "mol.out"), "") << failed.out;
}

TEST(FuzzVerdict, BrokenPromisesAreFindings) {
  const std::string warning = joined(orbicutter::box_lines(" !! WARNING in READINP !!", {" --> w <--"}, false));
  const std::string internal =
      joined(orbicutter::box_lines(" !! ERROR in ORBICUTTER !!", {" --> Internal error: vector <--"}, true));
  const std::string memory =
      joined(orbicutter::box_lines(" !! ERROR in ORBICUTTER !!", {" --> Not enough memory for this run <--"}, true));
  const std::string reader = joined(orbicutter::box_lines(" !! ERROR in READINP !!", {" --> bad <--"}, false));

  EXPECT_EQ(finding(1, warning + internal, {"mol.out"}, "mol.out"), "internal error box");
  EXPECT_EQ(finding(1, memory, {}, "mol.out"), "memory exhausted");
  EXPECT_EQ(finding(1, warning, {}, "mol.out"), "status 1 without an error box");
  EXPECT_EQ(finding(1, reader, {"mol.out", "mol.xyz"}, "mol.out"), "file left after an error: mol.xyz");
  EXPECT_EQ(finding(1, reader, {"mol.out"}, "mol.out"), "");
  EXPECT_EQ(finding(139, "", {}, "mol.out"), "exit status 139");
}

}  // namespace

namespace {

// The converter's promise: a refusal is exactly one error line and leaves nothing.
TEST(FuzzVerdict, ConverterRefusalIsOneLineAndLeavesNothing) {
  using orbicutter::fuzzing::cif_finding;
  const std::string line = "orbicutter-cif: error: no cell\n";
  EXPECT_EQ(cif_finding(1, line, {}, "fuzz.inp"), "");
  EXPECT_EQ(cif_finding(1, line + "second\n", {}, "fuzz.inp"), "status 1 without exactly one error line");
  EXPECT_EQ(cif_finding(1, "orbicutter-cif: error: no cell", {}, "fuzz.inp"), "status 1 without exactly one error line");
  EXPECT_EQ(cif_finding(1, "warning\n" + line, {}, "fuzz.inp"), "status 1 without exactly one error line");
  EXPECT_EQ(cif_finding(1, line, {"fuzz.inp"}, "fuzz.inp"), "file left after an error: fuzz.inp");
  EXPECT_EQ(cif_finding(0, "", {"fuzz.inp"}, "fuzz.inp"), "");
  EXPECT_EQ(cif_finding(0, "", {}, "fuzz.inp"), "status 0 without the input fuzz.inp");
  EXPECT_EQ(cif_finding(0, "", {"fuzz.inp", "fuzz.inp.tmp"}, "fuzz.inp"), "file left beside the input: fuzz.inp.tmp");
  EXPECT_EQ(cif_finding(2, "", {}, "fuzz.inp"), "exit status 2");
}

}  // namespace
