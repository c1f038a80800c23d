// The converter's command line: where the input goes, the keywords it sets,
// running the program, and failures that leave nothing behind.
#include <gtest/gtest.h>

#include <string>

#include "cif/cif_run.hpp"

namespace orbicutter::cif::testing {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string water = "own-identity-second.cif";

TEST(CommandLine, DefaultNameStandardOutputAndList) {
  CifRun r = run_cif(data(water));
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.files.size(), 1u);
  EXPECT_TRUE(r.files.count("own-identity-second.inp"));
  EXPECT_TRUE(has(r.out, "-> own-identity-second.inp\n")) << r.out;

  // -o -: the input on standard output, the summary on standard error, no file.
  r = run_cif(data(water) + " -o -");
  EXPECT_TRUE(r.files.empty());
  EXPECT_EQ(r.out.rfind("! orbicutter input made by orbicutter-cif", 0), 0u) << r.out;
  EXPECT_TRUE(has(r.err, "-> standard output\n")) << r.err;

  r = run_cif("--list " + data("1004001-disorder.cif"));
  EXPECT_TRUE(has(r.out, ": 1 data block with atom sites\n  d5: 188 sites, W6 S8 (PC12H27)6, C 2/c\n")) << r.out;
  EXPECT_TRUE(r.files.empty());
}

TEST(CommandLine, SeveralDataBlocks) {
  const std::string two = "cat " + data(water) + " " + data("own-third-site.cif") + " > two.cif";
  CifRun r = run_cif("two.cif -o -", two);
  EXPECT_TRUE(has(r.out, "! data block:     water_ops\n")) << r.out;
  EXPECT_TRUE(has(r.err, "note: 2 data blocks with atom sites (water_ops, ammonia): the first,")) << r.err;
  r = run_cif("two.cif -o - --block AMMONIA", two);
  EXPECT_TRUE(has(r.out, "! data block:     ammonia\n")) << r.out;
  EXPECT_FALSE(has(r.err, "note: 2 data blocks")) << r.err;
}

TEST(CommandLine, OptionsBecomeKeywords) {
  const CifRun r = run_cif(data(water) + " -o - --dmax=12.5 --method shape --dimers --xyz none --res --crystal --gaussian --adf --orca"
                           " --no-xh --tols 0.2 0.12 0.09 0.3 --mtol 0.4 --verbose 2 --test --keyword 'CHOV 1'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "FRGM 1 1 1\nTOLS 0.2 0.12 0.09 0.3\nMTOL 0.4\nDMAX 12.5\nCLUS 3\nDIMR 1\nXYZF 0\nSHLX 1\nADFF 1\nGAUF 1\n"
                         "ORCF 1\nCRYF 1\nSTXH 0\nVERB 2\nTEST 1\nCHOV 1\n")) << r.out;
  // Defaults: whole molecules, the converter's bond tolerances, DMAX 8.
  EXPECT_TRUE(has(run_cif(data(water) + " -o -").out, "FRGM 1 1 1\nTOLS 0.15 0.1 0.08 0\nMTOL 0.3\nDMAX 8\nXYZF 2\n"));
  // The XYZ forms come from the library's table of writers: one switch, three choices.
  EXPECT_TRUE(has(run_cif(data(water) + " -o - --xyz plain").out, "DMAX 8\nXYZF 1\n"));
  const CifRun bad = run_cif(data(water) + " -o - --xyz ext");
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(has(bad.err, "option --xyz takes plain, extended, or none, not 'ext'")) << bad.err;
}

TEST(CommandLine, RunPutsTheProductsBesideTheInput) {
  const CifRun r = run_cif("--res -o sub/w.inp --run " + data(water), "mkdir sub");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* f : {"sub/w.inp", "sub/w.out", "sub/w.xyz", "sub/w.res"}) EXPECT_TRUE(r.files.count(f)) << f;
  EXPECT_EQ(r.files.size(), 4u);
  EXPECT_TRUE(has(r.out, "orbicutter finished; its log: sub/w.out\n")) << r.out;
  EXPECT_TRUE(has(r.out, "they agree with the moiety formula H2 O")) << r.out;
}

TEST(CommandLine, CheckRunLeavesNothingBehind) {
  // The scratch folder of the check run goes under TMPDIR and away again.
  const CifRun r = run_cif("--check --rings -o w.inp " + data(water), "mkdir tmp && export TMPDIR=$PWD/tmp");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.files.size(), 1u);
  EXPECT_TRUE(r.files.count("w.inp"));
}

TEST(CommandLine, FailuresLeaveNoFileAndOneLine) {
  struct Case {
    std::string args, message;
  };
  for (const Case& c : {Case{data("own-not-a-cif.cif"), "is not a CIF (it does not start with a data_ block)"},
                        Case{data("no-such.cif"), "no such file"},
                        Case{data(water) + " --dmax", "option --dmax needs 1 value"},
                        Case{data(water) + " --frobnicate", "unknown option --frobnicate"},
                        Case{data(water) + " --method cube", "option --method takes centre, radius or shape"},
                        Case{data(water) + " --block nothere", "has no data block 'nothere' with atom sites"},
                        Case{data(water) + " -o - --run", "--run needs an input file"},
                        Case{data(water) + " -o missing/w.inp", "cannot write missing/w.inp"},
                        Case{"", "no CIF file given"}}) {
    const CifRun r = run_cif(c.args);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_TRUE(r.err.rfind("orbicutter-cif: error: ", 0) == 0 && has(r.err, c.message) &&
                r.err.find('\n') == r.err.size() - 1) << c.args << ": " << r.err;
    EXPECT_TRUE(r.files.empty()) << c.args;
  }
}

TEST(CommandLine, LinksAndDevicesAreWrittenThrough) {
  // A renamed temporary file would take the place of the link (or of a device).
  const CifRun r = run_cif("-o link.inp " + data(water) + " && test -L link.inp", "touch real.inp && ln -s real.inp link.inp");
  ASSERT_EQ(r.status, 0) << r.err;  // still a link
  EXPECT_TRUE(has(r.files.at("real.inp"), "data block:     water_ops")) << r.files.at("real.inp");
}

TEST(CommandLine, FailedConversionKeepsAnEarlierInput) {
  const CifRun r = run_cif("-o x.inp " + data("own-no-symmetry.cif"), "'" ORBICUTTER_CIF_EXE "' -o x.inp " + data(water) + " >/dev/null");
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(r.files.size(), 1u);
  EXPECT_TRUE(has(r.files.at("x.inp"), "data block:     water_ops")) << r.files.at("x.inp");
}

TEST(CommandLine, HelpAndVersion) {
  const CifRun help = run_cif("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--output", "--block", "--list", "--run", "--check", "--dmax", "--method", "--dimers",
                             "--xyz plain|extended|none", "--res", "--crystal", "--gaussian", "--adf", "--orca", "--rings", "--nics", "--no-xh", "--tols",
                             "--verbose", "--test", "--keyword", "--disorder-group", "--min-occupancy", "--drop"})
    EXPECT_TRUE(has(help.out, option)) << option;
  const CifRun v = run_cif("-V");
  EXPECT_EQ(v.out.rfind("orbicutter-cif ", 0), 0u) << v.out;
}

}  // namespace
}  // namespace orbicutter::cif::testing
