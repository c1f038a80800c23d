// Process runner for the converter tests.
#include "cif/cif_run.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace orbicutter::cif::testing {
namespace {

std::string read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

std::string data(const std::string& name) { return std::string(ORBICUTTER_CIF_DATA) + "/" + name; }

CifRun run_cif(const std::string& args, const std::string& before) {
  static std::atomic<int> counter{0};
  const fs::path dir = fs::temp_directory_path() / ("orbicutter-cif-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir / "run");
  const std::string cmd = "cd '" + (dir / "run").string() + "' && " + before + " && '" ORBICUTTER_CIF_EXE "' " + args + " > ../out 2> ../err";
  const int raw = std::system(cmd.c_str());
  CifRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read(dir / "out");
  r.err = read(dir / "err");
  for (const auto& e : fs::recursive_directory_iterator(dir / "run"))
    if (e.is_regular_file()) r.files[fs::relative(e.path(), dir / "run").string()] = read(e.path());
  fs::remove_all(dir);
  return r;
}

std::string lines_after(const std::string& text, const std::string& first, int count) {
  std::istringstream in(text);
  std::string line, out;
  bool on = false;
  while (std::getline(in, line)) {
    if (!on && line.rfind(first, 0) == 0) on = true;
    if (on && count-- >= 0) out += line + '\n';
  }
  return out;
}

}  // namespace orbicutter::cif::testing
