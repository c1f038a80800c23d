// The cluster as the cluster stage returns it: every atom of the whole molecules
// around the central one, with named fields, their bonds and the molecules.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "model/name3.hpp"
#include "model/run.hpp"

namespace orbicutter {

// Bonded partners of each row of a table, one short list per row: the partners
// of row i (from 1) are partners[first[i - 1]] .. partners[first[i] - 1].
struct BondLists {
  std::vector<std::size_t> first{0};
  std::vector<int> partners;
  int rows() const { return static_cast<int>(first.size()) - 1; }
  std::span<const int> of(int i) const {
    const auto at = static_cast<std::size_t>(i);
    return {partners.data() + first[at - 1], first[at] - first[at - 1]};
  }
  void clear() {
    first.assign(1, 0);
    partners.clear();
  }
  // Rows are added in order: their partners, then the end of the row.
  void add(int partner) { partners.push_back(partner); }
  void end_row() { first.push_back(partners.size()); }
};

// One atom of the cluster.
struct ClusterAtom {
  Name3 element;
  Name3 label;
  int input_atom = 0;     // its number in the input list; an image keeps its source's
  int fragment_atom = 0;  // its number within its fragment
  int fragment = 0;       // the fragment that holds it
  int operation = 0;      // the operator that produced this copy of the molecule
  int cell[3] = {0, 0, 0};  // whole-cell translation along a, b, c
  int molecule_atom = 0;  // its row among the atoms of the whole molecules
  int copy = 0;           // the molecule's number among the copies of its fragment in the cluster
  int number = 0;         // its number in the cluster
  Vec3 position;          // fractional
  real charge = 0;        // the input charge of its atom (0 without charges)
};

struct ClusterModel {
  std::vector<ClusterAtom> atoms;  // central molecule first, then molecule by molecule
  BondLists bonds;                 // bonded cluster atoms of each atom
  std::vector<int> molecule_first; // the first atom (from 1) of each molecule
  int central_atoms = 0;           // atoms of the central molecule (fragment 1)
  int cells = 0;                   // cells searched either way along each axis
  Vec3 centre;                     // fractional
  Vec3 centre_cartesian;           // the same in angstrom

  int size() const { return static_cast<int>(atoms.size()); }
  int molecules() const { return static_cast<int>(molecule_first.size()); }
  // Atom i, from 1.
  const ClusterAtom& atom(int i) const { return atoms[static_cast<std::size_t>(i - 1)]; }
  // The molecule (from 1) that holds atom i.
  int molecule_of(int i) const {
    return static_cast<int>(std::upper_bound(molecule_first.begin(), molecule_first.end(), i) - molecule_first.begin());
  }
};

// Atom i opens a molecule: the first atom, or a change of the pair (fragment,
// copy). With the copy number alone, copies of different fragments could merge.
inline bool starts_molecule(const std::vector<ClusterAtom>& atoms, int i) {
  if (i == 1) return true;
  const ClusterAtom& a = atoms[static_cast<std::size_t>(i - 1)];
  const ClusterAtom& b = atoms[static_cast<std::size_t>(i - 2)];
  return a.fragment != b.fragment || a.copy != b.copy;
}

// A dimer of the central molecule: a partner molecule of the cluster that
// touches it, representing every partner at the same centroid distance.
struct DimerEntry {
  int number = 0;        // the partner's number among the cluster molecules after the central one
  int first = 0;         // its first atom in the cluster
  int atoms = 0;         // its number of atoms
  int multiplicity = 0;  // partners at the same centroid distance, itself included (NDIM)
  real distance = 0;     // centroid distance from the cluster centre, angstrom
};

}  // namespace orbicutter
