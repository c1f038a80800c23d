// The files a run writes. Each is written under a temporary name beside its own
// and renamed over it only when the run has made every file complete, so that a
// failed or interrupted run leaves the files of an earlier run as they were.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "format/unit.hpp"

namespace orbicutter {

class OutputFiles {
 public:
  // `input` is the input file: no output may be it.
  explicit OutputFiles(std::string input) : input_(std::move(input)) {}
  ~OutputFiles() { discard(); }
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Opens `unit` on a new temporary file for `name`. An Error when `name` is the
  // input file or a folder, or when the file cannot be created.
  void create(Unit& unit, const std::string& name);
  // The same for the run log, which a failed run keeps (complete up to its box).
  void create_log(Unit& unit, const std::string& name);
  // An Error when `name` is the input file (the same file, whatever the name).
  void refuse_input(const std::string& name) const;

  // Every file of a finished run, its units closed, renamed over its name; the
  // signals are held meanwhile, so that an interruption renames all or none.
  void commit();
  // After an error box: every other temporary file removed (their units closed
  // before, so that a full disk has room again), then the log, when its unit can
  // still be closed without an error, renamed over its name.
  void after_failure(Unit& log) noexcept;
  // Every temporary file removed.
  void discard() noexcept;

 private:
  struct Pending {
    std::string name, temporary;
  };
  Pending open_temporary(Unit& unit, const std::string& name);

  std::string input_;
  std::vector<Pending> pending_;  // in the order of creation
  Pending log_;
};

}  // namespace orbicutter
