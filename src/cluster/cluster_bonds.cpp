// Bond renumbering from the whole molecules to the cluster.
#include "cluster/cluster_bonds.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace orbicutter {
namespace {

std::uint64_t pair_key(int molecule_atom_number, int cluster_fragment_number) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(molecule_atom_number)) << 32) |
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(cluster_fragment_number));
}

// (molecular atom number, cluster fragment number) -> cluster row, the last one on
// repeats. Molecular atom numbers run over 1..nat and every fragment numbers its
// copies from 0, so a plain array of nat x (largest copy number + 1) entries costs a
// few bytes per cluster atom; pairs outside it, should there be any, are hashed.
class RowOfPair {
 public:
  RowOfPair(const std::vector<ClusterAtom>& atoms, int nat) : nat_(nat) {
    const int n = static_cast<int>(atoms.size());
    int top = -1;
    for (const ClusterAtom& a : atoms) top = std::max(top, a.copy);
    if (nat >= 1 && top >= 0 && static_cast<double>(nat) * (top + 1.0) <= 4.0 * n + 4096.0) {
      copies_ = top + 1;
      rows_.assign(static_cast<std::size_t>(nat) * static_cast<std::size_t>(copies_), absent);
    }
    for (const ClusterAtom& a : atoms) {
      const std::size_t at = slot(a.molecule_atom, a.copy);
      if (at != outside) rows_[at] = a.number;
      else other_[pair_key(a.molecule_atom, a.copy)] = a.number;
    }
  }
  // The row, or `fallback` when no cluster atom has this pair.
  int find(int m, int copy, int fallback) const {
    const std::size_t at = slot(m, copy);
    if (at != outside) return rows_[at] == absent ? fallback : rows_[at];
    const auto it = other_.find(pair_key(m, copy));
    return it == other_.end() ? fallback : it->second;
  }

 private:
  static constexpr int absent = std::numeric_limits<int>::min();
  static constexpr std::size_t outside = static_cast<std::size_t>(-1);
  std::size_t slot(int m, int copy) const {
    if (m < 1 || m > nat_ || copy < 0 || copy >= copies_) return outside;
    return static_cast<std::size_t>(copy) * static_cast<std::size_t>(nat_) + static_cast<std::size_t>(m - 1);
  }
  int nat_ = 0, copies_ = 0;
  std::vector<int> rows_;
  std::unordered_map<std::uint64_t, int> other_;
};

}  // namespace

BondLists cluster_bonds(const std::vector<ClusterAtom>& atoms, const Table<int>& bonds, int nat) {
  const int n = static_cast<int>(atoms.size());
  const RowOfPair row_of(atoms, nat);
  // The partners of every molecular atom, counted first so that the lists take
  // their room once.
  const int width = std::min(nat, bonds.cols());
  std::vector<int> count(static_cast<std::size_t>(bonds.rows()) + 1, 0);
  for (int m = 1; m <= bonds.rows(); ++m)
    for (int j = 1; j <= width; ++j)
      if (bonds(m, j) != 0) ++count[static_cast<std::size_t>(m)];
  std::size_t total = 0;
  for (const ClusterAtom& a : atoms) {
    const int m = a.molecule_atom;
    if (m >= 1 && m <= bonds.rows()) total += static_cast<std::size_t>(count[static_cast<std::size_t>(m)]);
  }
  BondLists lists;
  lists.first.reserve(static_cast<std::size_t>(n) + 1);
  lists.partners.reserve(total);
  for (const ClusterAtom& a : atoms) {
    const int m = a.molecule_atom;
    if (m >= 1 && m <= bonds.rows())
      for (int j = 1; j <= width; ++j) {
        const int v = bonds(m, j);
        if (v != 0) lists.add(row_of.find(v, a.copy, v));
      }
    lists.end_row();
  }
  return lists;
}

}  // namespace orbicutter
