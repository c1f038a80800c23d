// The command line, file handling and exit status of the whole program.
#include <gtest/gtest.h>

#include <set>

#include "model/real.hpp"
#include "orbicutter/version.hpp"
#include "support/runner.hpp"

using namespace orbicutter::testing;

namespace {

const std::string no_input_box =
    "\n ======\n !! ERROR in ORBICUTTER !!\n --> No input file given <--\n ======\n\n ========\n | Stop |\n ========\n\n";

TEST(Driver, NoArgumentOrBlankArgumentGivesTheBoxAndNoLog) {
  for (const std::string args : {"", "'   '"}) {
    const auto r = run_program_with_args(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, no_input_box);
    EXPECT_TRUE(r.files.empty());
  }
}

// The box names the file and the system's reason on its second line.
TEST(Driver, InputThatCannotBeOpened) {
  const std::pair<std::string, std::string> cases[] = {
      {"missing.inp", "missing.inp: No such file or directory"},
      {".", ".: is a folder"},
      {"/dev/null/mol.inp", "/dev/null/mol.inp: Not a directory"},
  };
  for (const auto& [args, reason] : cases) {
    const auto r = run_program_with_args(args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_NE(r.out.find(" !! ERROR in ORBICUTTER !!\n --> Input file cannot be opened <--\n --> " + reason + " <--\n"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(r.files.empty()) << args;
  }
}

// A failed run's log ends with the box that stopped it, the reader's too (the
// program's boxes take the same way).
TEST(Driver, FailedRunsLogEndsWithItsBox) {
  const auto r = run_program_on("CELL 5 5 5 90 90 90\nSYMM 1 0\nx,y,z\n", "mol.inp");
  EXPECT_EQ(r.status, 1);
  const std::string box =
      " ======\n !! ERROR in READINP !!\n --> Error while reading NFRG option <--\n ======\n\n ========\n | Stop |\n "
      "========\n\n";
  ASSERT_TRUE(r.files.count("mol.out"));
  const std::string& log = r.files.at("mol.out");
  ASSERT_GE(log.size(), box.size());
  EXPECT_EQ(log.substr(log.size() - box.size()), box) << log;
}

TEST(Driver, LogIsNamedAfterTheSystemName) {
  const auto r = run_program_on("! nothing but a comment\n", "mol.cif.inp");
  EXPECT_EQ(r.status, 1);  // no atoms: the reader refuses the file
  EXPECT_TRUE(r.files.count("mol.out"));
  EXPECT_FALSE(r.files.count("mol.xyz"));
  const std::string banner = "\n ==============\n | ORBICUTTER |\n ==============\n (01.03.2018:01)\n\n";
  EXPECT_EQ(r.out.substr(0, banner.size()), banner);
}

}  // namespace

namespace {

// A product that cannot be created (here a folder stands where mol.xyz would go)
// stops the run with the box, and the other products opened before are taken back.
TEST(Driver, ProductThatCannotBeCreated) {
  const auto r = run_program_on("CELL 5 5 5 90 90 90\nSYMM 1 0\nx,y,z\nNFRG 1 1\nM 1 1\nC C1 0 0 0\nDMAX 3\nGAUF 1\n",
                                "mol.inp", {"mol.gjf"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" !! ERROR in ORBICUTTER !!\n --> Output file cannot be created <--\n"), std::string::npos)
      << r.out;
  EXPECT_TRUE(r.files.count("mol.out"));
  EXPECT_FALSE(r.files.count("mol.xyz")) << "the cluster file opened before is removed";
}

}  // namespace

namespace {

std::set<std::string> names_of(const RunResult& r) {
  std::set<std::string> names;
  for (const auto& [name, _] : r.files) names.insert(name);
  return names;
}

// One XYZ file per dimer, the counterpoise file beside it only with Gaussian output;
// a dimer file that cannot be created stops the run, and every product written
// before it is taken back.
TEST(Driver, DimerFiles) {
  const std::string input = read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/benzene_dimr.inp");
  const auto plain = run_program_on(input + "GAUF 0\n", "benzene.inp");
  ASSERT_EQ(plain.status, 0) << plain.out;
  EXPECT_EQ(names_of(plain),
            (std::set<std::string>{"benzene.out", "benzene.xyz", "dimer_18.xyz", "dimer_33.xyz", "dimer_45.xyz",
                                   "dimer_56.xyz", "dimer_73.xyz", "dimer_84.xyz", "dimer_98.xyz"}));

  const auto r = run_program_on(input, "benzene.inp", {"dimer_45.xyz"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" !! ERROR in ORBICUTTER !!\n --> Output file cannot be created <--\n"), std::string::npos);
  EXPECT_EQ(names_of(r), std::set<std::string>{"benzene.out"});
  const std::string& log = r.files.at("benzene.out");
  EXPECT_NE(log.find("\n  33 "), std::string::npos);
  EXPECT_EQ(log.find("\n  45 "), std::string::npos) << "no log line for the dimer that failed";
}

}  // namespace

namespace {

// --help and --version as the only argument answer without a run; anything more is a run as ever.
TEST(Driver, HelpAndVersion) {
  const auto help = run_program_with_args("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: orbicutter", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("\n  NAME.orca.inp     ORCF 1  ORCA input template"), std::string::npos) << help.out;
  EXPECT_TRUE(help.files.empty());
  // The project's version, the same for every program; the log banner keeps its own.
  const auto version = run_program_with_args("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string(sizeof(orbicutter::real) == 4 ? "orbicutter_sp " : "orbicutter ") +
                             ORBICUTTER_VERSION + (sizeof(orbicutter::real) == 4 ? " (4-byte reals)\n" : " (8-byte reals)\n"));
  const auto both = run_program_with_args("--help --version");
  EXPECT_EQ(both.status, 1);
  EXPECT_NE(both.out.find(" --> Input file cannot be opened <--"), std::string::npos);
}

}  // namespace
