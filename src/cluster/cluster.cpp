// Cluster building: the centre, the size check, the builder, then the log of its result.
#include "cluster/cluster.hpp"

#include "cluster/assemble.hpp"
#include "cluster/centre.hpp"
#include "cluster/cluster.hpp"
#include "cluster/cluster_log.hpp"
#include "format/log_forms.hpp"
#include "model/stop.hpp"

namespace orbicutter {

ClusterModel cluster_body(const Run& run, Unit& log) {
  const real radius = run.kw.kbuild >= 2 ? central_radius(run) : real(0);
  const int cells = cells_to_search(run.geo);
  write_cells_searched(log, cells);
  check_cluster_size(run, cells, radius);
  ClusterModel cluster = assemble_cluster(run, cells, radius);
  write_cluster(log, cluster, run.kw.kver, run.kw.kcharge == 1);
  return cluster;
}

}  // namespace orbicutter
