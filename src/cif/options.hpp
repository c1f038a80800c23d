// Command line of orbicutter-cif.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cif/outputs.hpp"

namespace orbicutter::cif {

struct Options {
  std::string cif_path;
  std::string output;  // empty: the CIF's name with .inp, in the current folder; "-": standard output
  std::string block;
  bool list = false, run = false, check = false, help = false, version = false;

  // Keywords of the generated input.
  double dmax = 8.0;
  int method = 0;  // CLUS value; 0 leaves the program's default
  bool dimers = false;
  OutputChoice outputs = default_outputs();
  bool rings = false, no_xh = false, test = false;
  std::optional<std::pair<double, int>> nics;
  std::optional<std::vector<double>> tols;
  std::optional<double> mtol;  // metal bond tolerance (MTOL); the converter's default when absent
  std::optional<int> verbose;
  std::vector<std::string> keywords;

  // The central molecule: "largest", a CIF label of one of its atoms, or its formula.
  std::string centre = "largest";
  // Atomic charges: "none", "xtb", or a file of "label charge" lines.
  std::string charges = "none";
  std::vector<std::pair<std::string, int>> molecule_charges;  // --molecule-charge FORMULA=Q
  std::string run_folder;  // -d: the folder of a --run; empty: NAME/ beside the CIF

  // Site rules.
  std::optional<int> disorder_group;
  double min_occupancy = 0.5;
  std::vector<std::string> drop;
};

// Reads argv[1..]; throws ConversionError on a bad command line.
Options parse_command_line(const std::vector<std::string>& args);

std::string help_text();

}  // namespace orbicutter::cif
