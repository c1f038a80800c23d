// Inputs found by fuzzing, each with the outcome it must keep: exit status and
// lines of standard output; after an error only the run log (and the echo file)
// may stay.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/index.hpp"
#include "support/runner.hpp"

namespace fs = std::filesystem;
using namespace orbicutter::testing;

namespace {

const std::string found_dir = std::string(ORBICUTTER_TEST_DATA) + "/fuzz-regressions";

TEST(FuzzRegressions, EveryFileIsIndexedAndKeepsItsOutcome) {
  const auto index = read_index(found_dir + "/index.tsv");
  for (const auto& e : fs::directory_iterator(found_dir)) {
    const auto name = e.path().filename().string();
    if (name != "index.tsv") {
      EXPECT_TRUE(index.count(name)) << name << " has no expected outcome in index.tsv";
    }
  }
  for (const auto& [name, fields] : index) {
    SCOPED_TRACE(name);
    ASSERT_GE(fields.size(), 2u);
    const auto r = run_program_on(read_file(found_dir + "/" + name), name);
    EXPECT_EQ(std::to_string(r.status), fields[0]) << r.out;
    for (std::size_t i = 1; i < fields.size(); ++i)
      EXPECT_NE(r.out.find("\n" + fields[i] + "\n"), std::string::npos) << "standard output:\n" << r.out;
    if (r.status == 1) {
      const std::string log = fs::path(name).stem().string() + ".out";
      for (const auto& [file, _] : r.files) EXPECT_TRUE(file == log || file == "current_input.inp") << file;
    }
  }
}

}  // namespace
