// The manual X-H list may name the last atom of the file, as X or as H.
#include <gtest/gtest.h>

#include "support/runner.hpp"

namespace orbicutter::testing {
namespace {

TEST(ManualXHLastAtom, LastAtomIsAcceptedAsXAndAsH) {
  // Water listed hydrogens first; no fragment search, so the file order is the
  // atom order and the oxygen is atom 3 of 3.
  const std::string head =
      "CELL 10.0 12.0 8.0 90.0 105.0 90.0\n"
      "SYMM 4 0\nx, y, z\n-x, y+1/2, -z+1/2\n-x, -y, -z\nx, -y+1/2, z+1/2\n"
      "NFRG 3 1\nMOL 1 3\nH H1 0.15 0.25 0.35\nH H2 0.05 0.25 0.25\nO O1 0.10 0.20 0.30\n"
      "FRGM 1 0 0\nDMAX 4.0\n";
  const std::string rule = " -----------------------------------------------------------\n";
  const std::string title = " ** MANUAL X-H BONDS STANDARDISATION **";
  {
    const auto r = run_program_on(head + "STXH 1 2\n3 1 0.95\n3 2 1.00\n");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(section(r.files.at("mol.out"), title, " ** CLUSTER GENERATION **"),
              title + "\n" + rule +
                  " X =      3  |  H =      1  |  Initial distance =   0.8164  |  Target distance =   0.9500 manual\n"
                  " X =      3  |  H =      2  |  Initial distance =   0.8164  |  Target distance =   1.0000 manual\n" +
                  rule);
  }
  {
    // The pair turned round: the oxygen is moved towards the hydrogen.
    const auto r = run_program_on(head + "STXH 1 1\n1 3 0.90\n");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.files.at("mol.out").find(
                  " X =      1  |  H =      3  |  Initial distance =   0.8164  |  Target distance =   0.9000 manual\n"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace orbicutter::testing
