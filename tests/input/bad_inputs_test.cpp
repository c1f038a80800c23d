// Every file of tests/data/bad must stop the run with the reader's error box
// naming the expected keyword, exit status 1 and no product files.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/index.hpp"
#include "support/runner.hpp"

namespace fs = std::filesystem;
using namespace orbicutter::testing;

namespace {

const std::string bad_dir = std::string(ORBICUTTER_TEST_DATA) + "/bad";

// index.tsv: file name, then the message lines of its box.
const std::string bad_index = bad_dir + "/index.tsv";

std::string reader_box(const std::vector<std::string>& messages) {
  std::string box = " ======\n !! ERROR in READINP !!\n";
  for (const auto& m : messages) box += m + "\n";
  return box + " ======\n\n ========\n | Stop |\n ========\n\n";
}

const std::string passed_over =
    " !! WARNING in READINP !!\n --> Lines passed over although they look like input: <--\n";

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(BadInputs, EveryFileIsIndexed) {
  const auto index = read_index(bad_index);
  ASSERT_FALSE(index.empty());
  for (const auto& e : fs::directory_iterator(bad_dir)) {
    const auto name = e.path().filename().string();
    if (name == "index.tsv") continue;
    EXPECT_TRUE(index.count(name)) << name << " has no expected box in index.tsv";
  }
  for (const auto& [name, messages] : index) {
    EXPECT_TRUE(fs::exists(bad_dir + "/" + name)) << name << " is indexed but missing";
    EXPECT_FALSE(messages.empty()) << name;
  }
}

TEST(BadInputs, EachStopsWithItsKeywordBox) {
  for (const auto& [name, messages] : read_index(bad_index)) {
    SCOPED_TRACE(name);
    const auto r = run_program_on(read_file(bad_dir + "/" + name), name);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(ends_with(r.out, reader_box(messages))) << "standard output:\n" << r.out;
    // The box is the only thing after the banner: the reader stops before its
    // report. Only lines that look like input are named before a missing essential.
    const auto warning = r.out.find(" !! WARNING");
    EXPECT_TRUE(warning == std::string::npos || r.out.compare(warning, passed_over.size(), passed_over) == 0);
    for (const auto& [file, text] : r.files) {
      EXPECT_TRUE(file.size() > 4 && file.substr(file.size() - 4) == ".out") << "unexpected file " << file;
      EXPECT_EQ(text.find("INPUT FILE SECTION"), std::string::npos) << "log of " << file;
    }
  }
}

}  // namespace
