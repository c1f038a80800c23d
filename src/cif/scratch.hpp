// Private scratch folders for the programs the converter starts (xtb, the full
// run of a structure's folder).
#pragma once

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cif/error.hpp"

namespace orbicutter::cif {

// A new folder named from `pattern`, whose last six characters are XXXXXX.
inline std::filesystem::path make_scratch_folder(const std::string& pattern) {
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) throw ConversionError(std::string("cannot make a scratch folder: ") + std::strerror(errno));
  return std::filesystem::path(name.data());
}

// A scratch folder in the temporary directory, removed with everything in it
// when it goes out of scope.
struct ScratchFolder {
  explicit ScratchFolder(const std::string& prefix)
      : path(make_scratch_folder((std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string())) {}
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::filesystem::path path;
};

}  // namespace orbicutter::cif
