// The size of a cluster estimated before it is built.
#include "cluster/cluster_size.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "cluster/centre.hpp"
#include "geometry/geometry.hpp"
#include "geometry/spatial_index.hpp"
#include "model/stop.hpp"

namespace orbicutter {

int cells_to_search(const Geometry& geo) {
  const real ratio = geo.dmax / std::min({geo.a, geo.b, geo.c});
  if (std::isnan(ratio)) return 2;
  if (static_cast<double>(ratio) > max_cell_ratio) fail({" --> Cluster too large: reduce DMAX <--"});
  // A negative DMAX takes nothing in; the cell loops are then empty.
  if (static_cast<double>(ratio) < -max_cell_ratio) return -static_cast<int>(max_cell_ratio);
  return static_cast<int>(std::lround(ratio)) + 2;
}

ClusterSize estimate_cluster_size(const Run& run, int cells, real radius) {
  const auto& geo = run.geo;
  const int nat = run.gv.nat;
  // Largest distance of an atom from the centre of its own molecule.
  double extent = 0;
  for (int f = 1; f <= run.gv.nfrag; ++f) {
    const Vec3 c = fragment_centre(run, f);
    for (int i = 1; i <= nat; ++i)
      if (run.at.allinfo(i, fragment_number) == f)
        extent = std::max(extent, static_cast<double>(calcdist(run, c, row3(run.at.allgeom, i))));
  }
  const double reach = run.kw.kbuild == 2 || run.kw.kbuild == 3 ? static_cast<double>(radius) : 0.0;
  const double r = std::max(0.0, static_cast<double>(geo.dmax) + reach + extent);
  const double volume = std::fabs(static_cast<double>(geo.mt(1, 1)) * geo.mt(2, 2) * geo.mt(3, 3));
  const double sphere = 4.0 / 3.0 * std::numbers::pi * r * r * r;
  ClusterSize size;
  const double per_cell = static_cast<double>(nat) * std::max(run.gv.nsym, 1);
  size.atoms = volume > 0 ? per_cell * sphere / volume : std::numeric_limits<double>::infinity();
  if (std::isnan(size.atoms)) size.atoms = 0;
  const double side = cells >= 0 ? 2.0 * cells + 1.0 : 0.0;
  size.trials = static_cast<double>(nat) * run.gv.nsym * side * side * side;
  size.bonds = size.atoms * nat;
  return size;
}

void check_cluster_size(const Run& run, int cells, real radius) {
  const ClusterSize size = estimate_cluster_size(run, cells, radius);
  if (size.atoms > max_cluster_atoms || size.trials > max_trial_positions || size.bonds > max_bond_entries)
    fail({" --> Cluster too large: reduce DMAX <--"});
  // Without the index every copy is compared with every cluster atom.
  if (size.atoms > max_unindexed_atoms && !SpatialIndex(run.geo.g).hashed())
    fail({" --> Cell too flat to tell atoms apart in a large cluster <--", " --> check CELL, or reduce DMAX <--"});
}

}  // namespace orbicutter
