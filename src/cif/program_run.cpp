// Child processes for orbicutter runs (POSIX).
#include "cif/program_run.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cif/atomic_file.hpp"
#include "cif/error.hpp"
#include "cif/scratch.hpp"

namespace orbicutter::cif {
namespace fs = std::filesystem;
namespace {

bool executable(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

std::string read_text(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

std::string log_name(const std::string& input_name) {
  const std::string base = fs::path(input_name).filename().string();
  return base.substr(0, base.find('.')) + ".out";
}

std::string find_orbicutter() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && executable(self.parent_path() / "orbicutter")) return (self.parent_path() / "orbicutter").string();
  if (const char* path = std::getenv("PATH")) {
    std::stringstream ss(path);
    for (std::string dir; std::getline(ss, dir, ':');) {
      const fs::path p = fs::path(dir.empty() ? "." : dir) / "orbicutter";
      if (executable(p)) return fs::absolute(p, ec).string();
    }
  }
  throw ConversionError("orbicutter not found next to orbicutter-cif or on PATH");
}

ProgramRun run_orbicutter(const std::string& exe, const std::string& folder, const std::string& input_name) {
  int pipe_fd[2];
  if (::pipe(pipe_fd) != 0) throw ConversionError(std::string("cannot run orbicutter: ") + std::strerror(errno));
  const pid_t pid = ::fork();
  if (pid < 0) throw ConversionError(std::string("cannot run orbicutter: ") + std::strerror(errno));
  if (pid == 0) {
    ::dup2(pipe_fd[1], 1);
    ::dup2(pipe_fd[1], 2);
    ::close(pipe_fd[0]);
    ::close(pipe_fd[1]);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    std::vector<char*> argv{const_cast<char*>(exe.c_str()), const_cast<char*>(input_name.c_str()), nullptr};
    ::execv(exe.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipe_fd[1]);
  ProgramRun r;
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(pipe_fd[0], buf, sizeof buf);
    if (n > 0) r.out.append(buf, static_cast<std::size_t>(n));
    else if (n == 0 || errno != EINTR) break;
  }
  ::close(pipe_fd[0]);
  int raw = 0;
  while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
  }
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (r.status == 126 || r.status == 127) throw ConversionError("cannot run " + exe + " in " + folder);
  r.log_path = (fs::path(folder) / log_name(input_name)).string();
  std::error_code ec;
  if (fs::is_regular_file(r.log_path, ec)) r.log = read_text(r.log_path);
  return r;
}

ProgramRun trial_run(const std::string& exe, const std::string& input, const std::string& input_name) {
  const ScratchFolder scratch("orbicutter-cif");
  const fs::path& folder = scratch.path;
  const std::string base = fs::path(input_name).filename().string();
  write_atomically((folder / base).string(), input + "TEST 1\n");
  ProgramRun r = run_orbicutter(exe, folder.string(), base);
  r.log_path.clear();
  return r;
}

}  // namespace orbicutter::cif
