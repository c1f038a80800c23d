// ADF QM/MM script: atoms by region, connection table and charges.
#include <gtest/gtest.h>

#include "writers/cluster_fixture.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

const std::string head =
    "#!/bin/sh\n"
    "\n"
    "\"$ADFBIN/adf\" <<eor\n"
    "\n"
    "Title #**  PRINT-YOUR-TITLE\n"
    "\n"
    "ATOMS\n"
    "     1 C        1.2500000      0.0000000      0.0000000   Fragment=Center\n"
    "     2 O        0.0000000      1.5000000      0.0000000   Fragment=Center\n"
    "     3 H        3.7500000      3.0000000      2.0000000   Fragment=Shell\n"
    "     4 C        6.2500000      0.0000000     -2.0000000   Fragment=Shell\n"
    "     5 O        5.0000000     -1.5000000     -2.0000000   Fragment=Shell\n"
    "\n"
    " Basis\n"
    "   #** PRINT-YOUR-BASIS-SET\n"
    " End\n"
    "\n"
    " #** PRINT-YOUR-OTHER-KEYWORDS\n"
    "\n"
    " QMMM\n"
    "   #** CHANGE-BELOW-IF-NEEDED\n"
    "   NewQMMM\n"
    "   Output_Level=1\n"
    "   Warning_Level=0\n"
    "   Partition=5\n"
    "   Elstat_Coupling_Model 1\n"
    "   Optimize\n"
    "     Fix_MM_Geometry\n"
    "     Method Conjgrad\n"
    "     Max_Steps 5000\n"
    "     Print_Cycles 10\n"
    "     MM_NotConverged 0\n"
    "   Subend\n"
    "   Force_Field_File #** PRINT-YOUR-FORCE-FIELD-FILE-WITH-PATH\n"
    "   MM_Connection_Table\n"
    "     1   C1   QM       2\n"
    "     2   O1   QM       1     5\n"
    "     3   H1   MM  \n"
    "     4   C1   MM       5\n"
    "     5   O1   MM       4\n"
    "   Subend\n";

const std::string tail =
    " End\n"
    "\n"
    "eor\n"
    "\n";

TEST(WriteAdf, WholeScriptWithChargesAndWithout) {
  const ClusterModel cluster = writer_cluster();
  WriterInput in = input_for(cluster, writer_cell());
  EXPECT_EQ(written(in, writeadf), head + tail);
  in.options.charges = true;
  EXPECT_EQ(written(in, writeadf), head +
                                        "   Charges\n"
                                        "     1   -0.25\n"
                                        "     2    0.50\n"
                                        "     3    0.00\n"
                                        "     4   -0.25\n"
                                        "     5    0.50\n"
                                        "   Subend\n" +
                                        tail);
}

TEST(WriteAdf, AtomsAreNumberedByTheirClusterAtomicNumber) {
  ClusterModel cluster = writer_cluster();
  for (int i = 1; i <= 5; ++i) cluster.atoms[static_cast<std::size_t>(i - 1)].number = 20 + i;
  WriterInput in = input_for(cluster, writer_cell());
  in.options.charges = true;
  const std::string text = written(in, writeadf);
  EXPECT_NE(text.find("\n    23 H        3.7500000"), std::string::npos);
  EXPECT_NE(text.find("\n    22   O1   QM       1     5\n"), std::string::npos);
  EXPECT_NE(text.find("\n    25    0.50\n"), std::string::npos);
}

}  // namespace
