// The cluster stage's result against the cluster listing of a reference log
// (written by an earlier build, so an independent account of the same cluster).
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cluster/cluster.hpp"
#include "pipeline/pipeline.hpp"
#include "support/crystal.hpp"
#include "support/runner.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

// One row of the FULL CLUSTER INFORMATION listing (with charges).
struct Listed {
  std::string element, label;
  int info[10];
  double position[3], charge;
};

std::vector<Listed> listing(const std::string& log) {
  std::istringstream in(section(log, " ** FULL CLUSTER INFORMATION **", " ** ORTEP CODES **"));
  std::vector<Listed> rows;
  std::string line;
  std::getline(in, line);  // the title
  std::getline(in, line);  // the rule
  while (std::getline(in, line) && line.substr(0, 4) != " ---") {
    Listed r;
    r.element = trim(line.substr(0, 4));
    r.label = trim(line.substr(4, 4));
    for (int k = 0; k < 10; ++k) r.info[k] = std::stoi(line.substr(8 + 6 * k, 6));
    for (int k = 0; k < 3; ++k) r.position[k] = std::stod(line.substr(68 + 10 * k, 10));
    r.charge = std::stod(line.substr(98, 10));
    rows.push_back(r);
  }
  return rows;
}

// The cluster stage run on an input text, the molecule phases before it.
ClusterModel cluster_of_input(MemoryRun& m, const std::string& input) {
  read_crystal(m.run, input);
  build_molecules(m.run);
  cluster_head(m.run);
  return build_cluster(m.run);
}

void expect_atom(const ClusterAtom& a, const Listed& r, int row) {
  EXPECT_EQ(trim(a.element), r.element) << row;
  EXPECT_EQ(trim(a.label), r.label) << row;
  const int fields[10] = {a.input_atom, a.fragment_atom, a.fragment, a.operation, a.cell[0],
                          a.cell[1],    a.cell[2],       a.molecule_atom, a.copy, a.number};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(fields[k], r.info[k]) << "row " << row << " field " << k + 1;
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(a.position(k + 1), r.position[k], 5.0001e-7) << row;
  EXPECT_NEAR(a.charge, r.charge, 5.0001e-7) << row;
}

// Water, 37 molecules of three charged atoms: the first atom of every molecule
// and the last atom of the cluster, whose input atom is the last one read.
TEST(ClusterModel, WaterAgainstTheReferenceListing) {
  MemoryRun m;
  const ClusterModel cluster =
      cluster_of_input(m, read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/water.inp"));
  const auto rows = listing(read_file(expected_folder("water") + "/water.out"));
  ASSERT_EQ(rows.size(), 111u);
  ASSERT_EQ(cluster.size(), 111);
  EXPECT_EQ(cluster.central_atoms, 3);

  std::vector<int> first;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (i == 0 || rows[i].info[2] != rows[i - 1].info[2] || rows[i].info[8] != rows[i - 1].info[8])
      first.push_back(static_cast<int>(i) + 1);
  ASSERT_EQ(first.size(), 37u);
  EXPECT_EQ(cluster.molecule_first, first);
  for (int f : first) expect_atom(cluster.atom(f), rows[static_cast<std::size_t>(f - 1)], f);
  expect_atom(cluster.atom(111), rows.back(), 111);
  EXPECT_EQ(cluster.molecule_of(111), 37);
  EXPECT_EQ(cluster.molecule_of(3), 1);
  EXPECT_EQ(cluster.molecule_of(4), 2);
}

// A chloride as the central molecule and caesium, the last atom read, around it.
TEST(ClusterModel, ChargedCentralMoleculeKeepsItsCharge) {
  MemoryRun m;
  const ClusterModel cluster = cluster_of_input(
      m, "CELL 6.0 6.0 6.0 90.0 90.0 90.0\nSYMM 1 0\nx, y, z\nCHRG 1\nNFRG 2 2\nANION 1 1\n"
         "CL CL1 0.5 0.5 0.5 -1.0\nCATION 2 1\nCS CS1 0.0 0.0 0.0 1.0\nDMAX 6.5\n");
  ASSERT_EQ(cluster.central_atoms, 1);
  ASSERT_GE(cluster.molecules(), 9);  // the chloride and at least the eight cations at the corners
  EXPECT_EQ(trim(cluster.atom(1).element), "CL");
  EXPECT_EQ(cluster.atom(1).charge, -1);
  for (int i = 2; i <= cluster.size(); ++i) {
    if (cluster.atom(i).input_atom != 2) continue;
    EXPECT_EQ(cluster.atom(i).charge, 1) << i;
  }
}

}  // namespace
