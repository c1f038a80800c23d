// The distinct symmetry images of the cluster as five-digit ORTEP codes.
#include <array>
#include <set>
#include <vector>

#include "format/log_forms.hpp"
#include "cluster/cluster.hpp"

namespace orbicutter {

void ortep(Run& run) {
  auto& log = run.sink.log;
  const auto& at = run.at;
  log.write("(A)", " ** ORTEP CODES **");
  log.write("(A)", rule_line);

  // (operation, translation a, b, c) in order of first appearance.
  std::vector<std::array<int, 4>> images;
  std::set<std::array<int, 4>> seen;
  for (int i = 1; i <= run.gv.ncluster; ++i) {
    const std::array<int, 4> q{at.cinfo(i, symmetry_operation), at.cinfo(i, translation_a), at.cinfo(i, translation_b),
                               at.cinfo(i, translation_c)};
    if (!images.empty() && images.back() == q) continue;
    if (seen.insert(q).second) images.push_back(q);
  }

  log.put("(A)", " ");
  const std::size_t n = images.size();
  for (std::size_t f = 1; f <= n; ++f) {
    const auto& q = images[f - 1];
    log.put("(5I1,A2)", q[1] + 5, q[2] + 5, q[3] + 5, 0, q[0], "  ");
    if (f % 8 == 0 && f < n) {
      log.write("(A)", "");
      log.put("(A1)", " ");
    }
  }
  log.write("(A1)", " ");
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
