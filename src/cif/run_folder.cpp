// Child processes for the full run (POSIX), and the folder it runs in.
#include "cif/run_folder.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "cif/atomic_file.hpp"
#include "cif/error.hpp"
#include "cif/scratch.hpp"
#include "orbicutter/structure.hpp"

namespace orbicutter::cif {
namespace fs = std::filesystem;
namespace {

bool executable(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

std::string structure_name(const Options& o) { return fs::path(o.cif_path).stem().string(); }

bool dimer_file(const std::string& name) {
  static const std::regex pattern(R"(dimer_[0-9]+\.xyz(_G)?)");
  return std::regex_match(name, pattern);
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
  return r;
}

bool folder_run(const Options& o) { return o.run && o.output.empty(); }

std::string folder_input(const Options& o) {
  const std::string name = structure_name(o);
  const fs::path folder = !o.run_folder.empty() ? fs::path(o.run_folder) : fs::path(o.cif_path).parent_path() / name;
  std::error_code ec;
  if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
    throw ConversionError(folder.string() + " is not a folder; choose one with -d");
  if (fs::is_directory(folder, ec))
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const fs::path p = entry.path();
      if (p.extension() == ".inp" && p.filename() != name + ".inp" && p.filename() != "current_input.inp")
        throw ConversionError(folder.string() + " holds the run of another structure (" + p.filename().string() +
                              "); choose another folder with -d");
    }
  return (folder / (name + ".inp")).string();
}

ProgramRun run_in_folder(const std::string& exe, const std::string& input_path, const std::string& text,
                         std::string& kept) {
  const fs::path input(input_path);
  fs::path folder = input.parent_path().empty() ? fs::path(".") : input.parent_path();
  std::error_code ec;
  // "-d ." or "-d ..": name the folder itself, so that the scratch and failed-run folders go beside it.
  if (folder.filename().empty() || folder.filename() == "." || folder.filename() == "..")
    folder = fs::absolute(folder, ec).lexically_normal();
  if (folder.filename().empty()) folder = folder.parent_path();
  fs::create_directories(folder, ec);
  if (ec) throw ConversionError("cannot make the folder " + folder.string() + ": " + ec.message());
  // Beside the target, so that the files move by renaming.
  const std::string pattern = (folder.parent_path() / ("." + folder.filename().string() + "-run-XXXXXX")).string();
  const fs::path scratch = make_scratch_folder(pattern);
  write_atomically((scratch / input.filename()).string(), text);
  ProgramRun r = run_orbicutter(exe, scratch.string(), input.filename().string());
  if (r.status != 0) {
    // One failed run is kept beside the folder, the latest; an older one holds only files.
    fs::path failed = folder;
    failed += ".failed-run";
    bool plain = fs::is_directory(failed, ec);
    if (plain)
      for (const auto& entry : fs::directory_iterator(failed, ec)) plain = plain && entry.is_regular_file(ec);
    if (plain) fs::remove_all(failed, ec);
    fs::rename(scratch, failed, ec);
    kept = ec ? scratch.string() : failed.string();
    return r;
  }
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(scratch)) written.insert(entry.path().filename().string());
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string f = entry.path().filename().string();
    if (dimer_file(f) && !written.count(f)) fs::remove(entry.path(), ec);
  }
  for (const std::string& f : written) {
    fs::rename(scratch / f, folder / f, ec);
    if (ec) throw ConversionError("cannot move " + f + " into " + folder.string() + ": " + ec.message());
  }
  fs::remove(scratch, ec);
  r.log_path = (folder / fs::path(r.log_path).filename()).string();
  return r;
}

std::vector<std::string> dimer_lines(const std::string& text) {
  std::vector<std::string> lines;
  try {
    orbicutter::Structure structure(text);
    for (const orbicutter::Dimer& d : structure.dimers()) {
      char buf[200];
      std::snprintf(buf, sizeof buf, "dimer_%d.xyz: %s (fragment %d), operation %d, translation %+d %+d %+d (%s), %.3f A, %d at this distance",
                    d.number, d.formula.c_str(), d.fragment, d.operation, d.translation.a, d.translation.b, d.translation.c,
                    d.symmetry_code.c_str(), d.distance, d.multiplicity);
      lines.emplace_back(buf);
    }
  } catch (const orbicutter::Error& e) {
    lines.push_back("dimers: the library found none (" + std::string(e.what()) + ")");
  }
  return lines;
}

}  // namespace orbicutter::cif
