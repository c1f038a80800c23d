// CRYSTAL template: cell line per crystal system and the asymmetric unit.
#include <gtest/gtest.h>

#include "writers/cluster_fixture.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

// Cell 7.1 x 9.2 x 11.3, angles 80, 101.5, 95; four all-atom rows of which only
// the first two are the asymmetric unit as read: row 3 is a lattice image made by
// completion, row 4 an image of operator 2.
void crystal_run(Run& run, const std::string& system) {
  run.gv.sysname = system;
  run.geo.a = sp(7.1f);
  run.geo.b = sp(9.2f);
  run.geo.c = sp(11.3f);
  run.geo.alpha = sp(80.0f) * degree;
  run.geo.beta = sp(101.5f) * degree;
  run.geo.gamma = sp(95.0f) * degree;
  run.gv.natasym = 3;
  run.gv.nat = 4;
  auto& at = run.at;
  at.allatns.allocate(4, 2);
  at.allinfo.allocate(4, all_info_columns);
  at.allgeom.allocate(4, 3);
  const char* names[4][2] = {{"C  ", "C1 "}, {"O  ", "O12"}, {"C  ", "C1 "}, {"H  ", "H1 "}};
  const int info[4][8] = {{1, 1, 1, 1, 0, 0, 0, 1}, {2, 2, 1, 1, 0, 0, 0, 2}, {1, 1, 1, 1, 1, 0, 0, 3},
                          {3, 1, 2, 2, 0, 0, 0, 4}};
  const float geom[4][3] = {{0.25f, -0.125f, 0.5f}, {0.375f, 0.0625f, 1.0f}, {1.25f, -0.125f, 0.5f},
                            {0.5f, 0.5f, 0.5f}};
  for (int i = 1; i <= 4; ++i) {
    for (int c = 1; c <= 2; ++c) at.allatns(i, c) = names[i - 1][c - 1];
    for (int c = total_atom; c <= molecule_atom; ++c) at.allinfo(i, c) = info[i - 1][c - 1];
    for (int c = 1; c <= 3; ++c) at.allgeom(i, c) = sp(geom[i - 1][c - 1]);
  }
}

TEST(WriteCrystal, WholeFileForAMonoclinicCell) {
  orbicutter::Run run;
  crystal_run(run, "monoclinic");
  EXPECT_EQ(written(run, writecrystal),
            "ORBICUTTER job\n"
            "CRYSTAL\n"
            "1 0 0\n"
            "#** PRINT-YOUR-SPACE-GROUP-SYMBOL\n"
            "    7.100000    9.200000   11.300000  101.5000\n"
            "   3\n"
            "  6       0.250000      -0.125000       0.500000      # C  C1 \n"
            "  8       0.375000       0.062500       1.000000      # O  O12\n"
            "END\n"
            "#** PRINT-YOUR-BASIS-SET-HERE\n"
            "99 0\n"
            "END\n"
            "#** PRINT-YOUR-OTHER-KEYWORDS\n"
            "\n");
}

// The line after the space-group placeholder: the cell, or already the count.
std::string cell_line(const std::string& system) {
  orbicutter::Run run;
  crystal_run(run, system);
  const std::string text = written(run, writecrystal);
  const std::string marker = "SYMBOL\n";
  const auto from = text.find(marker) + marker.size();
  return text.substr(from, text.find('\n', from) - from);
}

TEST(WriteCrystal, CellLineHoldsTheFreeParametersOfTheSystem) {
  EXPECT_EQ(cell_line("triclinic"), "    7.100000    9.200000   11.300000   80.0000  101.5000   95.0000");
  EXPECT_EQ(cell_line("orthorhombic"), "    7.100000    9.200000   11.300000");
  EXPECT_EQ(cell_line("tetragonal"), "    7.100000   11.300000");
  EXPECT_EQ(cell_line("trigonal / hexagonal (hexagonal setting)"), "    7.100000   11.300000");
  EXPECT_EQ(cell_line("cubic"), "    7.100000");
  EXPECT_EQ(cell_line("trigonal (rhombohedral setting)"), "   3");
  EXPECT_EQ(cell_line(""), "   3");
}

TEST(WriteCrystal, UnknownElementGetsAtomicNumberZero) {
  orbicutter::Run run;
  crystal_run(run, "cubic");
  run.at.allatns(2, 1) = "Xx ";
  EXPECT_NE(written(run, writecrystal).find("  0       0.375000       0.062500       1.000000      # Xx O12\n"),
            std::string::npos);
}

}  // namespace
