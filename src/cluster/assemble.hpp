// The steps of cluster building that fill the cluster tables, apart from the log.
#pragma once

#include <cstdint>
#include <vector>

#include "model/run.hpp"

namespace orbicutter {

// Mean fractional position of the atoms of fragment 1 (or geomcentfix with GECR).
Vec3 cluster_centre(const Run& run);
// Largest distance from geomcent to an atom of fragment 1; 0 without atoms.
real central_radius(const Run& run);

// Limits above which a cluster is refused before it is built. A cluster of two
// million atoms already makes output files of hundreds of megabytes.
inline constexpr double max_cluster_atoms = 2.0e6;
// Symmetry images tried: atoms x operators x (2 ncells + 1)^3.
inline constexpr double max_trial_positions = 1.0e9;
// Entries of the cluster bond lists, estimated as cluster atoms x nat (no atom has
// more than nat - 1 partners), 4 bytes each.
inline constexpr double max_bond_entries = 5.0e8;
// The atom counts of the log and of the XYZ file are six-column fields: a cluster
// that outgrows them stops as soon as it does.
inline constexpr int max_cluster_rows = 999999;
// A cell so flat that the distance test cannot tell close atoms from far ones in
// the program's precision leaves the coincidence test without its index: beyond
// this estimate the all-pairs comparison would take minutes.
inline constexpr double max_unindexed_atoms = 2.0e4;
// Largest dmax / shortest cell edge for which ncells is computed at all.
inline constexpr double max_cell_ratio = 1.0e5;

struct ClusterSize {
  double atoms = 0;      // estimated cluster atoms
  double trials = 0;     // symmetry images the search computes
  double bonds = 0;      // estimated cbonds entries
};
// Upper estimate: the atoms of nsym copies of every molecule per cell, over a
// sphere of radius dmax + the central reach + the largest molecular radius.
ClusterSize estimate_cluster_size(const Run& run, real radius);
// Stops with an error box when the estimate passes one of the limits above.
void check_cluster_size(const Run& run, real radius);

// The building proper: the central molecule, the stored and moved
// copies of every fragment, numbering, nmol and the cluster bond lists.
// `radius` is the central radius (used by building method 2). A cluster that
// passes `max_rows` atoms stops the run.
void assemble_cluster(Run& run, real radius, int max_rows = max_cluster_rows);

// Test mode, after the test molecule is written: the warning box that ends the
// run, in the log and on standard output.
void test_molecule_warning(Run& run);

// Cluster atoms that may lie within the coincidence tolerance of a position.
// Positions are bucketed by Cartesian-like coordinates y = R f, where R is the
// Cholesky factor of the metric tensor, so |y(p) - y(q)| is the metric distance
// of p and q. Buckets are far wider than the tolerance and a query looks into
// every bucket within a margin, so no pair closer than the tolerance is missed;
// the caller still applies the exact distance test to each row offered. In a
// nearly flat cell the margin must also cover the rounding of that test; a cell
// too flat for any margin is searched one row at a time (hashed() is false).
class CoincidenceIndex {
 public:
  explicit CoincidenceIndex(const Mat3& g);
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
