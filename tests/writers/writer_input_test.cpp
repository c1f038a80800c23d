// Writers on a three-ion cluster given field by field: a chloride as the
// central molecule and two sodium ions, one the stored copy of fragment 2, the
// other a copy of it one cell down c. Whole files, worked out by hand.
#include <gtest/gtest.h>

#include "writers/cluster_fixture.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

// Cell 10 x 12 x 8 and centre (0.5, 0.5, 0.5): the ions stand at (0, 0, 0),
// (2.5, 0, 0) and (0, 3, -2) angstrom.
ClusterModel ions() {
  return cluster_of(writer_cell(), vec(sp(0.5f), sp(0.5f), sp(0.5f)),
                    {{.element = "CL", .label = "CL1", .input_atom = 1, .fragment_atom = 1, .fragment = 1,
                      .molecule_atom = 1, .number = 1, .position = {sp(0.5f), sp(0.5f), sp(0.5f)}, .charge = -1},
                     {.element = "NA", .label = "NA1", .input_atom = 2, .fragment_atom = 1, .fragment = 2,
                      .molecule_atom = 2, .number = 2, .position = {sp(0.75f), sp(0.5f), sp(0.5f)}, .charge = 1},
                     {.element = "NA", .label = "NA1", .input_atom = 2, .fragment_atom = 1, .fragment = 2,
                      .cell = {0, 0, -1}, .molecule_atom = 2, .copy = 1, .number = 3,
                      .position = {sp(0.5f), sp(0.75f), sp(0.25f)}, .charge = 1}},
                    1);
}

const std::string head =
    "# ORBICUTTER job\n"
    "! B3LYP D3BJ def2-SVP  #** MAY-BE-CHANGED\n"
    "%pal nprocs 8 end  #** MAY-BE-CHANGED\n"
    "%maxcore 2000  #** MAY-BE-CHANGED\n";
const std::string chloride = "  CL       0.0000000      0.0000000      0.0000000\n";
const std::string sodium =
    "  NA       2.5000000      0.0000000      0.0000000\n"
    "  NA       0.0000000      3.0000000     -2.0000000\n";

// With charges the job's charge is the central molecule's, -1; the two cations
// are the point charges.
TEST(WriterInput, OrcaJobOfAChargedCentralMolecule) {
  const ClusterModel cluster = ions();
  WriterInput in = input_for(cluster, writer_cell());
  in.options.charges = true;
  EXPECT_EQ(written(in, write_orca), head +
                                         "%pointcharges \"mol.orca.pc\"\n"
                                         "* xyz -1 1  #** MAY-BE-CHANGED\n" +
                                         chloride + "*\n");
  EXPECT_EQ(written(in, write_orca_point_charges),
            "2\n"
            "    1.000000      2.5000000      0.0000000      0.0000000\n"
            "    1.000000      0.0000000      3.0000000     -2.0000000\n");
}

// Without charges: a QM/MM job over the whole cluster, the one-atom QM part as {0}.
TEST(WriterInput, OrcaQmmmJobWithOneQmAtom) {
  const ClusterModel cluster = ions();
  EXPECT_EQ(written(input_for(cluster, writer_cell()), write_orca),
            "# ORBICUTTER job\n"
            "! QMMM B3LYP D3BJ def2-SVP  #** MAY-BE-CHANGED\n"
            "%pal nprocs 8 end  #** MAY-BE-CHANGED\n"
            "%maxcore 2000  #** MAY-BE-CHANGED\n"
            "%qmmm\n"
            "  QMAtoms {0} end\n"
            "  ORCAFFFilename \"orca.ORCAFF.prms\"  #** PRINT-YOUR-FORCE-FIELD-FILE\n"
            "end\n"
            "* xyz 0 1  #** MAY-BE-CHANGED\n" +
                chloride + sodium + "*\n");
}

// The two sodium ions share fragment and molecular atom but not the copy: three molecules.
TEST(WriterInput, ExtendedXyzNumbersEveryMolecule) {
  const ClusterModel cluster = ions();
  EXPECT_EQ(written(input_for(cluster, writer_cell()), write_extended_xyz),
            "3\n"
            "Properties=species:S:1:pos:R:3:label:S:1:molecule:I:1 name=\"mol\"\n"
            " CL       0.000000       0.000000       0.000000 CL1 1\n"
            " NA       2.500000       0.000000       0.000000 NA1 2\n"
            " NA       0.000000       3.000000      -2.000000 NA1 3\n");
}

}  // namespace
