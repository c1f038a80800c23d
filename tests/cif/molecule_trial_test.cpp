// The check, the census, the rings and the tolerance trials take their
// molecules from the library in this process; only --run starts orbicutter.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cif/cif_run.hpp"

namespace orbicutter::cif::testing {
namespace {

namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// orbicutter-cif copied alone into a folder, run there with no orbicutter
// beside it nor on PATH.
struct Alone {
  fs::path dir;
  Alone() : dir(fs::temp_directory_path() / ("orbicutter-cif-alone-" + std::to_string(::getpid()))) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(ORBICUTTER_CIF_EXE, dir / "orbicutter-cif");
  }
  ~Alone() { fs::remove_all(dir); }
  int run(const std::string& args, std::string& out, std::string& err) const {
    const std::string cmd = "cd '" + dir.string() + "' && PATH=/nonexistent ./orbicutter-cif " + args + " > out 2> err";
    const int raw = std::system(cmd.c_str());
    out = read(dir / "out");
    err = read(dir / "err");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
};

TEST(MoleculeTrial, CheckRingsAndAdviceNeedNoProgramButRunDoes) {
  const Alone alone;
  ASSERT_FALSE(fs::exists(alone.dir / "orbicutter"));
  std::string out, err;
  // The rings and the check: both from molecules rebuilt in process.
  EXPECT_EQ(alone.run("--check --rings -o w.inp " + data("own-deuterated.cif"), out, err), 0) << err;
  EXPECT_TRUE(has(out, "they agree with the moiety formula C6 D6")) << out;
  EXPECT_TRUE(has(read(alone.dir / "w.inp"), "RING 1 1 6\n")) << read(alone.dir / "w.inp");
  // The tolerance trials too (Cu-OH2 joined only with a larger MTOL).
  EXPECT_EQ(alone.run("--check --mtol 0.15 -o cu.inp " + data("own-cu-aqua-complex.cif"), out, err), 0) << err;
  EXPECT_TRUE(has(out, "--mtol 0.25")) << out;
  // The full run is the program: its absence is said before anything is written.
  EXPECT_EQ(alone.run("--run -o r.inp " + data("own-deuterated.cif"), out, err), 1);
  EXPECT_EQ(err, "orbicutter-cif: error: orbicutter not found next to orbicutter-cif or on PATH\n");
  EXPECT_FALSE(fs::exists(alone.dir / "r.inp"));
}

TEST(MoleculeTrial, GrowingFragmentNamedByItsOwnNumber) {
  // Water first, then a Cu-Cl chain: the second fragment grows, not the first.
  const CifRun r = run_cif(data("own-water-beside-chain.cif") + " --check");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "error: not a molecular crystal: fragment 2 grows without end (a coordination polymer or "
                         "framework); no lower MTOL (down to the bond tolerance 0.15) parts it\n")) << r.err;
}

TEST(MoleculeTrial, RingAtomNumbersAloneOfTheChargeColumn) {
  // With charges the library's atoms carry one more number; the ring is the same.
  const std::string charges = "printf 'C1 -0.1\\nC2 -0.1\\nC3 -0.1\\nD1 0.1\\nD2 0.1\\nD3 0.1\\n' > q.txt";
  const CifRun plain = run_cif(data("own-deuterated.cif") + " --rings -o -");
  const CifRun charged = run_cif(data("own-deuterated.cif") + " --rings --charges q.txt -o -", charges);
  ASSERT_EQ(charged.status, 0) << charged.err;
  // Images share the numbers of their source atoms: 3 4 1 and their inversion images.
  EXPECT_TRUE(has(plain.out, "RING 1 1 6\n3 4 1 3 4 1\n")) << plain.out;
  EXPECT_TRUE(has(charged.out, "CHRG 1\n")) << charged.out;
  EXPECT_TRUE(has(charged.out, "RING 1 1 6\n3 4 1 3 4 1\n")) << charged.out;
}

}  // namespace
}  // namespace orbicutter::cif::testing
