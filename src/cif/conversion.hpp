// A CIF data block turned into everything the keyword input holds, with the
// record of what was dropped, moved and renamed on the way.
#pragma once

#include <string>
#include <vector>

#include "cif/cif_reader.hpp"
#include "cif/labels.hpp"
#include "cif/options.hpp"
#include "cif/sites.hpp"
#include "cif/symmetry.hpp"

namespace orbicutter::cif {

struct Conversion {
  std::string cif_path, block;
  Cell cell;
  Symmetry symmetry;
  std::string hermann_mauguin, formula_sum, formula_moiety, z;
  std::vector<Site> sites;  // kept, in CIF order (the central molecule's first)
  std::vector<double> charges;  // one per site with --charges, else empty
  std::vector<DroppedSite> dropped;
  std::vector<Renamed> renamed;
  std::vector<std::string> notes, warnings;
};

// Throws ConversionError when the block has no usable cell, symmetry or site.
Conversion convert(const std::vector<CifBlock>& blocks, const std::string& cif_path, const Options& options);

}  // namespace orbicutter::cif
