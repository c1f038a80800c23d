// A crystal read from an input text and the steps of the program on it, without
// any file: each step runs once, on first use, and returns plain results.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orbicutter/error.hpp"
#include "orbicutter/types.hpp"

namespace orbicutter {

// Where the run's text goes; no stream, no text.
struct LogStreams {
  std::ostream* log = nullptr;     // the run log, section by section (what NAME.out holds)
  std::ostream* screen = nullptr;  // routine banners, CPU-time lines and reader warnings
};

class Structure {
 public:
  // Reads the keyword input text. `name` stands for the input file name in the
  // log and gives the system name. Throws Error (Origin::input) when refused.
  explicit Structure(std::string_view input, LogStreams logs = {}, std::string_view name = "input");
  ~Structure();
  Structure(Structure&&) noexcept;
  Structure& operator=(Structure&&) noexcept;

  const Options& options() const;
  const Crystal& crystal() const;
  // The steps; each needs the one before and runs it first if need be. A step
  // that throws leaves the structure unusable: every later call throws again.
  const Molecules& molecules();
  const Cluster& cluster();
  const std::vector<Dimer>& dimers();
  // The warnings of the steps run so far, in order: the reader's, then those of
  // molecules() and cluster(). A warning changes no result.
  std::vector<Warning> warnings() const;
  // Writes one output file of the table of writers for the cluster (building it
  // first if need be), by the writer's option name ("xyz", "extxyz", "res",
  // "crystal", "gaussian", "adf", "orca"): the executable's file, byte for byte.
  // Written under a temporary name and renamed when complete. A companion file
  // (the ORCA point charges with CHRG 1) goes into the same folder under the
  // name the first file refers to. Returns the paths written; throws Error
  // (Origin::run) for an unknown name or a file that cannot be written.
  std::vector<std::string> write(const std::string& path, const std::string& option);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The program version, as the banner prints it.
std::string version();
// The project's version ("0.1.0"), which --version of every program prints.
std::string project_version();
// 8 for a library computing with 8-byte reals, 4 for 4-byte reals.
int real_bytes();
// Every output file for an outside program, in the order of the input report.
std::vector<OutputWriter> output_writers();

}  // namespace orbicutter
