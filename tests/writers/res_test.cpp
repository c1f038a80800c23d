// SHELX file of the cluster: cell, symmetry cards, scattering factors, atoms.
#include <gtest/gtest.h>

#include "writers/cluster_fixture.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

const std::string atoms_and_end =
    "C1   1       0.250000       0.250000       0.500000      11.000000       0.000000\n"
    "C2   1       0.750000       0.250000       0.250000      11.000000       0.000000\n"
    "O3   2       0.125000       0.375000       0.500000      11.000000       0.000000\n"
    "O4   2       0.625000       0.125000       0.250000      11.000000       0.000000\n"
    "H5   3       0.500000       0.500000       0.750000      11.000000       0.000000\n"
    "END\n";

TEST(WriteRes, WholeFileGroupsAtomsByElementWithCarbonFirst) {
  const ClusterModel cluster = writer_cluster();
  EXPECT_EQ(written(input_for(cluster, writer_cell()), writeres),
            "TITL  mol\n"
            "CELL  0.71073   10.0000   12.0000    8.0000   90.0000   90.0000   90.0000\n"
            "LATT  -1\n"
            "SFAC   C   O   H  \n"
            "UNIT     2   2   1\n" +
                atoms_and_end);
}

TEST(WriteRes, SymmetryCardsOnlyWithoutFragmentSearchAndCompletion) {
  const ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  in.operators = 2;
  auto& geo = in.cell;
  geo.rot.allocate(2, 3, 3);
  geo.trans.allocate(2, 3);
  for (int i = 1; i <= 3; ++i) geo.rot(1, i, i) = 1;
  geo.rot(2, 1, 1) = -1;
  geo.rot(2, 2, 2) = 1;
  geo.rot(2, 3, 3) = -1;
  geo.trans(2, 2) = sp(0.5f);
  geo.trans(2, 3) = sp(0.5f);

  const std::string text = written(in, writeres);  // default: fragment search on
  EXPECT_EQ(text.find("SYMM"), std::string::npos);
  in.options.fragment_search = false;
  in.options.fragment_completion = true;
  EXPECT_EQ(written(in, writeres).find("SYMM"), std::string::npos);

  in.options.fragment_completion = false;
  const std::string pad1(50 - 10, ' '), pad2(50 - 18, ' ');
  EXPECT_NE(written(in, writeres).find("LATT  -1\n"
                                        "SYMM +x, +y, +z" + pad1 + "\n"
                                        "SYMM -x, +y+1/2, -z+1/2" + pad2 + "\n"
                                        "SFAC   C   O   H  \n"),
            std::string::npos);
}

TEST(WriteRes, ClusterWithoutCarbonStillListsItFirst) {
  ClusterModel cluster = writer_cluster();
  cluster.atoms[0].element = "N  ";
  cluster.atoms[3].element = "N  ";
  const std::string text = written(input_for(cluster, writer_cell()), writeres);
  EXPECT_NE(text.find("SFAC   C   N   O   H  \nUNIT     0   2   2   1\n"
                      "N1   2       0.250000       0.250000       0.500000"),
            std::string::npos);
  EXPECT_NE(text.find("\nH5   4 "), std::string::npos);
}

}  // namespace
