// Whole files for the library's caller: temporary files, renamed when all are written.
#include "api/whole_files.hpp"

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "model/stop.hpp"

namespace orbicutter {
namespace {

namespace fs = std::filesystem;

// A fresh name beside `name`, hidden, that no other writer of the folder has taken.
std::string temporary_for(const std::string& name) {
  const fs::path target(name);
  std::random_device seed;
  std::mt19937_64 draw(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        target.parent_path() / ("." + target.filename().string() + "." + std::to_string(draw() % 1000000000ULL));
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate.string();
  }
  fail({" --> Cannot write " + name + ": no free temporary name beside it <--"});
}

void remove_all(const std::vector<std::string>& temporaries) noexcept {
  for (const auto& t : temporaries) {
    std::error_code ec;
    fs::remove(t, ec);
  }
}

}  // namespace

void write_files(const std::string& input, const std::vector<std::string>& names, const std::vector<std::string>& texts) {
  std::error_code ec;
  for (const auto& name : names) {
    if (fs::equivalent(name, input, ec)) fail({" --> Output file " + name + " is the input file <--"});
    if (fs::is_directory(name, ec)) fail({" --> Output file cannot be created <--", " --> " + name + " is a folder <--"});
  }
  std::vector<std::string> temporaries;
  try {
    for (std::size_t k = 0; k < names.size(); ++k) {
      temporaries.push_back(temporary_for(names[k]));
      std::ofstream file(temporaries.back(), std::ios::binary | std::ios::trunc);
      if (file) file.write(texts[k].data(), static_cast<std::streamsize>(texts[k].size()));
      if (file) file.close();
      if (!file) fail({" --> Cannot write " + names[k] + " <--"});
    }
    for (std::size_t k = 0; k < names.size(); ++k) {
      fs::rename(temporaries[k], names[k], ec);
      if (ec) fail({" --> Cannot write " + names[k] + ": " + ec.message() + " <--"});
    }
  } catch (...) {
    remove_all(temporaries);
    throw;
  }
}

}  // namespace orbicutter
