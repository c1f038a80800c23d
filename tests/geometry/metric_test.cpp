// Crystal system, cell matrices, distances and the MATRICES section.
#include <gtest/gtest.h>

#include <sstream>

#include "geometry/geometry.hpp"
#include "support/crystal.hpp"

namespace orbicutter {
namespace {

Run cell(double a, double b, double c, double alpha, double beta, double gamma) {
  Run run;
  testing::set_cell_constants(run, {a, b, c, alpha, beta, gamma});
  return run;
}

std::string system_of(double a, double b, double c, double alpha, double beta, double gamma) {
  return crystal_system(cell(a, b, c, alpha, beta, gamma).geo);
}

TEST(Metric, CrystalSystems) {
  EXPECT_EQ(system_of(10, 10, 10, 90, 90, 90), "cubic");
  EXPECT_EQ(system_of(10, 10, 12, 90, 90, 90), "tetragonal");
  EXPECT_EQ(system_of(10, 11, 12, 90, 90, 90), "orthorhombic");
  EXPECT_EQ(system_of(10, 11, 12, 90, 105, 90), "monoclinic");
  EXPECT_EQ(system_of(10, 11, 12, 80, 85, 95), "triclinic");
  EXPECT_EQ(system_of(7, 7, 7, 80, 80, 80), "trigonal (rhombohedral setting)");
  EXPECT_EQ(system_of(7, 7, 9, 80, 80, 80), "trigonal (rhombohedral setting)");  // only a and b are compared
  // In both precisions, although 120 degrees do not come back exactly from radians in 4 bytes.
  EXPECT_EQ(system_of(5, 5, 9, 90, 90, 120), "trigonal / hexagonal (hexagonal setting)");
}

TEST(Metric, CellsThatNameNoSystem) {
  EXPECT_EQ(system_of(5, 5, 9, 90, 95, 120), "");
  EXPECT_EQ(system_of(10, 11, 12, 100, 90, 90), "");  // unique axis a
  EXPECT_EQ(system_of(10, 11, 12, 90, 100, 100), "");
}

TEST(Metric, RightAnglesAndEqualEdgesAreTestedStrictlyWithinTheirTolerances) {
  EXPECT_EQ(system_of(10, 11, 12, 90, 90.00002, 90), "monoclinic");
  EXPECT_EQ(system_of(10, 11, 12, 90, 90.000003, 90), "orthorhombic");
  EXPECT_EQ(system_of(10, 11, 12, 89.999997, 90, 90), "orthorhombic");
  EXPECT_EQ(system_of(5, 5, 9, 90, 90, 120.00002), "");  // no angle 90 fails, none is 120 either
  EXPECT_EQ(system_of(10, 10.000005, 12, 90, 90, 90), "tetragonal");
  EXPECT_EQ(system_of(10, 10.00002, 12, 90, 90, 90), "orthorhombic");
  EXPECT_EQ(system_of(10, 10, 10.00002, 90, 90, 90), "tetragonal");
}

TEST(Metric, CubicCellMatricesAndDistance) {
  orbicutter::Run run = cell(10, 10, 10, 90, 90, 90);
  run.geo.mt = orthogonalisation(run.geo);
  run.geo.g = metric_tensor(run.geo);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      EXPECT_NEAR(run.geo.mt(i, j), i == j ? 10.0 : 0.0, 1e-5);
      EXPECT_NEAR(run.geo.g(i, j), i == j ? 100.0 : 0.0, 1e-4);
    }
  Vec3 p, q;
  q(1) = static_cast<real>(0.1);
  EXPECT_NEAR(calcdist(run, p, q), 1.0, 1e-6);
  // No minimum image: a whole cell apart is a cell edge away.
  q(1) = 1;
  EXPECT_NEAR(calcdist(run, p, q), 10.0, 1e-5);
}

TEST(Metric, ObliqueCellMatricesAgreeWithTheMetric) {
  orbicutter::Run run = cell(7.1, 8.3, 9.7, 81, 97, 103);
  run.geo.mt = orthogonalisation(run.geo);
  run.geo.g = metric_tensor(run.geo);
  // mt is upper triangular and mt^T mt is g.
  EXPECT_EQ(run.geo.mt(2, 1), 0);
  EXPECT_EQ(run.geo.mt(3, 1), 0);
  EXPECT_EQ(run.geo.mt(3, 2), 0);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      double s = 0;
      for (int k = 1; k <= 3; ++k) s += static_cast<double>(run.geo.mt(k, i)) * run.geo.mt(k, j);
      EXPECT_NEAR(s, run.geo.g(i, j), 1e-3);
    }
  Vec3 p, q;
  p(1) = static_cast<real>(0.1);
  p(2) = static_cast<real>(-0.3);
  q(3) = static_cast<real>(1.2);
  EXPECT_NEAR(calcdist(run, p, q), cartesian_length(cartesian(run.geo.mt, [&] {
                Vec3 d;
                for (int i = 1; i <= 3; ++i) d(i) = q(i) - p(i);
                return d;
              }())),
              1e-4);
}

TEST(Metric, MatdistRunsOverAllElements) {
  Mat3 a, b;
  a(1, 2) = 3;
  a(3, 1) = 4;
  EXPECT_EQ(matdist(a, b), 5);
  Vec3 u, v;
  u(2) = 3;
  v(3) = -4;
  EXPECT_EQ(matdist(u, v), 5);
}

TEST(Metric, MatricesSection) {
  orbicutter::Run run = cell(10, 12, 8, 90, 105, 90);
  std::ostringstream log;
  run.sink.log = Unit::memory(log);
  run.geo.mt = orthogonalisation(run.geo);
  run.geo.g = metric_tensor(run.geo);
  write_matrices(run.sink.log, run.geo);
  const std::string rule = " -----------------------------------------------------------\n";
#ifndef ORBICUTTER_SINGLE
  EXPECT_EQ(log.str(), " ** MATRICES **\n" + rule +
                           " Ortogonalization matrix (MT):\n"
                           " [    10.0000    0.0000   -2.0706 ]\n"
                           " [     0.0000   12.0000    0.0000 ]\n"
                           " [     0.0000    0.0000    7.7274 ]\n" +
                           rule +
                           " Metric matrix (G):\n"
                           " [   100.0000    0.0000  -20.7055 ]\n"
                           " [     0.0000  144.0000    0.0000 ]\n"
                           " [   -20.7055    0.0000   64.0000 ]\n" +
                           rule);
#else
  EXPECT_NE(log.str().find(" [   -20.7055 "), std::string::npos);
#endif
}

}  // namespace
}  // namespace orbicutter
