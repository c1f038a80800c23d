// What every output file is written from: the cluster, the cell and operators,
// the output switches, the system name and the ring probe points; no run.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "cluster/cluster_model.hpp"
#include "model/run.hpp"

namespace orbicutter {

// The output switches that change what a writer writes.
struct WriterOptions {
  bool charges = false;              // CHRG 1: atom charges in the files
  bool probes = false;               // NICS 1: the ring probe points as extra rows
  bool fragment_search = true;       // molecules regrouped by the fragment search (any switch value but 0)
  bool fragment_completion = false;  // molecules completed through symmetry (any switch value but 0)
};

// An atom of the whole molecules (after the fragment phases): the crystal
// template's asymmetric unit and the test molecule come from these.
struct MoleculeAtom {
  std::string element;  // as read, 3 characters
  std::string label;
  int operation = 0;         // 1 for an atom as read
  int cell[3] = {0, 0, 0};  // whole-cell translation
  Vec3 position;             // fractional
};

// Ring centres and probe points in angstrom (not centred): row r of `centres`
// is ring r; point j of ring r lies in columns 3j-2..3j of `above` and `below`.
struct ProbePoints {
  int rings = 0;
  int points = 0;
  Table<real> centres, above, below;
};

struct WriterInput {
  const ClusterModel& cluster;
  Geometry cell{};               // cell constants, orthogonalisation, operators, dmax
  int operators = 0;             // the operators in `cell`
  WriterOptions options{};
  std::string system_name{};     // every file is named from it; some files print it
  std::string crystal_system{};  // "triclinic" ... ("" when no rule applies)
  int asymmetric_atoms = 0;      // atoms of the asymmetric unit as read
  std::vector<MoleculeAtom> molecule_atoms{};
  ProbePoints probes{};

  // Cluster atom i in angstrom from the cluster centre, computed when a row is written:
  // a stored copy would cost a large cluster hundreds of fresh memory pages.
  Vec3 centred(int i) const;
  // The cluster centre in angstrom.
  const Vec3& centre() const { return cluster.centre_cartesian; }
  // The molecule of atom i, numbered from 1 in cluster order.
  int molecule(int i) const { return cluster.molecule_of(i); }
};

// The ring probe points (NICS) in file order, ring by ring: the centre "X0_r",
// then "X1_j_r" and "X2_j_r" on the two sides for point j; `probe` gets the
// label, the table of Cartesian positions, the ring and the first column.
template <class Probe>
void for_each_probe(const WriterInput& in, Probe&& probe) {
  if (!in.options.probes) return;
  const ProbePoints& p = in.probes;
  const int nrings = std::min(p.rings, p.centres.rows());
  for (int r = 1; r <= nrings; ++r) {
    const std::string ring = digits(r);
    if (p.centres.cols() >= 3) probe("X0_" + ring, p.centres, r, 1);
    for (int j = 1; j <= p.points; ++j) {
      const int col = 3 * j - 2;
      const std::string tag = digits(j) + "_" + ring;
      if (r <= p.above.rows() && col + 2 <= p.above.cols()) probe("X1_" + tag, p.above, r, col);
      if (r <= p.below.rows() && col + 2 <= p.below.cols()) probe("X2_" + tag, p.below, r, col);
    }
  }
}

}  // namespace orbicutter
