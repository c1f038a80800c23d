// Runs orbicutter-cif as a process in a fresh folder and collects what it wrote.
#pragma once

#include <map>
#include <string>

namespace orbicutter::cif::testing {

struct CifRun {
  int status = -1;
  std::string out, err;
  std::map<std::string, std::string> files;  // relative path -> contents, every file it left
};

// `args` follow the program name as a shell would split them; `data(...)`
// names a test CIF by full path. `before` is a shell command run there first.
CifRun run_cif(const std::string& args, const std::string& before = "true");
std::string data(const std::string& name);

// The line of `text` that starts with `first` and the `count` lines after it.
std::string lines_after(const std::string& text, const std::string& first, int count);

}  // namespace orbicutter::cif::testing
