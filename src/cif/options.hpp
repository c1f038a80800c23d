// Command line of orbicutter-cif.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orbicutter::cif {

struct Options {
  std::string cif_path;
  std::string output;  // empty: the CIF's name with .inp, in the current folder; "-": standard output
  std::string block;
  bool list = false, run = false, check = false, help = false, version = false;

  // Keywords of the generated input.
  double dmax = 8.0;
  int method = 0;  // CLUS value; 0 leaves the program's default
  bool dimers = false, res = false, d12 = false, gjf = false, adf = false;
  bool xyz = true, rings = false, no_xh = false, test = false;
  std::optional<std::pair<double, int>> nics;
  std::optional<std::vector<double>> tols;
  std::optional<double> mtol;  // metal bond tolerance (MTOL); the converter's default when absent
  std::optional<int> verbose;
  std::vector<std::string> keywords;

  // Site rules.
  std::optional<int> disorder_group;
  double min_occupancy = 0.5;
  std::vector<std::string> drop;
};

// Reads argv[1..]; throws ConversionError on a bad command line.
Options parse_command_line(const std::vector<std::string>& args);

std::string help_text();

}  // namespace orbicutter::cif
