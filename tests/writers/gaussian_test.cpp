// Gaussian template: ONIOM and NMR headers, layered and plain rows, charged
// names and ghost atoms.
#include <gtest/gtest.h>

#include "writers/cluster_fixture.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

const std::string oniom_header =
    "%mem=15GB\n"
    "%NProcShared=8\n"
    "%CHK=output.chk\n"
    "#N ONIOM(BP86/6-31G(d):Amber=HardFirst) Opt Int=UltraFine\n"
    " \n"
    " #** PRINT-YOUR-COMMENT \n"
    " \n"
    "0 1 1 1 1 1 0 1 #** MAY-BE-CHANGED \n";

TEST(WriteGaussian, OniomFileMarksCentralMoleculeHighAndFree) {
  ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  EXPECT_EQ(written(in, writegaussian),
            oniom_header +
                "C--              0       1.2500000      0.0000000      0.0000000 H\n"
                "O--              0       0.0000000      1.5000000      0.0000000 H\n"
                "H--             -1       3.7500000      3.0000000      2.0000000 L\n"
                "C--             -1       6.2500000      0.0000000     -2.0000000 L\n"
                "O--             -1       5.0000000     -1.5000000     -2.0000000 L\n"
                "\n");
}

TEST(WriteGaussian, ChargedNamesCarryMinusForEverythingBelowThreshold) {
  ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  in.options.charges = true;
  EXPECT_EQ(written(in, writegaussian),
            oniom_header +
                "C---0.250000     0       1.2500000      0.0000000      0.0000000 H\n"
                "O--0.500000      0       0.0000000      1.5000000      0.0000000 H\n"
                "H---0.000000    -1       3.7500000      3.0000000      2.0000000 L\n"
                "C---0.250000    -1       6.2500000      0.0000000     -2.0000000 L\n"
                "O--0.500000     -1       5.0000000     -1.5000000     -2.0000000 L\n"
                "\n");

  // Small positive charges count as negative; the threshold itself does not;
  // ten or more does not fit the six decimals.
  for (ClusterAtom& a : cluster.atoms)
    a.charge = a.input_atom == 1 ? sp(5.0e-5f) : a.input_atom == 2 ? sp(1.0e-4f) : sp(12.5f);
  const std::string text = written(in, writegaussian);
  EXPECT_NE(text.find("\nC---0.000050     0 "), std::string::npos);
  EXPECT_NE(text.find("\nO--0.000100      0 "), std::string::npos);
  EXPECT_NE(text.find("\nH--********     -1 "), std::string::npos);
}

TEST(WriteGaussian, SmallDistanceGivesPlainRowsWithCutNames) {
  ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  in.cell.dmax = sp(0.005f);
  const std::string plain = written(in, writegaussian);
  EXPECT_EQ(plain.substr(oniom_header.size()),
            "C             1.2500000      0.0000000      0.0000000 \n"
            "O             0.0000000      1.5000000      0.0000000 \n"
            "H             3.7500000      3.0000000      2.0000000 \n"
            "C             6.2500000      0.0000000     -2.0000000 \n"
            "O             5.0000000     -1.5000000     -2.0000000 \n"
            "\n");
  in.options.charges = true;
  const std::string charged = written(in, writegaussian);
  EXPECT_NE(charged.find("\nC-0.2500      1.2500000"), std::string::npos);
  EXPECT_NE(charged.find("\nO0.50000      0.0000000"), std::string::npos);
}

TEST(WriteGaussian, AtExactlyTheLimitAPlainNameStandsInALayeredRow) {
  // The name wants more than 0.01, the layered row at least 0.01.
  ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  in.cell.dmax = sp(0.01f);
  EXPECT_NE(written(in, writegaussian).find("\nC                0       1.2500000"), std::string::npos);
}

TEST(WriteGaussian, NmrJobAddsGhostAtomsRingByRing) {
  ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  in.options.probes = true;
  in.probes.rings = 2;
  in.probes.points = 1;
  // The centre is at (1.25, 3, 4) in Cartesian coordinates; ring r has its centre
  // r A along y from it and its probe points 1 A above and below.
  auto& p = in.probes;
  for (auto* t : {&p.centres, &p.above, &p.below}) t->allocate(2, 3);
  for (int r = 1; r <= 2; ++r) {
    for (auto* t : {&p.centres, &p.above, &p.below}) {
      (*t)(r, 1) = sp(1.25f);
      (*t)(r, 2) = static_cast<real>(3 + r);
    }
    p.centres(r, 3) = 4;
    p.above(r, 3) = 5;
    p.below(r, 3) = 3;
  }
  EXPECT_EQ(written(in, writegaussian),
            "# B3LYP/aug-cc-PVDZ NMR #** PRINT-YOUR-KEYWORDS\n"
            "C--              0       1.2500000      0.0000000      0.0000000 H\n"
            "O--              0       0.0000000      1.5000000      0.0000000 H\n"
            "H--             -1       3.7500000      3.0000000      2.0000000 L\n"
            "C--             -1       6.2500000      0.0000000     -2.0000000 L\n"
            "O--             -1       5.0000000     -1.5000000     -2.0000000 L\n"
            "     Bq1      0.0000000      1.0000000      0.0000000\n"
            "     Bq2      0.0000000      1.0000000      1.0000000\n"
            "     Bq3      0.0000000      1.0000000     -1.0000000\n"
            "     Bq4      0.0000000      2.0000000      0.0000000\n"
            "     Bq5      0.0000000      2.0000000      1.0000000\n"
            "     Bq6      0.0000000      2.0000000     -1.0000000\n"
            "\n");
}

}  // namespace
