// Inputs whose cell or size would make the work explode: refused early, or built fast.
#include <gtest/gtest.h>

#include "fragments/fragments.hpp"
#include "orbicutter/error.hpp"
#include "support/runner.hpp"

using namespace orbicutter::testing;

namespace {

std::string argon(const std::string& cell) {
  return "CELL " + cell + "\nSYMM 1 0\nx,y,z\nNFRG 1 1\nM 1 1\nAr Ar1 0.1 0.2 0.3\nDMAX 9.9\n";
}

TEST(Cost, CellEdgeShorterThanAnyBondIsRefusedBeforeAnyPhase) {
  const auto r = run_program_on(argon("6 6 0.02 90 90 90"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" !! ERROR in READINP !!\n --> Cell edge c = 0.0200 A is shorter than any bond <--\n"),
            std::string::npos)
      << r.out;
  EXPECT_FALSE(r.files.count("mol.xyz"));
  // Half an angstrom is the shortest edge taken.
  const auto ok = run_program_on(argon("0.5 6 6 90 90 90"));
  EXPECT_EQ(ok.status, 0) << ok.out;
  EXPECT_TRUE(ok.files.count("mol.xyz"));
}

TEST(Cost, AtomsBeyondTheBondTablesLimitAreRefusedBeforeTheFragmentPhases) {
  // 6,688 atoms fit in 512 MB of three nat x nat tables, 6,689 do not.
  EXPECT_NO_THROW(orbicutter::check_bond_tables(6688));
  EXPECT_THROW(orbicutter::check_bond_tables(6689), orbicutter::Error);
  std::string input = "CELL 400 400 400 90 90 90\nSYMM 1 0\nx,y,z\nNFRG 6689 1\nM 1 6689\n";
  for (int i = 0; i < 6689; ++i) input += "Ar A" + std::to_string(i) + " 0 0 " + std::to_string(i * 0.01) + "\n";
  const auto r = run_program_on(input);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" --> Too many atoms for the bond tables: 6689 atoms <--\n"
                       " --> need 513 MB, the limit is 512 MB <--\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("Fragment search"), std::string::npos);
}

}  // namespace
