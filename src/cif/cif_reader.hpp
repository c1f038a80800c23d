// What the converter takes from a CIF: the data blocks that hold atom sites,
// as plain values (the only place that parses CIF syntax).
#pragma once

#include <string>
#include <vector>

namespace orbicutter::cif {

// Disorder groups are small numbers (-1 for a site disordered about a
// special position); one beyond this is refused rather than wrapped.
constexpr long long max_disorder_group = 999999;

// One row of the atom-site loop.
struct CifSite {
  int row = 0;              // from 1, in loop order
  std::string label;        // "" when null
  std::string type_symbol;  // "" when absent or null
  double x = 0, y = 0, z = 0;  // NaN when unknown or not a number
  double occupancy = 1;
  std::string calc_flag;          // "" when absent
  std::string disorder_assembly;  // "" when absent or null
  int disorder_group = 0;         // 0 when absent or null
};

struct CifBlock {
  std::string name;
  // Cell items as written ("" when absent), in the order a b c alpha beta gamma.
  std::vector<std::string> cell_text;
  std::vector<double> cell;  // the numbers, NaN when absent or not numbers
  int cell_loop_rows = 0;    // rows of the loop that holds cell items, 0 when none
  std::vector<std::string> operators;  // operator list in file order
  std::string operators_tag;
  std::string hall, hermann_mauguin, number;  // "" when absent or null
  std::string formula_sum, formula_moiety, z;
  std::vector<CifSite> sites;
  // Why the sites have no usable coordinates ("" when they have): a fractional
  // column missing, or Cartesian columns only.
  std::string coordinates_problem;
};

// The blocks with atom sites, in file order. Throws ConversionError for a file
// that cannot be read, is not a CIF or has a syntax error.
std::vector<CifBlock> read_cif(const std::string& path);

}  // namespace orbicutter::cif
