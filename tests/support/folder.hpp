// A scratch working folder for code that writes into the current folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <system_error>

namespace orbicutter::testing {

// A fresh empty folder under the temporary one, the working folder while the
// object lives; afterwards the previous folder again, and the scratch one removed
// with all it holds.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix = "orbicutter-scratch") {
    namespace fs = std::filesystem;
    previous_ = fs::current_path();
    path_ = fs::temp_directory_path() / (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
    fs::current_path(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Names of the files and folders in it.
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) names.insert(e.path().filename().string());
    return names;
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path previous_, path_;
};

}  // namespace orbicutter::testing
