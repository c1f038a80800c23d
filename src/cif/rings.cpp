// Ring finding on the bond lists of the rebuilt molecules: the shortest cycle through each
// bond, up to 8 atoms. The program gathers a ring's atoms as the rows whose
// atom number is listed, first ones first; a ring through symmetry images
// shares numbers with its source atoms, so only rings that this gathering
// finds again are listed, and of symmetry copies only the first.
#include "cif/rings.hpp"

#include <algorithm>
#include <deque>
#include <set>

namespace orbicutter::cif {
namespace {

constexpr std::size_t largest_ring = 8;

// Rows (from 0) of the shortest path from u to v that does not use the bond
// u-v, empty when it is longer than a ring may be.
std::vector<int> shortest_cycle(const std::vector<std::vector<int>>& bonded, int u, int v) {
  std::vector<int> from(bonded.size(), -1);
  std::vector<std::size_t> depth(bonded.size(), 0);
  std::deque<int> queue{u};
  from[static_cast<std::size_t>(u)] = u;
  while (!queue.empty()) {
    const int a = queue.front();
    queue.pop_front();
    if (depth[static_cast<std::size_t>(a)] + 1 >= largest_ring) continue;
    for (int b : bonded[static_cast<std::size_t>(a)]) {
      if ((a == u && b == v) || from[static_cast<std::size_t>(b)] != -1) continue;
      from[static_cast<std::size_t>(b)] = a;
      depth[static_cast<std::size_t>(b)] = depth[static_cast<std::size_t>(a)] + 1;
      if (b == v) {
        std::vector<int> path{v};
        while (path.back() != u) path.push_back(from[static_cast<std::size_t>(path.back())]);
        return path;
      }
      queue.push_back(b);
    }
  }
  return {};
}

}  // namespace

RingList ring_list(const orbicutter::Molecules& molecules) {
  const std::vector<orbicutter::Atom>& atoms = molecules.atoms;
  std::vector<std::vector<int>> bonded(atoms.size());
  for (std::size_t i = 0; i < atoms.size() && i < molecules.bonds.size(); ++i)
    for (int row : molecules.bonds[i])
      if (row >= 0 && static_cast<std::size_t>(row) < atoms.size()) bonded[i].push_back(row);
  std::set<std::vector<int>> seen_rows, seen_numbers;
  RingList rings;
  for (std::size_t u = 0; u < atoms.size(); ++u)
    for (int v : bonded[u]) {
      if (static_cast<std::size_t>(v) < u) continue;
      std::vector<int> cycle = shortest_cycle(bonded, static_cast<int>(u), v);
      if (cycle.size() < 3) continue;
      std::vector<int> rows = cycle;
      std::sort(rows.begin(), rows.end());
      if (!seen_rows.insert(rows).second) continue;
      std::vector<int> numbers;
      for (int r : cycle) numbers.push_back(atoms[static_cast<std::size_t>(r)].input_atom);
      std::vector<int> key = numbers;
      std::sort(key.begin(), key.end());
      if (!seen_numbers.insert(key).second) continue;  // a symmetry copy
      std::vector<int> gathered;
      for (std::size_t r = 0; r < atoms.size() && gathered.size() < numbers.size(); ++r)
        if (std::binary_search(key.begin(), key.end(), atoms[r].input_atom)) gathered.push_back(static_cast<int>(r));
      if (gathered != rows) continue;
      rings.push_back(numbers);
    }
  return rings;
}

}  // namespace orbicutter::cif
