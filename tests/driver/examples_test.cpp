// Real crystals run end to end; every file must match the expected products.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/runner.hpp"

namespace fs = std::filesystem;
using namespace orbicutter::testing;

namespace {

const std::string crystals = std::string(ORBICUTTER_TEST_DATA) + "/crystals";

class Example : public ::testing::TestWithParam<std::string> {};

TEST_P(Example, MatchesExpectedFiles) {
  const std::string name = GetParam();
  const auto r = run_program_on(read_file(crystals + "/" + name + ".inp"), name + ".inp");
  const std::string dir = expected_folder(name);
  EXPECT_EQ(std::to_string(r.status) + "\n", read_file(dir + "/exit-status.txt"));
  EXPECT_EQ(mask_cpu(r.out), mask_cpu(read_file(dir + "/stdout.txt"))) << "standard output";
  std::set<std::string> expected;
  for (const auto& e : fs::directory_iterator(dir)) {
    const auto f = e.path().filename().string();
    if (f == "stdout.txt" || f == "exit-status.txt") continue;
    expected.insert(f);
    auto it = r.files.find(f);
    ASSERT_NE(it, r.files.end()) << "missing file " << f;
    EXPECT_EQ(mask_cpu(it->second), mask_cpu(read_file(e.path().string()))) << "file " << f;
  }
  for (const auto& [f, _] : r.files) EXPECT_TRUE(expected.count(f)) << "unexpected file " << f;
}

INSTANTIATE_TEST_SUITE_P(Crystals, Example, ::testing::ValuesIn(example_names()),
                         [](const auto& info) { return info.param; });

}  // namespace
