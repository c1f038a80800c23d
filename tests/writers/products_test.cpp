// The product table drives the whole program: each row's switch alone asks for
// its file (and its companion), the input report names the file, the echo file
// carries the switch, and a file that cannot be created takes back the others.
#include <gtest/gtest.h>

#include <set>

#include "support/runner.hpp"
#include "writers/products.hpp"

using namespace orbicutter::testing;

namespace {

std::set<std::string> names_of(const RunResult& r) {
  std::set<std::string> names;
  for (const auto& [name, _] : r.files) names.insert(name);
  return names;
}

// Water with charges, so that companions are asked for too.
const std::string water = read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/water.inp") + "XYZF 0\n";

TEST(Products, EachSwitchAsksForItsFile) {
  for (const auto& p : orbicutter::output_switches()) {
    const std::string key = std::string(p.keyword) + " " + std::to_string(p.value);
    SCOPED_TRACE(key);
    const auto r = run_program_on(water + key + "\n", "mol.inp");
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string file = std::string("mol") + p.suffix;
    std::set<std::string> expected{"mol.out", "current_input.inp", file};
    if (p.companion != nullptr) expected.insert(std::string("mol") + p.companion);
    EXPECT_EQ(names_of(r), expected);
    const std::string name_line = p.name + file + "\n";
    EXPECT_NE(r.files.at("mol.out").find(name_line), std::string::npos);
    const std::string echo_line = key + "\n";
    EXPECT_NE(r.files.at("current_input.inp").find("\n" + echo_line), std::string::npos);
  }
}

TEST(Products, FileThatCannotBeCreatedTakesBackTheOthers) {
  std::string all = water;
  for (const auto& p : orbicutter::output_switches())
    if (p.value == 1) all += std::string(p.keyword) + " 1\n";
  for (const auto& p : orbicutter::output_switches()) {
    if (p.value != 1) continue;
    SCOPED_TRACE(p.keyword);
    const auto r = run_program_on(all, "mol.inp", {std::string("mol") + p.suffix});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(" --> Output file cannot be created <--\n"), std::string::npos) << r.out;
    // The echo file written before is taken back too: only the log of a failed run stays.
    EXPECT_EQ(names_of(r), (std::set<std::string>{"mol.out"}));
  }
}

}  // namespace
