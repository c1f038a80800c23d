// Output files written under temporary names and renamed when complete.
#include "driver/output_files.hpp"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "driver/interruption.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

namespace fs = std::filesystem;

// rename replaces the name itself: a symbolic link standing there is replaced,
// never written through.
void rename_over(const std::string& temporary, const std::string& name) {
  if (std::rename(temporary.c_str(), name.c_str()) != 0) {
    const std::error_code ec(errno, std::generic_category());
    fail({" --> Cannot write " + name + ": " + ec.message() + " <--"});
  }
  Interruption::forget(temporary);
}

void remove_temporary(const std::string& temporary) noexcept {
  std::remove(temporary.c_str());
  Interruption::forget(temporary);
}

}  // namespace

void OutputFiles::refuse_input(const std::string& name) const {
  std::error_code ec;
  if (fs::equivalent(name, input_, ec)) fail({" --> Output file " + name + " is the input file <--"});
}

OutputFiles::Pending OutputFiles::open_temporary(Unit& unit, const std::string& name) {
  refuse_input(name);
  std::error_code ec;
  if (fs::is_directory(name, ec)) fail({" --> Output file cannot be created <--", " --> " + name + " is a folder <--"});
  // An existing name (a temporary file of a run killed outright) is passed over.
  for (int attempt = 0;; ++attempt) {
    Pending p{name, temporary_name(name, attempt)};
    Interruption::add(p.temporary);
    const std::error_code err = unit.create(p.temporary, name);
    if (!err) return p;
    Interruption::forget(p.temporary);
    if (err != std::errc::file_exists || attempt == 99)
      fail({" --> Output file cannot be created <--", " --> " + name + ": " + err.message() + " <--"});
  }
}

void OutputFiles::create(Unit& unit, const std::string& name) { pending_.push_back(open_temporary(unit, name)); }

void OutputFiles::create_log(Unit& unit, const std::string& name) { log_ = open_temporary(unit, name); }

void OutputFiles::commit() {
  const SignalsHeld held;
  for (const auto& p : pending_) rename_over(p.temporary, p.name);
  pending_.clear();
  if (!log_.temporary.empty()) rename_over(log_.temporary, log_.name);
  log_ = {};
  Interruption::files_complete();
}

void OutputFiles::after_failure(Unit& log) noexcept {
  // The other files go first: on a full disk their room is what the log's last block needs.
  for (const auto& p : pending_) remove_temporary(p.temporary);
  pending_.clear();
  bool whole = !log_.temporary.empty();
  try {
    log.close();
  } catch (...) {
    whole = false;  // the log's own write failed: the earlier log stays
  }
  if (whole) {
    const SignalsHeld held;
    if (std::rename(log_.temporary.c_str(), log_.name.c_str()) == 0) Interruption::forget(log_.temporary);
  }
  discard();
}

void OutputFiles::discard() noexcept {
  for (const auto& p : pending_) remove_temporary(p.temporary);
  pending_.clear();
  if (!log_.temporary.empty()) remove_temporary(log_.temporary);
  log_ = {};
}

}  // namespace orbicutter
