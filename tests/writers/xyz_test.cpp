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
  orbicutter::Run run;
  writer_cluster(run);
  EXPECT_EQ(written(run, writexyz), cluster_rows + "\n");
}

TEST(WriteXyz, EmptyCluster) {
  orbicutter::Run run;
  writer_cluster(run);
  run.gv.ncluster = 0;
  EXPECT_EQ(written(run, writexyz), "     0\nmol\n\n");
}

// Probe points as the ring phase leaves them: Cartesian, before the centre is taken off.
void set_probes(orbicutter::Run& run, int nrings, int nnics) {
  run.kw.knics = 1;
  run.gv.nrings = nrings;
  run.gv.nnics = nnics;
  auto& t = run.tmp;
  t.nics0.allocate(nrings, 3);
  t.nics1.allocate(nrings, 3 * nnics);
  t.nics2.allocate(nrings, 3 * nnics);
  // The centre is at (1.25, 3, 4) in Cartesian coordinates.
  for (int r = 1; r <= nrings; ++r) {
    t.nics0(r, 1) = sp(1.25f) + static_cast<real>(r);
    t.nics0(r, 2) = 3;
    t.nics0(r, 3) = 4;
    for (int j = 1; j <= nnics; ++j) {
      t.nics1(r, 3 * j - 2) = sp(1.25f) + static_cast<real>(r);
      t.nics1(r, 3 * j - 1) = 3;
      t.nics1(r, 3 * j) = 4 + static_cast<real>(j);
      t.nics2(r, 3 * j - 2) = sp(1.25f) + static_cast<real>(r);
      t.nics2(r, 3 * j - 1) = 3;
      t.nics2(r, 3 * j) = 4 - static_cast<real>(j);
    }
  }
}

TEST(WriteXyz, ProbeRowsFollowTheAtomsAndAreNotCounted) {
  orbicutter::Run run;
  writer_cluster(run);
  set_probes(run, 1, 2);
  EXPECT_EQ(written(run, writexyz), cluster_rows +
                                        "    X0_1       1.000000       0.000000       0.000000\n"
                                        "  X1_1_1       1.000000       0.000000       1.000000\n"
                                        "  X2_1_1       1.000000       0.000000      -1.000000\n"
                                        "  X1_2_1       1.000000       0.000000       2.000000\n"
                                        "  X2_2_1       1.000000       0.000000      -2.000000\n"
                                        "\n");
  run.kw.knics = 0;
  EXPECT_EQ(written(run, writexyz), cluster_rows + "\n");
}

TEST(WriteXyz, LongLabelsAreCut) {
  orbicutter::Run run;
  writer_cluster(run);
  set_probes(run, 12, 10);
  const std::string xyz = written(run, writexyz);
  // " X1_10_12" has nine characters: its first eight are written.
  EXPECT_NE(xyz.find("\n X1_10_1      12.000000       0.000000      10.000000\n"), std::string::npos);
  EXPECT_NE(xyz.find("\n   X0_12      12.000000       0.000000       0.000000\n"), std::string::npos);
  EXPECT_EQ(std::count(xyz.begin(), xyz.end(), '\n'), 2 + 5 + 12 * 21 + 1);
}

}  // namespace
