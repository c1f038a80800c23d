// The log and the routine lines of the phases up to the whole molecules for the
// example crystals, run in process from the reader's state, against the expected
// run logs and standard output.
#include <gtest/gtest.h>

#include "fragments/fragment_fixture.hpp"
#include "pipeline/pipeline.hpp"
#include "support/runner.hpp"

namespace orbicutter::fragtest {
namespace {

const std::string crystals = std::string(ORBICUTTER_TEST_DATA) + "/crystals";

class FragmentSections : public ::testing::TestWithParam<std::string> {};

TEST_P(FragmentSections, LogFromSpecialPositionsToXhStandardisationMatches) {
  const std::string name = GetParam();
  Crystal c(testing::read_file(crystals + "/" + name + ".inp"));
  build_molecules(c.run);

  const std::string expected = testing::read_file(testing::expected_folder(name) + "/" + name + ".out");
  const auto from = expected.find(" ** SPECIAL POSITIONS **\n");
  ASSERT_NE(from, std::string::npos);
  const std::string log = c.log_text();
  EXPECT_EQ(log, expected.substr(from, log.size()));
  // The next line of the expected log opens another phase's section.
  EXPECT_EQ(expected.substr(from + log.size(), 4), " ** ");

  const std::string out = testing::mask_cpu(testing::read_file(testing::expected_folder(name) + "/stdout.txt"));
  const std::string mine = testing::mask_cpu(c.out_text());
  const auto at = out.find(" >> Fragment");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(mine, out.substr(at, mine.size()));
}

INSTANTIATE_TEST_SUITE_P(Crystals, FragmentSections, ::testing::ValuesIn(testing::example_names()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace orbicutter::fragtest
