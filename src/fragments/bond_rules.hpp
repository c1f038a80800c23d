// What the fragment phases need to decide quickly, and exactly as the bond test
// reads, whether two atoms are bonded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/lattice_window.hpp"
#include "model/run.hpp"

namespace orbicutter {

// Covalent radii and excluded element pairs of a set of atoms, looked up once.
// Atoms are numbered from 0 here.
class BondRules {
 public:
  explicit BondRules(const Run& run) : run_(&run), metal_tolerance_(run.kw.kmtol == 1) {}
  // Adds an atom of the given element; returns its number.
  int add(const std::string& symbol);
  // A copy of atom i's element (an image of it).
  int add_like(int i);
  int size() const { return static_cast<int>(radius_.size()); }

  real radius(int i) const { return radius_[static_cast<std::size_t>(i)]; }
  // Sum of the two covalent radii plus tol1, in the order of the bond test; a
  // pair with a metal takes the metal tolerance instead when MTOL is given.
  real threshold(int i, int j) const {
    const bool coordination = metal_tolerance_ && (metal_[static_cast<std::size_t>(i)] || metal_[static_cast<std::size_t>(j)]);
    return (radius(i) + radius(j)) + (coordination ? run_->gv.mtol : run_->gv.tol1);
  }
  // The pair of elements is listed under EXBD (and kexbd is 1): never bonded.
  bool excluded(int i, int j) const;
  // The longest bond any two atoms of the set can form (tol1 included).
  real longest_bond() const;

 private:
  const Run* run_;
  bool metal_tolerance_ = false;
  std::vector<real> radius_;
  std::vector<char> metal_;              // per atom: a metal, bonded with the metal tolerance
  std::vector<int> element_;             // per atom: index into symbols_
  std::vector<std::string> symbols_;     // distinct element symbols, 3 characters
  std::vector<std::vector<char>> pair_;  // excluded pairs of distinct elements
};

// Excluded pair of two 3-character element texts, compared exactly.
bool excluded_elements(const Run& run, const std::string& e1, const std::string& e2);

}  // namespace orbicutter
