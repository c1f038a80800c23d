// Plane fits of rings and atom groups, ring flags and NICS probe points.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

#include "pipeline/pipeline.hpp"
#include "fragments/fragments.hpp"
#include "support/runner.hpp"
#include "xh/crystal_builder.hpp"
#include "xh/xh.hpp"

namespace orbicutter {
namespace {

using testing::CrystalBuilder;
using testing::polygon;
using testing::Xyz;

constexpr double eps = std::is_same_v<real, float> ? 1e-4 : 1e-9;

// A run whose orthogonalisation matrix is the unit matrix: fractional = Cartesian.
Run unit_cell_run() {
  Run run;
  run.geo.mt = run.par.runitmat3;
  run.geo.g = run.par.runitmat3;
  return run;
}

Table<real> points_of(const std::vector<Xyz>& p) {
  Table<real> t(static_cast<int>(p.size()), 3);
  for (int i = 1; i <= t.rows(); ++i) {
    t(i, 1) = static_cast<real>(p[static_cast<std::size_t>(i - 1)].x);
    t(i, 2) = static_cast<real>(p[static_cast<std::size_t>(i - 1)].y);
    t(i, 3) = static_cast<real>(p[static_cast<std::size_t>(i - 1)].z);
  }
  return t;
}

TEST(PlaneFit, TiltedRingInTriclinicCellIsExactAndNormalPointsDown) {
  CrystalBuilder b(7.1, 8.3, 9.7, 81.0, 97.0, 103.0);
  // Hexagon in the plane z = 0.5 x + 0.25 y + 1.
  const Xyz e1 = testing::unit({1, 0, 0.5}), e2 = testing::unit(testing::cross({-0.5, -0.25, 1}, e1));
  Table<real> pts(6, 3);
  std::vector<Vec3> cart;
  for (int k = 0; k < 6; ++k) {
    const Xyz r = polygon({3, 4, 0.5 * 3 + 0.25 * 4 + 1}, 1.39, 6, k, e1, e2);
    set_row3(pts, k + 1, b.frac(r));
    cart.push_back(cartesian(b.run.geo.mt, b.frac(r)));
  }
  const PlaneFit fit = planarity(b.run, pts, 6);
  const double p = std::sqrt(0.5 * 0.5 + 0.25 * 0.25 + 1.0);
  EXPECT_NEAR(fit.plane[0], 0.5 / p, eps);
  EXPECT_NEAR(fit.plane[1], 0.25 / p, eps);
  EXPECT_NEAR(fit.plane[2], -1.0 / p, eps);
  EXPECT_NEAR(fit.plane[3], 1.0 / p, 10 * eps);
  EXPECT_LT(fit.maxdev, 10 * eps);
  EXPECT_NEAR(fit.centre(1), 3.0, eps);
  EXPECT_NEAR(fit.centre(2), 4.0, eps);
  EXPECT_NEAR(fit.centre(3), 3.5, eps);
  // The points come back Cartesian.
  for (int i = 1; i <= 6; ++i)
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(pts(i, k), cart[static_cast<std::size_t>(i - 1)](k));
}

TEST(PlaneFit, DeviationIsLargestDistanceFromPlane) {
  orbicutter::Run run = unit_cell_run();
  // Square with two opposite corners lifted by 0.1: best plane z = 0.05.
  Table<real> pts = points_of({{1, 0, 0.1}, {0, 1, 0}, {-1, 0, 0.1}, {0, -1, 0}});
  const PlaneFit fit = planarity(run, pts, 4);
  EXPECT_NEAR(fit.maxdev, 0.05, eps);
  EXPECT_NEAR(fit.plane[2], -1, eps);
  EXPECT_NEAR(fit.plane[3], 0.05, eps);
}

TEST(PlaneFit, VerticalPlanesUseTurnedAxes) {
  orbicutter::Run run = unit_cell_run();
  // Plane y = 2 contains x and z: y is fitted on z and x.
  Table<real> a = points_of({{0, 2, 0}, {1, 2, 0}, {0, 2, 1}, {1, 2, 1}, {sp(0.5f), 2, 3}});
  PlaneFit fit = planarity(run, a, 5);
  EXPECT_EQ(fit.maxdev, 0);
  EXPECT_EQ(fit.plane[0], 0);
  EXPECT_EQ(fit.plane[1], -1);
  EXPECT_EQ(fit.plane[2], 0);
  EXPECT_EQ(fit.plane[3], 2);
  // Plane x = -3 contains y and z: x is fitted on y and z.
  Table<real> c = points_of({{-3, 0, 0}, {-3, 1, 0}, {-3, 0, 1}, {-3, 2, 5}});
  fit = planarity(run, c, 4);
  EXPECT_EQ(fit.maxdev, 0);
  EXPECT_EQ(fit.plane[0], -1);
  EXPECT_EQ(fit.plane[1], 0);
  EXPECT_EQ(fit.plane[2], 0);
  EXPECT_EQ(fit.plane[3], -3);
}

TEST(PlaneFit, PointsOnALineOrCoincidentFitAnyPlane) {
  orbicutter::Run run = unit_cell_run();
  Table<real> line = points_of({{0, 0, 1}, {1, 1, 2}, {2, 2, 3}});
  PlaneFit fit = planarity(run, line, 3);
  EXPECT_EQ(fit.maxdev, 0);
  EXPECT_EQ(fit.plane[0], 0);
  EXPECT_EQ(fit.plane[1], 0);
  EXPECT_EQ(fit.plane[2], -1);
  EXPECT_EQ(fit.plane[3], 2);  // the mean z
  Table<real> same = points_of({{1, 2, 3}, {1, 2, 3}});
  fit = planarity(run, same, 2);
  EXPECT_EQ(fit.maxdev, 0);
  EXPECT_EQ(fit.plane[3], 3);
  EXPECT_EQ(fit.centre(1), 1);
  Table<real> none(1, 3);
  fit = planarity(run, none, 0);
  EXPECT_EQ(fit.maxdev, std::numeric_limits<real>::lowest());
  EXPECT_FALSE(std::isnan(fit.centre(1)));
}

// Benzene in the plane y = 1/4, the mirror plane of Pnma (and of P21/m): the ring
// plane contains the z axis. The ring and every ring carbon must come out planar,
// so that the C-H bonds are standardised as aromatic.
// With `exact`, the cosines of the right angles are taken as exactly 0, so that
// the ring plane contains z exactly and the plain fit of z on x and y breaks down.
void expect_benzene_on_mirror_planar(double a, double bb, double c, double beta, bool exact = false) {
  CrystalBuilder b(a, bb, c, 90.0, beta, 90.0);
  if (exact) {
    auto& geo = b.run.geo;
    geo.mt(1, 2) = geo.mt(2, 3) = 0;
    geo.mt(2, 2) = geo.b;
    geo.g(1, 2) = geo.g(2, 1) = geo.g(2, 3) = geo.g(3, 2) = 0;
  }
  std::vector<int> ring;
  std::vector<Vec3> carbons;
  const Xyz centre{4, 0, 5}, ex{1, 0, 0}, ez{0, 0, 1};
  for (int k = 0; k < 6; ++k) {
    Vec3 f = b.frac(polygon(centre, 1.39, 6, k, ex, ez));
    ring.push_back(b.add_frac("C", f(1), sp(0.25f), f(3)));
  }
  for (int k = 0; k < 6; ++k) {
    Vec3 f = b.frac(polygon(centre, 2.47, 6, k, ex, ez));
    b.add_frac("H", f(1), sp(0.25f), f(3));
  }
  b.ring(ring);
  b.finish();
  ring_routines(b.run);
  EXPECT_EQ(b.run.at.specrings(1), 1);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(b.run.at.planaratoms(i), 1) << "carbon " << i;
  for (int i = 7; i <= 12; ++i) EXPECT_EQ(b.run.at.planaratoms(i), 0);
  // The normal is the b direction.
  const PlaneFit probe = [&] {
    Table<real> pts(6, 3);
    for (int i = 1; i <= 6; ++i) set_row3(pts, i, row3(b.run.at.allgeom, i));
    return planarity(b.run, pts, 6);
  }();
  EXPECT_NEAR(std::abs(probe.plane[1]), 1.0, eps);
  xh_routines(b.run);
  for (int i = 1; i <= 6; ++i) EXPECT_NEAR(b.distance(i, i + 6), 1.083, 1e-5);
  EXPECT_NE(b.log.str().find("aromatic"), std::string::npos);
}

TEST(RingPlanarity, BenzeneOnMirrorPlaneParallelToZIsPlanar) {
  expect_benzene_on_mirror_planar(8.9, 7.2, 9.4, 90.0);   // orthorhombic, Pnma setting
  expect_benzene_on_mirror_planar(8.9, 7.2, 9.4, 104.5);  // monoclinic, P21/m setting
  expect_benzene_on_mirror_planar(8.9, 7.2, 9.4, 90.0, true);
  expect_benzene_on_mirror_planar(8.9, 7.2, 9.4, 104.5, true);
}

// Chair cyclohexane (C1..C6) with one more copy of C1 (total number 1) in row 7.
void chair(CrystalBuilder& b) {
  for (int k = 0; k < 6; ++k) {
    const Xyz p = polygon({5, 5, 5}, 1.45, 6, k);
    b.add("C", p + Xyz{0, 0, k % 2 == 0 ? 0.25 : -0.25});
  }
}

TEST(RingPlanarity, PuckeredRingIsNotFlaggedButIsAtEqualTolerance) {
  CrystalBuilder b(12, 12, 12, 90, 90, 90);
  chair(b);
  b.ring({1, 2, 3, 4, 5, 6});
  b.finish();
  prepplanarity(b.run, "RING_");
  EXPECT_EQ(b.run.at.specrings(1), 0);
  Table<real> pts(6, 3);
  for (int i = 1; i <= 6; ++i) set_row3(pts, i, row3(b.run.at.allgeom, i));
  const real dev = planarity(b.run, pts, 6).maxdev;
  EXPECT_NEAR(dev, 0.25, 1e-5);
  b.run.gv.tol2 = dev;
  prepplanarity(b.run, "RING_");
  EXPECT_EQ(b.run.at.specrings(1), 1);
  prepplanarity(b.run, "NOTHING");  // any other mode does nothing
}

TEST(RingPlanarity, ExtraMatchesAreCutAtRingSizeAndMissingOnesSkipped) {
  CrystalBuilder b(12, 12, 12, 90, 90, 90);
  // Triangle 1, 2, 3 in z = 2, and in row 2 an image of atom 1 far above.
  b.add("C", {0, 0, 2});
  b.add("C", {0, 0, 9}, 1);
  b.add("C", {1.5, 0, 2}, 2);
  b.add("C", {0, 1.5, 2}, 3);
  b.ring({3, 2, 1});      // rows 1, 2, 3 are the first three matches
  b.ring({1, 2, 3, 77});  // rows 1..4 match; size 4 takes them all
  b.ring({2, 3, 88, 99}); // two matches only
  b.finish();
  prepplanarity(b.run, "RING_");
  const auto& nics0 = b.run.tmp.nics0;
  EXPECT_NEAR(nics0(1, 3), (2 + 9 + 2) / 3.0, eps);
  EXPECT_EQ(b.run.at.specrings(1), 1);  // three points are always planar
  EXPECT_NEAR(nics0(2, 3), (2 + 9 + 2 + 2) / 4.0, eps);
  EXPECT_EQ(b.run.at.specrings(2), 0);
  EXPECT_NEAR(nics0(3, 1), 0.75, eps);
  EXPECT_NEAR(nics0(3, 2), 0.75, eps);
  EXPECT_EQ(b.run.at.specrings(3), 1);  // two points lie on a line
}

TEST(RingPlanarity, NicsPointsAreEvenlySpacedOnBothSides) {
  CrystalBuilder b(10.5, 11, 12, 90, 100, 90);
  for (int k = 0; k < 6; ++k) b.add("C", polygon({2, 3, 4}, 1.39, 6, k));
  for (int k = 0; k < 5; ++k) b.add("C", polygon({8, 3, 4}, 1.2, 5, k));
  b.ring({1, 2, 3, 4, 5, 6});
  b.ring({7, 8, 9, 10, 11});
  b.run.kw.knics = 1;
  b.run.gv.nnics = 2;
  b.run.gv.dnics = sp(1.0f);
  b.finish();
  prepplanarity(b.run, "RING_");
  const auto& t = b.run.tmp;
  ASSERT_EQ(t.nics1.rows(), 2);
  ASSERT_EQ(t.nics1.cols(), 6);
  const double cx[] = {2, 8};
  for (int r = 1; r <= 2; ++r) {
    EXPECT_NEAR(t.nics0(r, 1), cx[r - 1], eps);
    EXPECT_NEAR(t.nics0(r, 2), 3, eps);
    EXPECT_NEAR(t.nics0(r, 3), 4, eps);
    for (int p = 1; p <= 2; ++p) {
      // The normal is -z: nics1 below the ring, nics2 above.
      EXPECT_NEAR(t.nics1(r, 3 * p - 2), cx[r - 1], eps);
      EXPECT_NEAR(t.nics1(r, 3 * p - 1), 3, eps);
      EXPECT_NEAR(t.nics1(r, 3 * p), 4 - 0.5 * p, eps);
      EXPECT_NEAR(t.nics2(r, 3 * p), 4 + 0.5 * p, eps);
    }
  }
  // Without NICS the centres are still kept, and no probe point is set.
  b.run.kw.knics = 0;
  prepplanarity(b.run, "RING_");
  EXPECT_NEAR(t.nics0(2, 1), 8, eps);
  EXPECT_EQ(t.nics1(1, 3), 0);
}

TEST(GroupPlanarity, OnlyAtomsWithThreeOrMoreNeighboursAreJudged) {
  CrystalBuilder b(15, 15, 15, 90, 90, 90);
  // Formaldehyde (C1 trigonal), methane (C5 tetrahedral), a flat C-C-C chain (C10).
  const int c1 = b.add("C", {2, 2, 2});
  b.add("O", {2 + 1.21, 2, 2});
  b.add("H", {2 - 0.55, 2 + 0.95, 2});
  b.add("H", {2 - 0.55, 2 - 0.95, 2});
  const int c5 = b.add("C", {8, 8, 8});
  for (const Xyz& d : testing::tetrahedral()) b.add("H", Xyz{8, 8, 8} + 1.09 * d);
  const int c10 = b.add("C", {3, 10, 3});
  b.add("C", {3 + 1.5, 10, 3});
  b.add("C", {3 - 0.75, 10 + 1.3, 3});
  b.finish();
  ASSERT_EQ(b.run.at.allbonds(c10, 2), c10 + 2);
  b.run.kw.kring = 0;
  ring_routines(b.run);
  const auto& pl = b.run.at.planaratoms;
  ASSERT_EQ(pl.size(), b.run.gv.nat);
  EXPECT_EQ(pl(c1), 1);
  EXPECT_EQ(pl(c5), 0);
  EXPECT_EQ(pl(c10), 0);
  for (int i = 1; i <= b.run.gv.nat; ++i) {
    if (i != c1) {
      EXPECT_EQ(pl(i), 0) << i;
    }
  }
  // No RING: no ring tables of probe points, but the routine's banner and CPU line.
  EXPECT_FALSE(b.run.tmp.nics0.allocated());
  EXPECT_EQ(testing::mask_cpu(b.out.str()), " >> Ring routines <<\n -- CPU time = # s\n\n");
}

}  // namespace
}  // namespace orbicutter
