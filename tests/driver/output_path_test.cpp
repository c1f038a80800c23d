// The output path of the whole program: files made final only when complete,
// write errors, interruptions, inputs the run would overwrite, the argument.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <thread>

#include "driver/interruption.hpp"
#include "driver/output_files.hpp"
#include "support/folder.hpp"
#include "support/runner.hpp"

using namespace orbicutter::testing;
namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status = -1;
  std::string out;  // standard output and error
};

// Runs `<prefix> <exe> <args>` through the shell in the current folder, its
// streams caught outside the folder (or standard output sent to `stdout_to`).
Outcome run_here(const std::string& args, const std::string& prefix = "", const std::string& stdout_to = "") {
  static std::atomic<int> counter{0};
  const std::string caught = fs::current_path().string() + "." + std::to_string(counter++) + ".caught";
  const std::string to = stdout_to.empty() ? "'" + caught + "' 2>&1" : stdout_to + " 2> '" + caught + "'";
  const int raw = std::system((prefix + " '" + ORBICUTTER_EXE + "' " + args + " > " + to).c_str());
  Outcome o{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(caught)};
  fs::remove(caught);
  return o;
}

void write(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

// Every entry of the current folder: a file's text, "-> target" for a link.
std::map<std::string, std::string> snapshot() {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(".")) {
    const std::string name = e.path().filename().string();
    files[name] = e.is_symlink() ? "-> " + fs::read_symlink(e.path()).string() : read_file(name);
  }
  return files;
}

// Benzene, 4 molecules a cell; DMAX 60 gives a cluster of about 100,000 atoms.
std::string benzene(const std::string& options) {
  return read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/benzene_dimr.inp") + "DIMR 0\n" + options;
}
const std::string big = "DMAX 60\n";

// After an earlier run of mol.inp (the cluster, Gaussian and dimer-less), the
// run made by `rerun` fails; every earlier product is as it was and no temporary
// file is left. The log is the failed run's after a box, else the earlier one.
// Both runs are made in a scratch folder, or in the current one when `here`.
void earlier_files_survive(const std::function<void()>& rerun, bool failed_log_kept, bool here = false) {
  std::optional<ScratchFolder> folder;
  if (!here) folder.emplace();
  write("mol.inp", benzene("DMAX 8\n"));
  ASSERT_EQ(run_here("mol.inp").status, 0);
  const auto before = snapshot();
  ASSERT_EQ(before.size(), 4u);  // mol.inp, mol.out, mol.xyz, mol.gjf
  rerun();
  auto after = snapshot();
  after.erase("mol.inp");
  for (const auto& [name, text] : after) {
    ASSERT_TRUE(before.count(name)) << "left behind: " << name;
    if (name == "mol.out") {
      EXPECT_EQ(text == before.at(name), !failed_log_kept);
      if (failed_log_kept) {
        EXPECT_EQ(text.find("| Finished |"), std::string::npos);
      }
    } else {
      EXPECT_EQ(text, before.at(name)) << name << " changed";
    }
  }
  EXPECT_EQ(after.size(), 3u);
}

TEST(OutputPath, ErrorBoxLeavesEarlierProductsAndTheFailedLog) {
  // A folder where the third dimer file goes stops the run after the products were opened.
  earlier_files_survive(
      [] {
        write("mol.inp", benzene("DMAX 8\nDIMR 1\n"));
        fs::create_directory("dimer_30.xyz");
        const auto r = run_here("mol.inp");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(" --> Output file cannot be created <--\n --> dimer_30.xyz is a folder <--\n"),
                  std::string::npos)
            << r.out;
        fs::remove("dimer_30.xyz");
      },
      true);
}

TEST(OutputPath, WriterFailingPartWay) {
  // The file-size limit (512-byte blocks in sh, 1024 in bash: both between the
  // log and the cluster file) makes the XYZ writer fail after its first blocks.
  earlier_files_survive(
      [] {
        write("mol.inp", benzene(big));
        const auto r = run_here("mol.inp", "ulimit -f 400;");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(" --> Cannot write mol.xyz: File too large <--"), std::string::npos) << r.out;
      },
      true);
}

// A folder on a 2 MB file system that the cluster file fills (where the test may mount one).
TEST(OutputPath, FolderThatBecomesFull) {
  const ScratchFolder folder;
  fs::create_directory("disk");
  if (std::system("mount -t tmpfs -o size=2m tmpfs disk 2>/dev/null") != 0)
    GTEST_SKIP() << "no small file system can be mounted here; WriterFailingPartWay stands in";
  fs::current_path("disk");
  earlier_files_survive(
      [] {
        write("mol.inp", benzene(big));
        const auto r = run_here("mol.inp");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(" --> Cannot write mol.xyz: No space left on device <--"), std::string::npos) << r.out;
      },
      true, true);
  fs::current_path(folder.path());
  EXPECT_EQ(std::system("umount disk"), 0);
}

