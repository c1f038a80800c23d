// The buckets of the spatial index: a hash of cells of a few angstrom in a
// Cartesian-like frame of the metric.
#include "geometry/spatial_index.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orbicutter {
namespace {

// Bucket edge of the index, in angstrom: a bucket of a molecular
// crystal holds a few atoms, so the bucket table stays small.
constexpr double bucket_edge = 4.0;
// Coordinates beyond this are kept outside the buckets (and checked one by one).
constexpr double bucket_reach = 262144.0 * bucket_edge - 1.0;

// The bucket along one axis: floor(y / edge), without a library call; |y| stays
// below bucket_reach.
std::int64_t bucket_of(double y) {
  const double t = y / bucket_edge;
  auto b = static_cast<std::int64_t>(t);
  if (static_cast<double>(b) > t) --b;
  return b;
}

}  // namespace

SpatialIndex::SpatialIndex(const Mat3& g) {
  const double g11 = g(1, 1), g12 = g(1, 2), g13 = g(1, 3), g22 = g(2, 2), g23 = g(2, 3), g33 = g(3, 3);
  r11_ = std::sqrt(g11);
  r12_ = g12 / r11_;
  r13_ = g13 / r11_;
  r22_ = std::sqrt(g22 - r12_ * r12_);
  r23_ = (g23 - r12_ * r13_) / r22_;
  r33_ = std::sqrt(g33 - r13_ * r13_ - r23_ * r23_);
  usable_ = std::isfinite(r11_) && std::isfinite(r12_) && std::isfinite(r13_) && std::isfinite(r22_) &&
            std::isfinite(r23_) && std::isfinite(r33_) && r11_ > 0 && r22_ > 0 && r33_ > 0;
  if (!usable_) return;
  // The distance test works in the program's precision: d.(g d) is off the exact
  // form by at most `rounding` |d|^2 (d a fractional difference). In a nearly flat
  // cell that is not small beside the smallest eigenvalue of g, `lowest`, so a
  // computed distance below the tolerance could belong to a pair far apart. Where
  // lowest > rounding it cannot: |d|^2 < tolerance^2 / (lowest - rounding), and the
  // metric distance of such a pair stays far inside the bucket margin.
  const double i11 = 1 / r11_, i22 = 1 / r22_, i33 = 1 / r33_;
  const double i12 = -r12_ * i11 * i22, i23 = -r23_ * i22 * i33, i13 = (r12_ * r23_ - r13_ * r22_) * i11 * i22 * i33;
  const double lowest = 1 / (i11 * i11 + i22 * i22 + i33 * i33 + i12 * i12 + i23 * i23 + i13 * i13);
  const double norm = std::max({std::fabs(g11) + std::fabs(g12) + std::fabs(g13),
                                std::fabs(g12) + std::fabs(g22) + std::fabs(g23),
                                std::fabs(g13) + std::fabs(g23) + std::fabs(g33)});
  const double rounding = 32 * static_cast<double>(std::numeric_limits<real>::epsilon()) * norm;
  const double tol2 = 1.01 * static_cast<double>(tiny) * static_cast<double>(tiny);
  const double spare = lowest - rounding;
  const double reach2 = tol2 + rounding * tol2 / spare;
  usable_ = spare > 0 && std::isfinite(reach2) && reach2 < 0.25 * coincidence_margin * coincidence_margin;
}

std::uint64_t SpatialIndex::pack(std::int64_t i, std::int64_t j, std::int64_t k) {
  constexpr std::int64_t off = std::int64_t{1} << 20;
  return (static_cast<std::uint64_t>(i + off) << 42) | (static_cast<std::uint64_t>(j + off) << 21) |
         static_cast<std::uint64_t>(k + off);
}

bool SpatialIndex::keys(const Vec3& p, double margin, std::int64_t lo[3], std::int64_t hi[3]) const {
  const double f1 = p(1), f2 = p(2), f3 = p(3);
  const double y[3] = {r11_ * f1 + r12_ * f2 + r13_ * f3, r22_ * f2 + r23_ * f3, r33_ * f3};
  for (int d = 0; d < 3; ++d) {
    if (!(std::fabs(y[d]) < bucket_reach)) return false;
    lo[d] = bucket_of(y[d] - margin);
    hi[d] = bucket_of(y[d] + margin);
  }
  return true;
}

void SpatialIndex::insert(int row, const Vec3& p) {
  count_ = row;
  next_.resize(static_cast<std::size_t>(row) + 1, 0);
  std::int64_t lo[3], hi[3];
  if (!usable_) return;
  if (!keys(p, coincidence_margin, lo, hi)) {
    loose_.push_back(row);
    return;
  }
  // The bucket of p itself: the middle of its widened range.
  const double f1 = p(1), f2 = p(2), f3 = p(3);
  const double y[3] = {r11_ * f1 + r12_ * f2 + r13_ * f3, r22_ * f2 + r23_ * f3, r33_ * f3};
  std::int64_t b[3];
  for (int d = 0; d < 3; ++d) b[d] = bucket_of(y[d]);
  Slot& s = slot(pack(b[0], b[1], b[2]));
  next_[static_cast<std::size_t>(row)] = s.row;
  s.row = row;
}

SpatialIndex::Slot& SpatialIndex::slot(std::uint64_t key) {
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old(2 * slots_.size());
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& o : old)
      if (o.key != 0)
        for (std::size_t s = mix(o.key) & mask_;; s = (s + 1) & mask_)
          if (slots_[s].key == 0) {
            slots_[s] = o;
            break;
          }
  }
  std::size_t s = mix(key) & mask_;
  while (slots_[s].key != 0 && slots_[s].key != key) s = (s + 1) & mask_;
  if (slots_[s].key == 0) {
    slots_[s].key = key;
    ++used_;
  }
  return slots_[s];
}

}  // namespace orbicutter
