// The converter in process gives the input that orbicutter-cif writes.
#include "cif/convert_api.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cif/cif_run.hpp"
#include "cif/error.hpp"

namespace orbicutter::cif::testing {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CifToInput, SameTextAsTheProgramWritesWithCentreAndRings) {
  // The cation chosen as centre, its ring found on the molecules rebuilt in process.
  const std::string args = "--centre N1 --rings --orca --dmax 10";
  const CifRun r = run_cif(data("2014244.cif") + " " + args);
  ASSERT_EQ(r.status, 0) << r.err;
  const Options o = parse_command_line({"--centre", "N1", "--rings", "--orca", "--dmax", "10", "ignored.cif"});
  const CifInput in = cif_to_input(data("2014244.cif"), o);
  EXPECT_EQ(in.input_text, r.files.at("2014244.inp"));
  EXPECT_EQ(in.system_name, "2014244");
  ASSERT_GE(in.notes.size(), 2u);
  EXPECT_EQ(in.notes[in.notes.size() - 2].rfind("central molecule: C8 H12 N (N1 ", 0), 0u) << in.notes[in.notes.size() - 2];
  EXPECT_EQ(in.notes.back(), "1 ring(s) listed for the planarity test");
  for (const std::string& w : in.warnings) EXPECT_TRUE(has(r.files.at("2014244.inp"), w.substr(0, 20))) << w;
}

TEST(CifToInput, SystemNameFromTheOutputUpToItsFirstDot) {
  Options o = parse_command_line({"-o", "sub/w.v2.inp", "x.cif"});
  EXPECT_EQ(cif_to_input(data("own-deuterated.cif"), o).system_name, "w");
  o.output = "-";  // standard output: the CIF's name
  EXPECT_EQ(cif_to_input(data("own-deuterated.cif"), o).system_name, "own-deuterated");
}

TEST(CifToInput, RefusalThrowsTheProgramsMessage) {
  const CifRun r = run_cif(data("own-no-symmetry.cif"));
  try {
    cif_to_input(data("own-no-symmetry.cif"), Options{});
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_EQ("orbicutter-cif: error: " + std::string(e.what()) + "\n", r.err);
  }
}

}  // namespace
}  // namespace orbicutter::cif::testing
