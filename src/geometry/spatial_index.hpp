// Neighbour search over fractional positions through the cell metric.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/run.hpp"

namespace orbicutter {

// Rows (atoms, numbered 1, 2, 3, ...) that may lie within a small distance of a
// position: the coincidence test of the cluster and its close-contact check.
// Positions are bucketed by Cartesian-like coordinates y = R f, where R is the
// Cholesky factor of the metric tensor, so |y(p) - y(q)| is the metric distance
// of p and q. Buckets are far wider than the tolerance and a query looks into
// every bucket within a margin, so no pair closer than the tolerance is missed;
// the caller still applies the exact distance test to each row offered. In a
// nearly flat cell the margin must also cover the rounding of that test; a cell
// too flat for any margin is searched one row at a time (hashed() is false).
class SpatialIndex {
 public:
  explicit SpatialIndex(const Mat3& g);
  // Rows must be added as 1, 2, 3, ...
  void insert(int row, const Vec3& p);
  // Room for `rows` rows.
  void reserve(int rows) { next_.reserve(static_cast<std::size_t>(rows < 0 ? 0 : rows) + 1); }
  // True when test(row) holds for some row offered as a neighbour of p.
  template <class Test>
  bool any(const Vec3& p, Test&& test) const {
    return any_within(p, coincidence_margin, test);
  }
  // The same over every row that may lie within `margin` angstrom of p (a
  // margin up to the bucket edge of 4 angstrom).
  template <class Test>
  bool any_within(const Vec3& p, double margin, Test&& test) const {
    std::int64_t lo[3], hi[3];
    if (!usable_ || !keys(p, margin, lo, hi)) {
      for (int r = 1; r <= count_; ++r)
        if (test(r)) return true;
      return false;
    }
    for (int r : loose_)
      if (test(r)) return true;
    for (std::int64_t i = lo[0]; i <= hi[0]; ++i)
      for (std::int64_t j = lo[1]; j <= hi[1]; ++j)
        for (std::int64_t k = lo[2]; k <= hi[2]; ++k) {
          for (int r = head(pack(i, j, k)); r != 0; r = next_[static_cast<std::size_t>(r)])
            if (test(r)) return true;
        }
    return false;
  }
  bool hashed() const { return usable_; }

 private:
  // Bucket keys are never 0, which marks an empty slot.
  struct Slot {
    std::uint64_t key = 0;
    int row = 0;  // the last row added to the bucket
  };
  // Every key bit reaches the low bits that pick the slot.
  static std::size_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return static_cast<std::size_t>(x);
  }
  // The last row of a bucket, 0 when it is empty.
  int head(std::uint64_t key) const {
    for (std::size_t s = mix(key) & mask_;; s = (s + 1) & mask_) {
      if (slots_[s].key == key) return slots_[s].row;
      if (slots_[s].key == 0) return 0;
    }
  }
  Slot& slot(std::uint64_t key);
  static std::uint64_t pack(std::int64_t i, std::int64_t j, std::int64_t k);
  // Bucket ranges of p widened by the margin; false when p cannot be bucketed.
  bool keys(const Vec3& p, double margin, std::int64_t lo[3], std::int64_t hi[3]) const;
  // The margin of the coincidence test, in angstrom: a thousand times its tolerance.
  static constexpr double coincidence_margin = 0.01;
  bool usable_ = false;
  double r11_ = 0, r12_ = 0, r13_ = 0, r22_ = 0, r23_ = 0, r33_ = 0;
  int count_ = 0;
  std::vector<Slot> slots_ = std::vector<Slot>(1024);  // open addressing, at most half full
  std::size_t mask_ = 1023, used_ = 0;
  std::vector<int> next_{0};                          // row -> previous row of its bucket
  std::vector<int> loose_;                            // rows that could not be bucketed
};

}  // namespace orbicutter
