// What the fragment phases need to decide quickly, and exactly as the bond test
// reads, whether two atoms are bonded.
#pragma once

#include <string>
#include <vector>

#include "model/run.hpp"

namespace orbicutter {

// Covalent radii and excluded element pairs of a set of atoms, looked up once.
// Atoms are numbered from 0 here.
class BondRules {
 public:
  explicit BondRules(const Run& run) : run_(&run) {}
  // Adds an atom of the given element; returns its number.
  int add(const std::string& symbol);
  // A copy of atom i's element (an image of it).
  int add_like(int i);
  int size() const { return static_cast<int>(radius_.size()); }

  real radius(int i) const { return radius_[static_cast<std::size_t>(i)]; }
  // Sum of the two covalent radii plus tol1, in the order of the bond test.
  real threshold(int i, int j) const { return (radius(i) + radius(j)) + run_->gv.tol1; }
  // The pair of elements is listed under EXBD (and kexbd is 1): never bonded.
  bool excluded(int i, int j) const;
  // The longest bond any two atoms of the set can form (tol1 included).
  real longest_bond() const;

 private:
  const Run* run_;
  std::vector<real> radius_;
  std::vector<int> element_;             // per atom: index into symbols_
  std::vector<std::string> symbols_;     // distinct element symbols, 3 characters
  std::vector<std::vector<char>> pair_;  // excluded pairs of distinct elements
};

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

 private:
  double half_width_[3] = {0, 0, 0};
  bool prune_ = false;
  int ncells_ = 0;
};

// Excluded pair of two 3-character element texts, compared exactly.
bool excluded_elements(const Run& run, const std::string& e1, const std::string& e2);

}  // namespace orbicutter
