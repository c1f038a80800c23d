// The XYZ file of the cluster: count, name, labelled Cartesian rows, probe points.
#include <gtest/gtest.h>

#include "writers/cluster_fixture.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

const std::string cluster_rows =
    "     5\n"
    "mol\n"
    "      C1       1.250000       0.000000       0.000000\n"
    "      O2       0.000000       1.500000       0.000000\n"
    "      H3       3.750000       3.000000       2.000000\n"
    "    C4_2       6.250000       0.000000      -2.000000\n"
    "    O5_2       5.000000      -1.500000      -2.000000\n";

TEST(WriteXyz, LabelsAndCentredCoordinates) {
  const ClusterModel cluster = writer_cluster();
  EXPECT_EQ(written(input_for(cluster, writer_cell()), writexyz), cluster_rows + "\n");
}

TEST(WriteXyz, EmptyCluster) {
  const ClusterModel empty = cluster_of(writer_cell(), vec(0, 0, 0), {}, 0);
  EXPECT_EQ(written(input_for(empty, writer_cell()), writexyz), "     0\nmol\n\n");
}

// Probe points as the ring phase leaves them: Cartesian, before the centre is taken off.
void set_probes(WriterInput& in, int nrings, int nnics) {
  in.options.probes = true;
  auto& t = in.probes;
  t.rings = nrings;
  t.points = nnics;
  t.centres.allocate(nrings, 3);
  t.above.allocate(nrings, 3 * nnics);
  t.below.allocate(nrings, 3 * nnics);
  // The centre is at (1.25, 3, 4) in Cartesian coordinates.
  for (int r = 1; r <= nrings; ++r) {
    t.centres(r, 1) = sp(1.25f) + static_cast<real>(r);
    t.centres(r, 2) = 3;
    t.centres(r, 3) = 4;
    for (int j = 1; j <= nnics; ++j) {
      t.above(r, 3 * j - 2) = sp(1.25f) + static_cast<real>(r);
      t.above(r, 3 * j - 1) = 3;
      t.above(r, 3 * j) = 4 + static_cast<real>(j);
      t.below(r, 3 * j - 2) = sp(1.25f) + static_cast<real>(r);
      t.below(r, 3 * j - 1) = 3;
      t.below(r, 3 * j) = 4 - static_cast<real>(j);
    }
  }
}

TEST(WriteXyz, ProbeRowsFollowTheAtomsAndAreNotCounted) {
  const ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  set_probes(in, 1, 2);
  EXPECT_EQ(written(in, writexyz), cluster_rows +
                                        "    X0_1       1.000000       0.000000       0.000000\n"
                                        "  X1_1_1       1.000000       0.000000       1.000000\n"
                                        "  X2_1_1       1.000000       0.000000      -1.000000\n"
                                        "  X1_2_1       1.000000       0.000000       2.000000\n"
                                        "  X2_2_1       1.000000       0.000000      -2.000000\n"
                                        "\n");
  in.options.probes = false;
  EXPECT_EQ(written(in, writexyz), cluster_rows + "\n");
}

TEST(WriteXyz, LongLabelsAreCut) {
  const ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  set_probes(in, 12, 10);
  const std::string xyz = written(in, writexyz);
  // " X1_10_12" has nine characters: its first eight are written.
  EXPECT_NE(xyz.find("\n X1_10_1      12.000000       0.000000      10.000000\n"), std::string::npos);
  EXPECT_NE(xyz.find("\n   X0_12      12.000000       0.000000       0.000000\n"), std::string::npos);
  EXPECT_EQ(std::count(xyz.begin(), xyz.end(), '\n'), 2 + 5 + 12 * 21 + 1);
}

}  // namespace
