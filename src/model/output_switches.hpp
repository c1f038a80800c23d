// The output switches of the input, one row per file for an outside program: the
// keyword that asks for the file, its name, and how the input report and the echo
// file list it. The writers own the functions that write them (writers/products.hpp).
#pragma once

#include <span>
#include <string>

#include "model/run.hpp"

namespace orbicutter {

// Which writer a row asks for.
enum class OutputProgram { xyz, extended_xyz, res, adf, gaussian, orca, crystal };

struct OutputSwitch {
  OutputProgram program;
  const char* keyword;     // the switch keyword of the input file
  int Keywords::*flag;     // where the reader keeps that switch
  int value = 1;           // the switch value that asks for this file
  const char* suffix;      // appended to the system name
  const char* about;       // what the file is, for --help
  const char* generation;  // input report: this text, then the switch (nullptr: another row of the switch has it)
  const char* name;        // input report, when asked for: this text, then the file name
  const char* echo_after;  // the echo file line after which its switch line goes (nullptr: as for generation)
  // Input report: this text, then kcharge, when charges_listed says so.
  const char* charges = nullptr;
  bool (*charges_listed)(const Keywords& kw) = nullptr;
  bool crystal = false;       // describes the crystal, not the cluster: reported after the cluster files
  bool always_listed = true;  // in the report and the echo file also when off
  // A second file written beside the first, when companion_wanted says so.
  const char* companion = nullptr;  // its suffix
  bool (*companion_wanted)(const Keywords& kw) = nullptr;
  // For a front end's command line: the program's short name, and the form of
  // the file where one switch has several values (nullptr: one form).
  const char* option = nullptr;
  const char* form = nullptr;
};

// Every output program, in the order of the input report.
std::span<const OutputSwitch> output_switches();

// The switch asks for this file.
inline bool asked_for(const OutputSwitch& p, const Keywords& kw) { return kw.*p.flag == p.value; }
// The report and the echo file show its switch.
inline bool listed(const OutputSwitch& p, const Keywords& kw) { return p.always_listed || asked_for(p, kw); }
// The file name: the system name and the suffix.
inline std::string product_file(const OutputSwitch& p, const std::string& system_name) { return system_name + p.suffix; }
// The companion file is asked for.
inline bool companion_asked_for(const OutputSwitch& p, const Keywords& kw) {
  return p.companion != nullptr && asked_for(p, kw) && p.companion_wanted(kw);
}
inline std::string companion_file(const OutputSwitch& p, const std::string& system_name) {
  return system_name + p.companion;
}

}  // namespace orbicutter
