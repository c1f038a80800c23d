// Periodic neighbour search of the fragment phases: the lattice translations that
// can bring one point within reach of another, and an index of points by where
// they lie in their cells. (The cluster's coincidence test, without translations,
// uses spatial_index.)
#pragma once

#include <cstdint>
#include <vector>

#include "model/run.hpp"

namespace orbicutter {

// The lattice translations (each component in -ncells..ncells) that can bring
// base + t within `reach` angstrom of a target. The bound uses the reciprocal
// cell, |dx(i)| <= |a*(i)| |dr|, so no translation whose image could pass the
// exact distance test is left out; the screening margin covers rounding.
class TranslationWindow {
 public:
  TranslationWindow(const Mat3& g, int ncells, real reach);
  // Ranges lo..hi per axis; false when one is empty.
  bool range(const Vec3& base, const Vec3& target, int lo[3], int hi[3]) const;
  int ncells() const { return ncells_; }
  // False when every translation has to be tried (a degenerate cell).
  bool prunes() const { return prune_; }
  // Half the width of the window along axis i (0-based), in cell edges.
  double half_width(int i) const { return half_width_[i]; }

 private:
  double half_width_[3] = {0, 0, 0};
  bool prune_ = false;
  int ncells_ = 0;
};

// Points (atoms, or untranslated images) filed by position, so that the points
// some translation of the window can join with a given point are found without
// looking at all of them: by boxes of a few cells, and within a box by where
// the point lies inside its own cell (the window only reaches points near a
// lattice translate). A point whose box cannot be named (not finite, or very
// far out) is offered to every query, and a query whose boxes cannot be named
// is offered every point: the caller's exact window test decides.
class WindowIndex {
 public:
  explicit WindowIndex(const TranslationWindow& window);
  void insert(long long id, const Vec3& x);
  // Every id whose point can lie in range(c, point) or range(point, c), and
  // more; in no particular order.
  void near(const Vec3& c, std::vector<long long>& ids) const;

 private:
  static constexpr long long limit_ = 1LL << 20;
  bool box_of(const double x[3], long long b[3]) const;
  int slot_of(const double x[3]) const;
  static std::uint64_t key(const long long b[3]);

  double width_[3] = {1, 1, 1};  // box edge per axis, also the reach of a query
  double reach_[3] = {0, 0, 0};  // half width of the window per axis
  int slices_[3] = {1, 1, 1};    // divisions of the cell edge per axis
  int slots_ = 1;                // per box: slices_[0] * slices_[1] * slices_[2]
  bool usable_ = false;
  int find_box(std::uint64_t key) const;
  int add_box(std::uint64_t key);
  // Open addressing on the box keys (never 0): key and box number per place.
  std::vector<std::uint64_t> keys_;
  std::vector<int> box_;
  int boxes_ = 0;
  static constexpr int sort_from_ = 24;  // points a box holds before it is sorted by slot
  std::vector<int> list_;                // per box: first entry while unsorted, or -1
  std::vector<int> count_;               // per box: entries while unsorted
  std::vector<int> sorted_;              // per box: its first head in head_, or -1 while unsorted
  std::vector<int> head_;                // per sorted box and slot: first entry, or -1
  std::vector<int> next_;                // per entry: next entry in its list, or -1
  std::vector<int> slot_;                // per entry
  std::vector<long long> id_;            // per entry
  std::vector<long long> loose_;
};

// Cells either way (at least `at_least`) that a lattice translation needs, so
// that the window reaches from any of `bases` to any of `targets`: the window
// follows the extent of a molecule instead of a fixed count of cells. Capped at
// max_window_cells, beyond which no molecular crystal reaches.
inline constexpr int max_window_cells = 24;
int cells_to_reach(const Mat3& g, real reach, const std::vector<Vec3>& bases, const std::vector<Vec3>& targets,
                   int at_least);

}  // namespace orbicutter
