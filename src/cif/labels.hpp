// Atom labels of at most 3 characters, unique, safe for the free-format reader.
#pragma once

#include <string>
#include <vector>

#include "cif/sites.hpp"

namespace orbicutter::cif {

struct Renamed {
  std::string from, to;
  int row;  // CIF loop row, to tell repeated labels apart
};

// Sets label of every site; throws ConversionError when the codes run out.
// `all_cif_labels` are avoided as new codes too (dropped sites included).
std::vector<Renamed> assign_labels(std::vector<Site>& sites, const std::vector<std::string>& all_cif_labels);

}  // namespace orbicutter::cif
