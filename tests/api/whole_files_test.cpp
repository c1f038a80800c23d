// The library's files: all written, or none changed and no temporary left.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "api/whole_files.hpp"
#include "orbicutter/error.hpp"
#include "support/folder.hpp"

namespace orbicutter {
namespace {

std::string read(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
void put(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

TEST(WholeFiles, BothWrittenExactly) {
  testing::ScratchFolder folder("whole-files");
  write_files("mol.inp", {"mol.orca.inp", "mol.orca.pc"}, {"* xyz 0 1\n", "2\n"});
  EXPECT_EQ(read("mol.orca.inp"), "* xyz 0 1\n");
  EXPECT_EQ(read("mol.orca.pc"), "2\n");
  EXPECT_EQ(folder.files(), (std::set<std::string>{"mol.orca.inp", "mol.orca.pc"}));
}

// The second file cannot be written: the first keeps its earlier text, because
// nothing is renamed before every text is written.
TEST(WholeFiles, LastFileFailingLeavesTheFirstAsItWas) {
  testing::ScratchFolder folder("whole-files");
  put("mol.xyz", "earlier\n");
  EXPECT_THROW(write_files("mol.inp", {"mol.xyz", "missing/mol.pc"}, {"new\n", "2\n"}), Error);
  EXPECT_EQ(read("mol.xyz"), "earlier\n");
  EXPECT_EQ(folder.files(), (std::set<std::string>{"mol.xyz"}));
}

TEST(WholeFiles, InputFileAndFolderRefused) {
  testing::ScratchFolder folder("whole-files");
  put("mol.inp", "DMAX 8\n");
  // The input under another spelling of its name is still the input.
  EXPECT_THROW(write_files("mol.inp", {"./mol.inp"}, {"x\n"}), Error);
  EXPECT_EQ(read("mol.inp"), "DMAX 8\n");
  std::filesystem::create_directory("out");
  EXPECT_THROW(write_files("mol.inp", {"out"}, {"x\n"}), Error);
  EXPECT_EQ(folder.files(), (std::set<std::string>{"mol.inp", "out"}));
}

}  // namespace
}  // namespace orbicutter