// A log that fails itself (the size limit is reached by the log's first block,
// long before the cluster file) never replaces the earlier log.
TEST(OutputPath, LogThatCannotBeWrittenLeavesTheEarlierLog) {
  earlier_files_survive(
      [] {
        write("mol.inp", benzene(big));
        const auto r = run_here("mol.inp", "ulimit -f 40;");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(" --> Cannot write mol.out: File too large <--"), std::string::npos) << r.out;
      },
      false);
}

TEST(OutputPath, StandardOutputThatCannotBeWritten) {
  earlier_files_survive(
      [] {
        const auto r = run_here("mol.inp", "", "/dev/full");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(" --> Cannot write standard output: No space left on device <--"), std::string::npos)
            << "the box goes to standard error: " << r.out;
      },
      true);
  const ScratchFolder folder;
  EXPECT_EQ(run_here("--help", "", "/dev/full").status, 1);
}

// What the program wrote on standard error in the last call of interrupted().
std::string interrupted_stderr;

// Starts the program on mol.inp in the current folder, waits until its cluster
// file is under way and sends `signal_number`; the exit status. With
// `hangup_ignored` the program starts as nohup starts it.
int interrupted(int signal_number, bool hangup_ignored = false) {
  int err[2];
  if (pipe(err) != 0) return -3;
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    dup2(err[1], STDERR_FILENO);
    close(err[0]);
    close(err[1]);
    if (hangup_ignored) signal(SIGHUP, SIG_IGN);  // kept across exec
    execl(ORBICUTTER_EXE, ORBICUTTER_EXE, "mol.inp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(err[1]);
  struct Drain {  // standard error, read when the program has ended
    int fd;
    ~Drain() {
      interrupted_stderr.clear();
      char buffer[256];
      for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) interrupted_stderr.append(buffer, static_cast<std::size_t>(n));
      close(fd);
    }
  } drain{err[0]};
  int raw = 0;
  for (bool started = false; !started;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (waitpid(pid, &raw, WNOHANG) == pid) return -2;  // ended before it could be interrupted
    for (const auto& e : fs::directory_iterator("."))
      started = started || e.path().filename().string().rfind(".mol.xyz.", 0) == 0;
  }
  kill(pid, signal_number);
  waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// An exception that no box catches still takes the temporary files back.
TEST(OutputPath, ExceptionTakesTheTemporaryFilesBack) {
  const ScratchFolder folder;
  write("mol.xyz", "earlier\n");
  try {
    orbicutter::OutputFiles files("mol.inp");
    orbicutter::Unit log, xyz;
    files.create_log(log, "mol.out");
    files.create(xyz, "mol.xyz");
    xyz.line("half a cluster");
    throw std::runtime_error("unforeseen");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(snapshot(), (std::map<std::string, std::string>{{"mol.xyz", "earlier\n"}}));
}

TEST(OutputPath, InterruptedRunTakesEverythingBack) {
  earlier_files_survive(
      [] {
        write("mol.inp", benzene(big + "DIMR 1\n"));
        EXPECT_EQ(interrupted(SIGINT), 130);
        EXPECT_EQ(interrupted_stderr, "interrupted: the files of the earlier run are kept\n");
      },
      false);
  earlier_files_survive(
      [] {
        write("mol.inp", benzene(big));
        EXPECT_EQ(interrupted(SIGTERM), 143);
      },
      false);
  earlier_files_survive(
      [] {
        write("mol.inp", benzene(big));
        EXPECT_EQ(interrupted(SIGHUP), 129);
      },
      false);
}

// Under nohup the hangup of the closed terminal passes the run by: it finishes.
TEST(OutputPath, HangupIgnoredUnderNohup) {
  const ScratchFolder folder;
  write("mol.inp", benzene(big));
  EXPECT_EQ(interrupted(SIGHUP, true), 0);
  EXPECT_EQ(interrupted_stderr, "");
  EXPECT_NE(read_file("mol.out").find("| Finished |"), std::string::npos);
  EXPECT_EQ(snapshot().size(), 4u) << "mol.inp, mol.out, mol.xyz, mol.gjf and no temporary file";
}

// A run killed outright leaves its temporary files; a later run that is given
// the same process id passes over their names instead of stopping.
TEST(OutputPath, TemporaryNameOfAKilledRunIsPassedOver) {
  const ScratchFolder folder;
  const std::string stale = orbicutter::temporary_name("mol.xyz", 0);
  write(stale, "killed run\n");
  {
    orbicutter::OutputFiles files("mol.inp");
    orbicutter::Unit log, xyz;
    files.create_log(log, "mol.out");
    files.create(xyz, "mol.xyz");
    xyz.line("whole cluster");
    log.line("log");
    xyz.close();
    log.close();
    files.commit();
  }
  EXPECT_EQ(read_file("mol.xyz"), "whole cluster\n");
  EXPECT_EQ(read_file(stale), "killed run\n");
}

// Both the cluster file and the log replace a link of their name, never writing through it.
TEST(OutputPath, LinkNamedLikeAProductIsReplaced) {
  const ScratchFolder folder;
  write("target", "kept\n");
  fs::create_symlink(folder.path() / "target", "mol.xyz");
  fs::create_symlink("target", "mol.out");
  write("mol.inp", benzene("DMAX 4\n"));
  ASSERT_EQ(run_here("mol.inp").status, 0);
  EXPECT_EQ(read_file("target"), "kept\n");
  EXPECT_FALSE(fs::is_symlink("mol.xyz"));
  EXPECT_FALSE(fs::is_symlink("mol.out"));
  EXPECT_EQ(read_file("mol.xyz").substr(0, 7), "    72\n");
}

// Two runs with the same system name at once each write whole files; the last to finish wins.
TEST(OutputPath, SimultaneousRunsOfOneSystemName) {
  std::string alone[2];
  {
    const ScratchFolder folder;
    for (int k = 0; k < 2; ++k) {
      write("mol.inp", benzene(k == 0 ? "DMAX 30\n" : "DMAX 31\n"));
      ASSERT_EQ(run_here("mol.inp").status, 0);
      alone[k] = read_file("mol.xyz");
    }
  }
  const ScratchFolder folder;
  write("mol.inp", benzene("DMAX 30\n"));
  write("mol.v2.inp", benzene("DMAX 31\n"));
  std::thread other([] { run_here("mol.v2.inp"); });
  run_here("mol.inp");
  other.join();
  const std::string xyz = read_file("mol.xyz");
  EXPECT_TRUE(xyz == alone[0] || xyz == alone[1]);
  const std::string log = read_file("mol.out");
  EXPECT_EQ(log.find("| Finished |"), log.rfind("| Finished |"));
  EXPECT_EQ(snapshot().size(), 5u) << "mol.inp, mol.v2.inp, mol.out, mol.xyz, mol.gjf";
}

}  // namespace

namespace {

// A run whose output would be its own input file refuses to start, by file and not by name.
TEST(OutputPath, InputTheRunWouldOverwrite) {
  const std::string input = benzene("DMAX 4\nGAUF 0\n");
  struct Case {
    std::string name, options, output;
  };
  for (const Case& c : {Case{"water.out", "", "water.out"}, Case{"w.xyz", "", "w.xyz"},
                        Case{"current_input.inp", "VERB 1\n", "current_input.inp"},
                        Case{"testmol.xyz", "TEST 1\n", "testmol.xyz"}, Case{"dimer_18.xyz", "DIMR 1\n", "dimer_18.xyz"},
                        Case{"mol.inp", "", "mol.xyz"}}) {
    const ScratchFolder folder;
    write(c.name, input + c.options);
    if (c.name == "mol.inp") fs::create_hard_link("mol.inp", "mol.xyz");  // another name, the same file
    const auto r = run_here("'" + c.name + "'");
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_NE(r.out.find(" --> Output file " + c.output + " is the input file <--"), std::string::npos) << r.out;
    EXPECT_EQ(read_file(c.name), input + c.options) << c.name;
    const std::string log = c.name.substr(0, c.name.find('.')) + ".out";  // kept up to the box
    for (const auto& [name, _] : snapshot()) EXPECT_TRUE(name == c.name || name == c.output || name == log) << name;
  }
}

// The argument is the file name as given, however long; "--" ends the options.
TEST(OutputPath, ArgumentAsGiven) {
  const ScratchFolder folder;
  const std::string long_folder = std::string(150, 'f') + "/" + std::string(41, 'g');
  fs::create_directories(long_folder);
  const std::string path = long_folder + "/mol.inp.aspirin.inp";  // 212 characters
  write(long_folder + "/mol.inp", "! the file a cut argument would name\n");
  write(path, benzene("DMAX 4\n"));
  EXPECT_EQ(run_here(path).status, 0);
  EXPECT_TRUE(fs::exists(long_folder + "/mol.xyz"));

  write("--help", benzene("DMAX 4\n"));
  EXPECT_EQ(run_here("-- --help").status, 0);
  EXPECT_TRUE(fs::exists("--help.xyz"));
  EXPECT_NE(run_here("--").out.find(" --> No input file given <--"), std::string::npos);
}

}  // namespace
