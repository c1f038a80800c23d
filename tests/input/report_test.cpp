// The input report end to end: the log's input file section, the reader's
// warnings on standard output and the echo file, for the example crystals
// and for small inputs checked by hand (tests/data/input).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "support/runner.hpp"

namespace fs = std::filesystem;
using namespace orbicutter::testing;

namespace {

const std::string data = ORBICUTTER_TEST_DATA;
const std::string rule = " -----------------------------------------------------------";

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// From the rule line before the title to the rule line that closes the atom list.
std::string input_section(const std::string& log) {
  const auto lines = lines_of(log);
  std::size_t i = 0;
  while (i < lines.size() && lines[i] != " ** INPUT FILE SECTION **") ++i;
  if (i == 0 || i == lines.size()) return "(no input file section)";
  std::size_t j = i;
  while (j < lines.size() && lines[j].rfind(" Total number of atoms = ", 0) != 0) ++j;
  while (j < lines.size() && lines[j] != rule) ++j;
  std::string out;
  for (std::size_t k = i - 1; k <= j && k < lines.size(); ++k) out += lines[k] + "\n";
  return out;
}

// The reader's warning boxes as standard output shows them.
std::string reader_warnings(const std::string& out) {
  const auto lines = lines_of(out);
  std::string w;
  for (std::size_t i = 0; i + 5 < lines.size(); ++i)
    if (lines[i] == " ======" && lines[i + 1] == " !! WARNING in READINP !!")
      for (std::size_t k = i; k < i + 6; ++k) w += lines[k] + "\n";
  return w;
}

const std::string& file_of(const RunResult& r, const std::string& name) {
  static const std::string none = "(missing)";
  const auto it = r.files.find(name);
  return it == r.files.end() ? none : it->second;
}

class CrystalInputReport : public ::testing::TestWithParam<std::string> {};

TEST_P(CrystalInputReport, MatchesTheExpectedLog) {
  const std::string name = GetParam();
  const std::string dir = expected_folder(name);
  const auto r = run_program_on(read_file(data + "/crystals/" + name + ".inp"), name + ".inp");
  EXPECT_EQ(input_section(file_of(r, name + ".out")), input_section(read_file(dir + "/" + name + ".out")));
  EXPECT_EQ(reader_warnings(r.out), reader_warnings(read_file(dir + "/stdout.txt")));
  const bool echo = fs::exists(dir + "/current_input.inp");
  EXPECT_EQ(r.files.count("current_input.inp") == 1, echo);
  if (echo) {
    EXPECT_EQ(file_of(r, "current_input.inp"), read_file(dir + "/current_input.inp"));
  }
}

INSTANTIATE_TEST_SUITE_P(Crystals, CrystalInputReport, ::testing::ValuesIn(example_names()),
                         [](const auto& info) { return info.param; });

class HandCheckedReport : public ::testing::TestWithParam<std::string> {};

TEST_P(HandCheckedReport, SectionWarningsAndEcho) {
  const std::string base = data + "/input/" + GetParam();
  const auto r = run_program_on(read_file(base + ".inp"), GetParam() + ".inp");
  EXPECT_EQ(input_section(file_of(r, GetParam() + ".out")), read_file(base + ".section"));
  EXPECT_EQ(reader_warnings(r.out), read_file(base + ".warnings"));
  EXPECT_EQ(mask_cpu(r.out), mask_cpu(read_file(base + ".stdout"))) << "standard output";
  if (fs::exists(base + ".echo")) {
    EXPECT_EQ(file_of(r, "current_input.inp"), read_file(base + ".echo"));
  } else {
    EXPECT_EQ(r.files.count("current_input.inp"), 0u) << "no echo file at verbosity 0";
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, HandCheckedReport, ::testing::Values("verb0", "verb1", "verb2"));

TEST(InputReport, VerbosityBeyondNinePrintsAnAsterisk) {
  const auto r = run_program_on(
      "VERB 12\nCELL 5 5 5 90 90 90\nSYMM 1 0\nx,y,z\nNFRG 1 1\nM 1 1\nC C1 0 0 0\nDMAX 3\n", "v12.inp");
  const std::string log = input_section(file_of(r, "v12.out"));
  EXPECT_NE(log.find("\n Verbosity level = *\n"), std::string::npos) << log;
  EXPECT_NE(log.find("  >> (8) z-fractional coordinate\n"), std::string::npos) << "legend from level 2 on";
  EXPECT_EQ(log.find("(9) atom charge"), std::string::npos) << "no charge legend without charges";
  EXPECT_NE(file_of(r, "current_input.inp").find("\nVERB *\n"), std::string::npos);
}

TEST(InputReport, ReportGoesBeforeEveryLaterPhase) {
  const auto r = run_program_on(read_file(data + "/crystals/water.inp"), "water.inp");
  const std::string log = file_of(r, "water.out");
  const auto title = log.find(" ** INPUT FILE SECTION **");
  ASSERT_NE(title, std::string::npos);
  // Banner first, then the section right after it.
  EXPECT_EQ(log.substr(0, title), "\n ==============\n | ORBICUTTER |\n ==============\n (01.03.2018:01)\n\n" + rule + "\n");
  // The warning is on standard output right after the banner.
  EXPECT_EQ(r.out.find(" ======\n !! WARNING in READINP !!\n"), r.out.find(" (01.03.2018:01)\n\n") + 18);
}

}  // namespace
