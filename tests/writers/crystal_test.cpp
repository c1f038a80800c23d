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
WriterInput crystal_input(const ClusterModel& cluster, const std::string& system) {
  Run run;
  set_cell_constants(run, {sp(7.1f), sp(9.2f), sp(11.3f), 80, sp(101.5f), 95});
  WriterInput in{.cluster = cluster, .cell = run.geo, .crystal_system = system, .asymmetric_atoms = 3};
  const auto atom = [](const char* element, const char* label, int operation, int ta, float x, float y, float z) {
    return MoleculeAtom{element, label, operation, {ta, 0, 0}, vec(sp(x), sp(y), sp(z))};
  };
  in.molecule_atoms = {atom("C  ", "C1 ", 1, 0, 0.25f, -0.125f, 0.5f), atom("O  ", "O12", 1, 0, 0.375f, 0.0625f, 1.0f),
                       atom("C  ", "C1 ", 1, 1, 1.25f, -0.125f, 0.5f), atom("H  ", "H1 ", 2, 0, 0.5f, 0.5f, 0.5f)};
  return in;
}

TEST(WriteCrystal, WholeFileForAMonoclinicCell) {
  const ClusterModel cluster;
  EXPECT_EQ(written(crystal_input(cluster, "monoclinic"), writecrystal),
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
  const ClusterModel cluster;
  const std::string text = written(crystal_input(cluster, system), writecrystal);
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
  const ClusterModel cluster;
  WriterInput in = crystal_input(cluster, "cubic");
  in.molecule_atoms[1].element = "Xx ";
  EXPECT_NE(written(in, writecrystal).find("  0       0.375000       0.062500       1.000000      # Xx O12\n"),
            std::string::npos);
}

}  // namespace
