// The searches behind the fragment phases, open to tests and benchmarks.
#pragma once

#include <queue>
#include <tuple>
#include <utility>
#include <vector>

#include "fragments/bond_rules.hpp"
#include "model/run.hpp"

namespace orbicutter {

// For every input atom j (1-based; entry 0 unused), the input atoms m, ascending,
// one of whose symmetry images (operators 1..nsym, any lattice translation that
// can bring it within reach) lies within bonding distance of j as given.
std::vector<std::vector<int>> image_bonds(const Run& run);

// Where the search puts a collected atom: at its input position (s = 0), or
// at its image under operator s and translation t, bonded to the atoms
// already placed, so that a fragment is one connected molecule.
struct Placement {
  int s = 0;
  int t[3] = {0, 0, 0};
  Vec3 p;
};

// The input atoms in the order the fragment search collects them, and the
// fragment each one joins. The search restarts from the first collected atom
// after every addition; since an atom that has no unassigned bonded partner
// never gets one again, that order is a breadth-first walk that takes each
// atom's partners in input order.
struct FragmentOrder {
  std::vector<int> atom;      // input atom numbers, in collected order
  std::vector<int> fragment;  // fragment number of each collected atom
  std::vector<Placement> place;  // position of each collected atom
  int nfrag = 0;
};
FragmentOrder fragment_order(const Run& run);

// One atom added by completion: image of molecule atom k (1-based) under
// operator s and translation t, bonded to molecule atom m.
struct Addition {
  int k = 0, s = 0;
  int t[3] = {0, 0, 0};  // translation along a, b, c
  Vec3 p;
  int m = 0;
  real distance = 0, threshold = 0;
};

// Completion of one molecule by bonded symmetry images. Additions come in the
// order of a scan (atom k, operator s, translations tz, ty, tx with tx
// innermost) that restarts from the first atom after every addition, without
// rescanning: images scanned before the last addition can only become new
// candidates by bonding with the new atom, or be cut off by it, and both are
// found from the new atom's side among the images filed near it.
class Completion {
 public:
  // Translations -ncells..ncells along each axis.
  Completion(const Run& run, const std::vector<Vec3>& positions, const std::vector<std::string>& symbols, int ncells);
  // The next addition (already taken into the molecule); false when none is left.
  bool next(Addition& a);
  int size() const { return static_cast<int>(pos_.size()); }
  // Cells either way that the molecule as it now stands needs, so that no
  // bonded image lies beyond the window.
  int cells_needed() const;

 private:
  struct Pending {
    long long group;
    int t;
    int m;
    bool operator>(const Pending& o) const { return std::tie(group, t, m) > std::tie(o.group, o.t, o.m); }
  };
  Vec3 base(int k, int s) const;
  Vec3 group_base(long long group) const;
  Vec3 at_translation(const Vec3& q, int t) const;
  int translation_index(int tx, int ty, int tz) const;
  bool scan_group(long long group, Addition& a);
  bool scan_positions(long long group, const Vec3& q, Addition& a);
  void take(long long group, int t, int m, Addition& a);

  const Run& run_;
  BondRules rules_;
  TranslationWindow window_;
  std::vector<Vec3> pos_;
  int nsym_, nc_, width_;
  long long scanned_ = 0;             // groups (k, s) scanned so far
  std::vector<int> dead_from_;        // per scanned group: first translation cut off by a coincidence
  WindowIndex atoms_;                 // molecule atoms (numbered from 0) by position
  WindowIndex groups_;                // scanned groups by the position of their untranslated image
  long long scanning_ = -1;           // the group being scanned, not yet filed
  std::vector<long long> found_;      // scratch for the index queries
  std::vector<std::pair<int, int>> near_;  // scratch: (translation, atom from 0) of a group
  // Positions waiting to be added. A position bonded with several new atoms
  // waits once for each; taking it cuts it off, so only the first entry counts.
  std::priority_queue<Pending, std::vector<Pending>, std::greater<>> pending_;
};

}  // namespace orbicutter
