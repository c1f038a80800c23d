// Ring and group planarity by least-squares planes, and the NICS probe points
// on the normals of the planar rings.
#include <algorithm>
#include <cmath>
#include <limits>

#include "fragments/fragments.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {
namespace {

// Fit of w on u and v (axes 1..3) from the centred sums s(a, b); false when the
// points give no well-conditioned plane in this orientation.
bool fit_plane(const real s[3][3], const real mean[3], int iu, int iv, int iw, real plane[4]) {
  const real suu = s[iu][iu], svv = s[iv][iv], suv = s[iu][iv];
  const real suw = s[iu][iw], svw = s[iv][iw];
  const real k = suu * svv - suv * suv;
  const real spread = suu + svv;
  if (!(k > sp(1.0e-6f) * (spread * spread))) return false;
  const real m = (svv * suw - svw * suv) / k;
  const real l = (suu * svw - suv * suw) / k;
  if (!std::isfinite(m) || !std::isfinite(l)) return false;
  const real p = std::sqrt((m * m + l * l) + real(1));
  plane[iu] = m / p;
  plane[iv] = l / p;
  plane[iw] = real(-1) / p;
  plane[3] = ((mean[iw] - m * mean[iu]) - l * mean[iv]) / p;
  return true;
}

// Rows of the all-atom tables whose total atom number is listed in ring r, in
// ascending row order, at most as many as the ring has atoms.
int gather_ring(const Run& run, int r, Table<real>& points) {
  const auto& at = run.at;
  const int size = at.rings(r);
  const int listed = std::min(size, at.ringatoms.cols());
  points.allocate(size, 3);
  int n = 0;
  for (int i = 1; i <= run.gv.nat && n < size; ++i) {
    const int number = at.allinfo(i, total_atom);
    bool member = false;
    for (int c = 1; c <= listed && !member; ++c) member = at.ringatoms(r, c) == number;
    if (!member) continue;
    ++n;
    for (int k = 1; k <= 3; ++k) points(n, k) = at.allgeom(i, k);
  }
  return n;
}

}  // namespace

RingPlanarity ring_planarity(const Run& run) {
  const auto& gv = run.gv;
  RingPlanarity result;
  const int nrings = std::max(gv.nrings, 0);
  const int npoints = std::max(gv.nnics, 0);
  result.centres.allocate(nrings, 3);
  result.above.allocate(nrings, 3 * npoints);
  result.below.allocate(nrings, 3 * npoints);
  // Flags the input gave stay; rings beyond them start as not planar.
  result.planar = run.at.specrings;
  if (result.planar.size() < nrings) result.planar.resize(nrings, 0);

  Table<real> points;
  for (int r = 1; r <= nrings; ++r) {
    const int n = gather_ring(run, r, points);
    const PlaneFit fit = planarity(run, points, n);
    for (int k = 1; k <= 3; ++k) result.centres(r, k) = fit.centre(k);
    if (run.kw.knics == 1 && npoints > 0) {
      const Vec3 centre = fit.centre;
      const real step = gv.dnics / static_cast<real>(npoints);
      for (int p = 1; p <= npoints; ++p) {
        const real along = static_cast<real>(p) * step;
        for (int q = 1; q <= 3; ++q) {
          result.above(r, 3 * p - 3 + q) = centre(q) + along * fit.plane[q - 1];
          result.below(r, 3 * p - 3 + q) = centre(q) - along * fit.plane[q - 1];
        }
      }
    }
    if (fit.maxdev <= gv.tol2) result.planar(r) = 1;
  }
  return result;
}

Vec<int> group_planarity(const Run& run) {
  const int nat = run.gv.nat;
  const auto& at = run.at;
  Vec<int> planar;
  planar.allocate(nat, 0);
  Table<real> points;
  for (int i = 1; i <= nat; ++i) {
    int k = 0;
    for (int j = 1; j <= nat; ++j) k += at.allcont(j, i);
    if (k <= 2) continue;
    points.allocate(k + 1, 3);
    for (int q = 1; q <= 3; ++q) points(1, q) = at.allgeom(i, q);
    int row = 1;
    for (int j = 1; j <= nat && row <= k; ++j) {
      if (at.allcont(j, i) != 1) continue;
      ++row;
      for (int q = 1; q <= 3; ++q) points(row, q) = at.allgeom(j, q);
    }
    const PlaneFit fit = planarity(run, points, row);
    if (fit.maxdev <= run.gv.tol3) planar(i) = 1;
  }
  return planar;
}

PlaneFit planarity(const Run& run, Table<real>& points, int n) {
  PlaneFit fit;
  for (int i = 1; i <= n; ++i) set_row3(points, i, cartesian(run.geo.mt, row3(points, i)));

  if (n <= 0) {
    // Nothing to fit: no deviation can exceed any tolerance.
    fit.maxdev = std::numeric_limits<real>::lowest();
    fit.plane[2] = -1;
    return fit;
  }

  real mean[3] = {0, 0, 0};
  for (int i = 1; i <= n; ++i)
    for (int k = 0; k < 3; ++k) mean[k] += points(i, k + 1);
  for (int k = 0; k < 3; ++k) {
    mean[k] = mean[k] / static_cast<real>(n);
    fit.centre(k + 1) = mean[k];
  }

  real sxx = 0, syy = 0, szz = 0, sxy = 0, sxz = 0, syz = 0;
  for (int i = 1; i <= n; ++i) {
    const real dx = points(i, 1) - mean[0];
    const real dy = points(i, 2) - mean[1];
    const real dz = points(i, 3) - mean[2];
    sxx += dx * dx;
    syy += dy * dy;
    szz += dz * dz;
    sxy += dx * dy;
    sxz += dx * dz;
    syz += dy * dz;
  }
  const real s[3][3] = {{sxx, sxy, sxz}, {sxy, syy, syz}, {sxz, syz, szz}};

  // z on x and y; a plane that contains the z direction needs y on z and x, and
  // one that contains y as well, x on y and z.
  if (!fit_plane(s, mean, 0, 1, 2, fit.plane) && !fit_plane(s, mean, 2, 0, 1, fit.plane) &&
      !fit_plane(s, mean, 1, 2, 0, fit.plane)) {
    // Points on a line or all coincident: every plane through them fits exactly.
    fit.plane[0] = 0;
    fit.plane[1] = 0;
    fit.plane[2] = -1;
    fit.plane[3] = mean[2];
    fit.maxdev = 0;
    return fit;
  }

  bool any = false;
  real maxdev = 0;
  for (int i = 1; i <= n; ++i) {
    const real dev = std::abs(fit.plane[3] + ((fit.plane[0] * points(i, 1) + fit.plane[1] * points(i, 2)) +
                                              fit.plane[2] * points(i, 3)));
    if (std::isnan(dev)) continue;
    if (!any || dev > maxdev) maxdev = dev;
    any = true;
  }
  fit.maxdev = any ? maxdev : std::numeric_limits<real>::quiet_NaN();
  return fit;
}

}  // namespace orbicutter
