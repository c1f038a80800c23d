// Every writer and the dimers on a real structure in one run; test mode writes none of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "support/runner.hpp"

using namespace orbicutter::testing;

namespace {

// Aspirin with charges, every output switch, dimers, one ring with NICS points and
// the most verbose log.
std::string all_switches_input() {
  return read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/aspirin_chrg.inp") +
         "SHLX 1\nCRYF 1\nDIMR 1\nRING 1 1 6\n1 2 5 11 7 3\nNICS 1 1.0 2\nVERB 2\n";
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(AllWriters, RealStructureRunsToCompleteFiles) {
  const auto r = run_program_on(all_switches_input(), "aspirin.inp");
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* f : {"aspirin.out", "aspirin.xyz", "aspirin.res", "aspirin.d12", "aspirin.gjf", "aspirin.adf",
                        "current_input.inp"})
    ASSERT_TRUE(r.files.count(f)) << f;
  EXPECT_NE(r.out.find(" >> Dimer evaluation routine <<\n -- CPU time = "), std::string::npos);

  const std::string& log = r.files.at("aspirin.out");
  EXPECT_TRUE(ends_with(log, " ============\n | Finished |\n ============\n\n"));
  const int ncluster = std::stoi(r.files.at("aspirin.xyz").substr(0, 6));
  ASSERT_GT(ncluster, 21);

  // Gaussian: NMR route, one row per cluster atom, 1 + 2 x 2 ghost atoms, empty last line.
  const auto gjf = lines_of(r.files.at("aspirin.gjf"));
  ASSERT_EQ(gjf.size(), static_cast<std::size_t>(1 + ncluster + 5 + 1));
  EXPECT_EQ(gjf[0], "# B3LYP/aug-cc-PVDZ NMR #** PRINT-YOUR-KEYWORDS");
  EXPECT_EQ(gjf[static_cast<std::size_t>(ncluster) + 5].substr(0, 8), "     Bq5") << "label of the last ghost";
  EXPECT_EQ(gjf.back(), "");

  const auto adf = lines_of(r.files.at("aspirin.adf"));
  EXPECT_TRUE(ends_with(r.files.at("aspirin.adf"), "   Subend\n End\n\neor\n\n"));
  EXPECT_EQ(std::count(adf.begin(), adf.end(), "   Charges"), 1);
  EXPECT_TRUE(ends_with(r.files.at("aspirin.res"), "\nEND\n"));
  EXPECT_EQ(lines_of(r.files.at("aspirin.res")).size(), static_cast<std::size_t>(6 + ncluster));
  EXPECT_TRUE(ends_with(r.files.at("aspirin.d12"), "END\n#** PRINT-YOUR-OTHER-KEYWORDS\n\n"));
  EXPECT_EQ(lines_of(r.files.at("aspirin.d12")).size(), 6u + 21u + 6u);

  // Dimers: as many file pairs as the log counts, each file holding its announced atoms.
  const auto at = log.find(" Number of generated dimers = ");
  ASSERT_NE(at, std::string::npos);
  const int ndimers = std::stoi(log.substr(at + 30, 6));
  EXPECT_GT(ndimers, 0);
  int nfiles = 0;
  for (const auto& [name, text] : r.files) {
    if (name.rfind("dimer_", 0) != 0 || !ends_with(name, ".xyz")) continue;
    ++nfiles;
    const auto lines = lines_of(text);
    ASSERT_FALSE(lines.empty()) << name;
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(std::stoi(lines[0]) + 2)) << name;
    ASSERT_TRUE(r.files.count(name + "_G")) << name;
    const auto cp = lines_of(r.files.at(name + "_G"));
    EXPECT_EQ(cp.size(), lines.size()) << name;
    EXPECT_TRUE(ends_with(r.files.at(name + "_G"), "\n \n \n")) << name;
  }
  EXPECT_EQ(nfiles, ndimers);
}

TEST(AllWriters, TestModeLeavesEveryOutputFileAbsent) {
  const auto r = run_program_on(all_switches_input() + "TEST 1\n", "aspirin.inp");
  EXPECT_EQ(r.status, 0) << r.out;
  std::set<std::string> names;
  for (const auto& [name, _] : r.files) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{"aspirin.out", "current_input.inp", "testmol.xyz"}));
}

}  // namespace
