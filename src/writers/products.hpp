// The output files for outside programs, one row each: what asks for the file,
// how the input report and the echo file list it, and the function that writes it.
#pragma once

#include <span>
#include <string>

#include "model/run.hpp"
#include "writers/view.hpp"

namespace orbicutter {

struct Product {
  const char* keyword;     // the switch keyword of the input file
  int Keywords::*flag;     // where the reader keeps that switch
  int value = 1;           // the switch value that asks for this file
  const char* suffix;      // appended to the system name
  const char* about;       // what the file is, for --help
  const char* generation;  // input report: this text, then the switch (nullptr: another row of the switch has it)
  const char* name;        // input report, when asked for: this text, then the file name
  const char* echo_after;  // the echo file line after which its switch line goes (nullptr: as for generation)
  void (*write)(const WriterInput& in, Unit& unit);
  // Input report: this text, then kcharge, when charges_listed says so.
  const char* charges = nullptr;
  bool (*charges_listed)(const Keywords& kw) = nullptr;
  bool crystal = false;       // describes the crystal, not the cluster: reported after the cluster files
  bool always_listed = true;  // in the report and the echo file also when off
  // A second file written beside the first, when companion_wanted says so.
  const char* companion = nullptr;  // its suffix
  bool (*companion_wanted)(const Keywords& kw) = nullptr;
  void (*write_companion)(const WriterInput& in, Unit& unit) = nullptr;
  // For a front end's command line: the program's short name, and the form of
  // the file where one switch has several values (nullptr: one form).
  const char* option = nullptr;
  const char* form = nullptr;
};

// Every output program, in the order of the input report.
std::span<const Product> products();

// The switch asks for this file.
inline bool asked_for(const Product& p, const Keywords& kw) { return kw.*p.flag == p.value; }
// The report and the echo file show its switch.
inline bool listed(const Product& p, const Keywords& kw) { return p.always_listed || asked_for(p, kw); }
// The file name: the system name and the suffix.
inline std::string product_file(const Product& p, const std::string& system_name) { return system_name + p.suffix; }
// The companion file is asked for.
inline bool companion_asked_for(const Product& p, const Keywords& kw) {
  return p.companion != nullptr && asked_for(p, kw) && p.companion_wanted(kw);
}
inline std::string companion_file(const Product& p, const std::string& system_name) {
  return system_name + p.companion;
}

}  // namespace orbicutter
