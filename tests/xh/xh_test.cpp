// X-H standardisation: one small molecule per family of categories, the manual
// list and its checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/pipeline.hpp"
#include "fragments/fragments.hpp"
#include "model/stop.hpp"
#include "xh/crystal_builder.hpp"
#include "xh/xh.hpp"

namespace orbicutter {
namespace {

using testing::CrystalBuilder;
using testing::polygon;
using testing::tetrahedral;
using testing::umbrella;
using testing::unit;
using testing::Xyz;

struct Move {
  int x, h;
  std::string label;
  bool operator==(const Move&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Move& m) { return os << m.x << "-" << m.h << " " << m.label; }

// The adjustment lines of the log: " X = " I6 "  |  H = " I6 ... " " label.
std::vector<Move> moves(const std::string& log) {
  std::vector<Move> m;
  std::size_t at = 0;
  while (at < log.size()) {
    const std::size_t end = log.find('\n', at);
    const std::string line = log.substr(at, end - at);
    if (line.rfind(" X = ", 0) == 0 && line.size() > 90)
      m.push_back({std::stoi(line.substr(5, 6)), std::stoi(line.substr(20, 6)), line.substr(90)});
    at = end == std::string::npos ? log.size() : end + 1;
  }
  return m;
}

// A monoclinic cell, so that fractional steps differ from Cartesian ones.
struct Crystal : CrystalBuilder {
  Crystal() : CrystalBuilder(14.2, 15.1, 16.3, 90.0, 107.5, 90.0) {}
  // Atoms, bonds and rings in place; rings judged; then standardised.
  void standardise() {
    finish();
    ring_routines(run);
    xh_routines(run);
  }
  std::vector<Move> log_moves() const { return moves(log.str()); }
};

void expect_length(const Crystal& c, int x, int h, double target) {
  EXPECT_NEAR(c.distance(x, h), target, 1e-5) << "X " << x << " H " << h;
}

// Benzene ring C1..C6 around `centre` in the xy plane; returns the ring positions.
std::vector<Xyz> hexagon(Crystal& c, Xyz centre) {
  std::vector<Xyz> p;
  for (int k = 0; k < 6; ++k) {
    p.push_back(polygon(centre, 1.39, 6, k));
    c.add("C", p.back());
  }
  return p;
}
// Position at `length` from ring atom k (0-based) of an n-ring, pointing outwards.
Xyz radial(Xyz centre, double radius, int n, int k, double length) { return polygon(centre, radius + length, n, k); }

TEST(ShiftXH, WritesOneLineAndMovesAlongTheBond) {
  Crystal c;
  const int o = c.add("O", {3, 3, 3});
  const int h = c.add("H", Xyz{3, 3, 3} + 1.0 * unit({1, 2, 2}));
  c.finish();
  const Vec3 before = row3(c.run.at.allgeom, o);
  const XhMove m = shift_hydrogen(c.run.at.allgeom, c.run.geo.g, o, h, sp(0.958f), "water");
  write_xh_log(c.run.sink.log, " ** HEADING **", {m});
  const std::string rule = " -----------------------------------------------------------\n";
  EXPECT_EQ(c.log.str(), " ** HEADING **\n" + rule +
                             " X =      1  |  H =      2  |  Initial distance =   1.0000  |  Target distance =   0.9580 water\n" +
                             rule);
  expect_length(c, o, h, 0.958);
  EXPECT_EQ(row3(c.run.at.allgeom, o)(2), before(2));
  // Still on the line from X through the old H position.
  const Vec3 d = cartesian(c.run.geo.mt, row3(c.run.at.allgeom, h));
  EXPECT_NEAR(d(2) - 3, 2 * (d(1) - 3), 1e-5);
}

TEST(ShiftXH, HydrogenOnTopOfItsAtomStaysPut) {
  Crystal c;
  c.add("O", {3, 3, 3});
  c.add("H", {3, 3, 3});
  c.finish();
  const XhMove m = shift_hydrogen(c.run.at.allgeom, c.run.geo.g, 1, 2, sp(0.958f), "manual");
  EXPECT_EQ(c.run.at.allgeom(2, 1), c.run.at.allgeom(1, 1));
  EXPECT_EQ(m.initial, 0);
}

TEST(AutomaticXH, FrameOnScreenAndInLog) {
  Crystal c;
  c.add("O", {3, 3, 3});
  c.finish();
  xh_routines(c.run);
  EXPECT_EQ(c.out.str().substr(0, 51), " >> Automatic X-H bonds standardization routine <<\n");
  EXPECT_NE(c.out.str().find("\n -- CPU time = "), std::string::npos);
  EXPECT_EQ(c.out.str().substr(c.out.str().size() - 4), " s\n\n");
  const std::string rule = " -----------------------------------------------------------\n";
  EXPECT_EQ(c.log.str(), " ** AUTOMATIC X-H BONDS STANDARDIZATION **\n" + rule + rule);
}

TEST(AutomaticXH, WaterAndHydroxide) {
  Crystal c;
  const double half = 104.5 / 2 * 3.14159265358979 / 180;
  c.add("O", {4, 4, 4});
  c.add("H", {4 + 0.97 * std::sin(half), 4 + 0.97 * std::cos(half), 4});
  c.add("H", {4 - 0.97 * std::sin(half), 4 + 0.97 * std::cos(half), 4});
  c.add("O", {9, 9, 9});  // a lone O-H: no category
  c.add("H", {9.97, 9, 9});
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{1, 2, "water"}, {1, 3, "water"}}));
  expect_length(c, 1, 2, 0.958);
  expect_length(c, 1, 3, 0.958);
  expect_length(c, 4, 5, 0.97);
}

// Isopropanol: C2 carries C1, C3, O4 and H5; methyl H 6-8 and 9-11; H12 on O.
TEST(AutomaticXH, AlcoholMethineAndMethyl) {
  Crystal c;
  const Xyz c2{5, 5, 5};
  const auto t = tetrahedral();
  const Xyz c1 = c2 + 1.52 * t[0], c3 = c2 + 1.52 * t[1], o4 = c2 + 1.43 * t[2];
  c.add("C", c1);
  c.add("C", c2);
  c.add("C", c3);
  c.add("O", o4);
  c.add("H", c2 + 1.10 * t[3]);
  for (const Xyz& d : umbrella(c1 - c2, 109.47, 3, 30)) c.add("H", c1 + 1.09 * d);
  for (const Xyz& d : umbrella(c3 - c2, 109.47, 3, 30)) c.add("H", c3 + 1.09 * d);
  c.add("H", o4 + 0.96 * umbrella(o4 - c2, 109.47, 3, 60)[0]);
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{2, 5, "Z3-c(sp3)-H"},
                                               {1, 6, "H2C-c(sp3)-H"},
                                               {1, 7, "H2C-c(sp3)-H"},
                                               {1, 8, "H2C-c(sp3)-H"},
                                               {3, 9, "H2C-c(sp3)-H"},
                                               {3, 10, "H2C-c(sp3)-H"},
                                               {3, 11, "H2C-c(sp3)-H"},
                                               {4, 12, "C4-O-H"}}));
  expect_length(c, 2, 5, 1.098);
  expect_length(c, 3, 10, 1.077);
  expect_length(c, 4, 12, 0.970);
}

// Isobutane (methine on three C), propane (methylene between two C), ethanol
// (methylene on C and O), methane, methylamine's methyl (H2Z).
TEST(AutomaticXH, AlkylCategories) {
  Crystal c;
  const auto t = tetrahedral();
  // Isobutane: C1 centre, C2-C4, H5; methyl H on C2 only kept out of the way (6-8).
  const Xyz i0{3, 3, 3};
  c.add("C", i0);
  for (int k = 0; k < 3; ++k) c.add("C", i0 + 1.53 * t[static_cast<std::size_t>(k)]);
  c.add("H", i0 + 1.10 * t[3]);
  // Propane: C6-C7-C8, two H on C7 (9, 10).
  const Xyz p0{3, 9, 3};
  c.add("C", p0 + 1.53 * t[0]);
  c.add("C", p0);
  c.add("C", p0 + 1.53 * t[1]);
  c.add("H", p0 + 1.09 * t[2]);
  c.add("H", p0 + 1.09 * t[3]);
  // Ethanol fragment: C11 (CH2) with C12, O13 and H14, H15.
  const Xyz e0{9, 3, 3};
  c.add("C", e0);
  c.add("C", e0 + 1.52 * t[0]);
  c.add("O", e0 + 1.43 * t[1]);
  c.add("H", e0 + 1.09 * t[2]);
  c.add("H", e0 + 1.09 * t[3]);
  // Methane C16, H17-20.
  const Xyz m0{9, 9, 9};
  c.add("C", m0);
  for (const Xyz& d : t) c.add("H", m0 + 1.09 * d);
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{1, 5, "C3-c(sp3)-H"},
                                               {7, 9, "HC2-c(sp3)-H"},
                                               {7, 10, "HC2-c(sp3)-H"},
                                               {11, 14, "HZ2-c(sp3)-H"},
                                               {11, 15, "HZ2-c(sp3)-H"},
                                               {16, 17, "methane"},
                                               {16, 18, "methane"},
                                               {16, 19, "methane"},
                                               {16, 20, "methane"}}));
  expect_length(c, 1, 5, 1.099);
  expect_length(c, 7, 10, 1.092);
  expect_length(c, 11, 15, 1.091);
  expect_length(c, 16, 20, 1.087);
}

// Ethynol H-C1#C2-O3-H4: the alkyne C-H, and O-H on a C with two neighbours.
TEST(AutomaticXH, AlkyneAndHydroxylOnSpCarbon) {
  Crystal c;
  c.add("C", {4, 4, 4});
  c.add("C", {5.20, 4, 4});
  c.add("O", {6.56, 4, 4});
  c.add("H", {6.56 + 0.96 * std::cos(1.2392), 4 + 0.96 * std::sin(1.2392), 4});
  c.add("H", {2.94, 4, 4});
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{3, 4, "any"}, {1, 5, "alkine"}}));
  expect_length(c, 3, 4, 0.980);
  expect_length(c, 1, 5, 1.042);
}

// Phenol: ring C1..C6, O7 on C1, H8..H12 on C2..C6, H13 on O7.
void phenol(Crystal& c) {
  const Xyz z0{5, 5, 5};
  hexagon(c, z0);
  const Xyz o = radial(z0, 1.39, 6, 0, 1.36);
  c.add("O", o);
  for (int k = 1; k < 6; ++k) c.add("H", radial(z0, 1.39, 6, k, 1.08));
  c.add("H", o + 0.96 * Xyz{std::cos(71 * 3.14159265 / 180), std::sin(71 * 3.14159265 / 180), 0});
}

TEST(AutomaticXH, PhenolWithPlanarRing) {
  Crystal c;
  phenol(c);
  c.ring({1, 2, 3, 4, 5, 6});
  c.standardise();
  std::vector<Move> want;
  for (int k = 2; k <= 6; ++k) {
    want.push_back({k, k + 6, "any other"});
    want.push_back({k, k + 6, "aromatic"});
  }
  want.push_back({7, 13, "with aromatic C"});
  EXPECT_EQ(c.log_moves(), want);
  expect_length(c, 2, 8, 1.083);
  expect_length(c, 7, 13, 0.992);
  // The second move starts from the first one's result.
  EXPECT_NE(c.log.str().find("Initial distance =   1.0820  |  Target distance =   1.0830 aromatic"),
            std::string::npos);
}

TEST(AutomaticXH, PhenolWithoutRingsAndWithChov) {
  Crystal c;
  phenol(c);
  c.standardise();
  std::vector<Move> want;
  for (int k = 2; k <= 6; ++k) want.push_back({k, k + 6, "any other"});
  EXPECT_EQ(c.log_moves(), want);  // the O-H on a ring C that no ring lists is left alone
  expect_length(c, 2, 8, 1.082);

  Crystal v;
  phenol(v);
  v.run.kw.kchover = 1;
  v.standardise();
  expect_length(v, 4, 10, 1.083);
}

// 2-Furanol: ring O1 C2 C3 C4 C5, O6 on C2 (which then has two O), H7-H9 on
// C3-C5, H10 on O6.
TEST(AutomaticXH, HydroxylOnAromaticCarbonWithTwoOxygensIsAcid) {
  Crystal c;
  const Xyz z0{6, 6, 6};
  const double r = 1.2;
  c.add("O", polygon(z0, r, 5, 0));
  for (int k = 1; k < 5; ++k) c.add("C", polygon(z0, r, 5, k));
  const Xyz o6 = radial(z0, r, 5, 1, 1.36);
  c.add("O", o6);
  for (int k = 2; k < 5; ++k) c.add("H", radial(z0, r, 5, k, 1.08));
  const Xyz out = unit(o6 - z0), side = unit(polygon(z0, r, 5, 2) - polygon(z0, r, 5, 1));
  c.add("H", o6 + 0.97 * unit(0.33 * out + 0.94 * side));
  c.ring({1, 2, 3, 4, 5});
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{3, 7, "any other"},
                                               {3, 7, "aromatic"},
                                               {4, 8, "any other"},
                                               {4, 8, "aromatic"},
                                               {5, 9, "any other"},
                                               {5, 9, "aromatic"},
                                               {6, 10, "with aromatic C"},
                                               {6, 10, "acid"}}));
  expect_length(c, 6, 10, 1.018);
  expect_length(c, 5, 9, 1.083);
  EXPECT_NE(c.log.str().find("Initial distance =   0.9920  |  Target distance =   1.0180 acid"), std::string::npos);
}

// Benzoic acid: ring C1..C6, carboxyl C7 with O8 (=O) and O9 (-OH, H10), ring H11-15.
TEST(AutomaticXH, CarboxylicAcidOnAromaticRing) {
  Crystal c;
  const Xyz z0{5, 6, 7};
  hexagon(c, z0);
  const Xyz c7 = radial(z0, 1.39, 6, 0, 1.48);
  c.add("C", c7);
  c.add("O", c7 + 1.25 * Xyz{0.5, std::sqrt(0.75), 0});
  const Xyz o9 = c7 + 1.31 * Xyz{0.5, -std::sqrt(0.75), 0};
  c.add("O", o9);
  c.add("H", o9 + Xyz{0.97, 0, 0});
  for (int k = 1; k < 6; ++k) c.add("H", radial(z0, 1.39, 6, k, 1.08));
  c.ring({1, 2, 3, 4, 5, 6});
  c.standardise();
  auto m = c.log_moves();
  ASSERT_EQ(m.size(), 11u);
  EXPECT_EQ(m[0], (Move{9, 10, "acid"}));
  EXPECT_EQ(m[1], (Move{2, 11, "any other"}));
  EXPECT_EQ(m[2], (Move{2, 11, "aromatic"}));
  expect_length(c, 9, 10, 1.018);
}

// Methylammonium: C1, N2, methyl H3-5, ammonium H6-8; methylamine: C9, N10, H11-13, H14-15.
TEST(AutomaticXH, AmmoniumAndPrimaryAmineOnSp3Carbon) {
  Crystal c;
  const auto t = tetrahedral();
  const Xyz n2{4, 4, 4}, c1 = n2 + 1.49 * t[0];
  c.add("C", c1);
  c.add("N", n2);
  for (const Xyz& d : umbrella(c1 - n2, 109.47, 3, 60)) c.add("H", c1 + 1.09 * d);
  for (int k = 1; k < 4; ++k) c.add("H", n2 + 1.03 * t[static_cast<std::size_t>(k)]);
  const Xyz n10{10, 10, 10}, c9 = n10 + 1.47 * t[0];
  c.add("C", c9);
  c.add("N", n10);
  for (const Xyz& d : umbrella(c9 - n10, 109.47, 3, 60)) c.add("H", c9 + 1.09 * d);
  c.add("H", n10 + 1.01 * t[1]);
  c.add("H", n10 + 1.01 * t[2]);
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{1, 3, "H2Z-c(sp3)-H"},
                                               {1, 4, "H2Z-c(sp3)-H"},
                                               {1, 5, "H2Z-c(sp3)-H"},
                                               {2, 6, "NH4+"},
                                               {2, 7, "NH4+"},
                                               {2, 8, "NH4+"},
                                               {9, 11, "H2Z-c(sp3)-H"},
                                               {9, 12, "H2Z-c(sp3)-H"},
                                               {9, 13, "H2Z-c(sp3)-H"},
                                               {10, 14, "Csp3-n-H2"},
                                               {10, 15, "Csp3-n-H2"}}));
  expect_length(c, 2, 7, 1.036);
  expect_length(c, 10, 15, 1.002);
}

// Acetamide: C1 methyl, C2 carbonyl, O3, N4 with H5, H6, methyl H7-9.
void acetamide(Crystal& c, Xyz c2, const std::string& o3 = "O") {
  const double d = 3.14159265358979 / 180;
  auto dir = [&](double a) { return Xyz{std::cos(a * d), std::sin(a * d), 0}; };
  const Xyz c1 = c2 + 1.51 * dir(240), n4 = c2 + 1.34 * dir(120);
  c.add("C", c1);
  c.add("C", c2);
  c.add(o3, c2 + 1.23 * dir(0));
  c.add("N", n4);
  c.add("H", n4 + 1.0 * dir(60));
  c.add("H", n4 + 1.0 * dir(180));
  for (const Xyz& u : umbrella(c1 - c2, 109.47, 3, 90)) c.add("H", c1 + 1.09 * u);
}

TEST(AutomaticXH, AmideAndVinylAmine) {
  Crystal c;
  acetamide(c, {4, 4, 4});
  acetamide(c, {10, 10, 10}, "F");  // no O on the carbon: an sp2 amine
  c.standardise();
  const auto m = c.log_moves();
  ASSERT_EQ(m.size(), 10u);
  EXPECT_EQ(m[0], (Move{4, 5, "amido"}));
  EXPECT_EQ(m[1], (Move{4, 6, "amido"}));
  EXPECT_EQ(m[2], (Move{1, 7, "H2C-c(sp3)-H"}));
  EXPECT_EQ(m[5], (Move{13, 14, "Csp2-N-H2 not amido"}));
  expect_length(c, 4, 5, 1.010);
  expect_length(c, 13, 15, 1.012);
}

// Dimethylamine N-H (two C) and methylhydrazine: C-NH-NH2.
TEST(AutomaticXH, SecondaryAndHydrazineNitrogen) {
  Crystal c;
  const auto t = tetrahedral();
  const Xyz n1{4, 4, 4};
  c.add("N", n1);
  c.add("C", n1 + 1.46 * t[0]);
  c.add("C", n1 + 1.46 * t[1]);
  c.add("H", n1 + 1.01 * t[2]);
  const Xyz n5{10, 4, 10}, n6 = n5 + 1.45 * t[0];
  c.add("N", n5);
  c.add("N", n6);
  c.add("C", n5 + 1.46 * t[1]);
  c.add("H", n5 + 1.01 * t[2]);
  for (const Xyz& u : umbrella(n6 - n5, 109.47, 2, 60)) c.add("H", n6 + 1.01 * u);
  c.finish();
  // Leave the methyl groups bare: only N-H matters here.
  xh_routines(c.run);
  EXPECT_EQ(c.log_moves(),
            (std::vector<Move>{{1, 4, "C2-n-H"}, {5, 8, "Z2-n-H"}, {6, 9, "Z-n-H"}, {6, 10, "Z-n-H"}}));
  expect_length(c, 1, 4, 1.030);
  expect_length(c, 6, 10, 1.027);
}

// Aniline: ring C1..C6, N7 on C1 with H8, H9, ring H10-14; the NH2 flat or pyramidal.
void aniline(Crystal& c, bool planar) {
  const Xyz z0{6, 6, 6};
  hexagon(c, z0);
  const Xyz n7 = radial(z0, 1.39, 6, 0, 1.40);
  c.add("N", n7);
  if (planar) {
    for (const Xyz& u : umbrella({1, 0, 0}, 60, 2, 0)) c.add("H", n7 + 1.01 * u);
  } else {
    const auto u = umbrella({1, 0, 0}, 70.5, 3, 30);  // the third direction is the lone pair
    c.add("H", n7 + 1.01 * u[0]);
    c.add("H", n7 + 1.01 * u[1]);
  }
  for (int k = 1; k < 6; ++k) c.add("H", radial(z0, 1.39, 6, k, 1.08));
}

TEST(AutomaticXH, AnilinePlanarAndPyramidalAmino) {
  Crystal flat;
  aniline(flat, true);
  flat.ring({1, 2, 3, 4, 5, 6});
  flat.standardise();
  EXPECT_EQ(flat.run.at.planaratoms(7), 1);
  auto m = flat.log_moves();
  ASSERT_EQ(m.size(), 12u);
  EXPECT_EQ(m[0], (Move{7, 8, "C(ar)-n-H2(pl)"}));
  EXPECT_EQ(m[1], (Move{7, 9, "C(ar)-n-H2(pl)"}));
  expect_length(flat, 7, 9, 1.010);

  Crystal pyr;
  aniline(pyr, false);
  pyr.ring({1, 2, 3, 4, 5, 6});
  pyr.standardise();
  EXPECT_EQ(pyr.run.at.planaratoms(7), 0);
  m = pyr.log_moves();
  ASSERT_EQ(m.size(), 12u);
  EXPECT_EQ(m[0], (Move{7, 8, "C(ar)-n-H2(py)"}));
  expect_length(pyr, 7, 8, 1.024);
}

TEST(AutomaticXH, AminoOnRingCarbonDependsOnRingInput) {
  // No ring listed: the ring carbon counts as an sp2 carbon outside rings.
  Crystal none;
  aniline(none, true);
  none.standardise();
  auto m = none.log_moves();
  ASSERT_FALSE(m.empty());
  EXPECT_EQ(m[0], (Move{7, 8, "Csp2-N-H2 not amido"}));
  // The ring is listed but judged non-planar: the amino H is left alone.
  Crystal bent;
  aniline(bent, true);
  bent.ring({1, 2, 3, 4, 5, 6});
  bent.run.gv.tol2 = -1;
  bent.standardise();
  m = bent.log_moves();
  ASSERT_EQ(m.size(), 5u);
  for (const Move& mv : m) EXPECT_EQ(mv.label, "any other");
}

// Cyclopropene: C1=C2, C3H2; vinylic H4 (C1), H5 (C2); H6, H7 on C3.
TEST(AutomaticXH, CyclopropeneCarbons) {
  Crystal c;
  const Xyz c1{4, 4, 4}, c2{5.30, 4, 4}, c3{4.65, 4 + 1.366, 4};
  c.add("C", c1);
  c.add("C", c2);
  c.add("C", c3);
  c.add("H", c1 + 1.07 * unit({-1, -0.7, 0}));
  c.add("H", c2 + 1.07 * unit({1, -0.7, 0}));
  c.add("H", c3 + 1.09 * unit({0, 0.55, 0.83}));
  c.add("H", c3 + 1.09 * unit({0, 0.55, -0.83}));
  c.ring({1, 2, 3});
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{1, 4, "any other"},
                                               {1, 4, "cyclopropyl"},
                                               {2, 5, "any other"},
                                               {2, 5, "cyclopropyl"},
                                               {3, 6, "HC2-c(sp3)-H"},
                                               {3, 7, "HC2-c(sp3)-H"}}));
  expect_length(c, 1, 4, 1.080);
  expect_length(c, 3, 7, 1.092);
}

// Diborane B1, B2 with bridging H3, H4 and terminal H5-8; methanethiol C9, S10,
// H11-13, H14; silane Si15, H16-19.
TEST(AutomaticXH, BoronSulfurSilicon) {
  Crystal c;
  const Xyz b0{4, 4, 4};
  c.add("B", b0 + Xyz{-0.885, 0, 0});
  c.add("B", b0 + Xyz{0.885, 0, 0});
  c.add("H", b0 + Xyz{0, 0.9, 0});
  c.add("H", b0 + Xyz{0, -0.9, 0});
  for (double sx : {-1.0, 1.0})
    for (double sz : {-1.0, 1.0}) c.add("H", b0 + Xyz{sx * (0.885 + 0.62), 0, sz * 1.015});
  const auto t = tetrahedral();
  const Xyz s10{10, 4, 10}, c9 = s10 + 1.82 * t[0];
  c.add("C", c9);
  c.add("S", s10);
  for (const Xyz& u : umbrella(c9 - s10, 109.47, 3, 60)) c.add("H", c9 + 1.09 * u);
  c.add("H", s10 + 1.34 * t[1]);
  const Xyz si{4, 11, 11};
  c.add("Si", si);
  for (const Xyz& d : t) c.add("H", si + 1.48 * d);
  c.standardise();
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{1, 3, "B-H"},
                                               {2, 3, "B-H"},
                                               {1, 4, "B-H"},
                                               {2, 4, "B-H"},
                                               {1, 5, "B-H"},
                                               {1, 6, "B-H"},
                                               {2, 7, "B-H"},
                                               {2, 8, "B-H"},
                                               {9, 11, "H2Z-c(sp3)-H"},
                                               {9, 12, "H2Z-c(sp3)-H"},
                                               {9, 13, "H2Z-c(sp3)-H"},
                                               {10, 14, "S-H"},
                                               {15, 16, "Si-H"},
                                               {15, 17, "Si-H"},
                                               {15, 18, "Si-H"},
                                               {15, 19, "Si-H"}}));
  // A bridging H is moved once per bond; the last move wins.
  expect_length(c, 2, 3, 1.185);
  expect_length(c, 1, 6, 1.185);
  expect_length(c, 10, 14, 1.338);
  expect_length(c, 15, 19, 1.506);
}

// An image made by completion carries the total number of its source atom, and
// so belongs to the same rings: its C-H is aromatic too.
TEST(AutomaticXH, ImageBelongsToTheRingsOfItsSourceAtom) {
  Crystal c;
  const Xyz z0{5, 5, 5};
  for (int k = 0; k < 3; ++k) c.add("C", polygon(z0, 1.39, 6, k));
  for (int k = 3; k < 6; ++k) c.add("C", polygon(z0, 1.39, 6, k), k - 2);  // images of 1..3
  for (int k = 0; k < 6; ++k) c.add("H", radial(z0, 1.39, 6, k, 1.08), k < 3 ? 7 + k : 7 + k - 3);
  c.ring({1, 2, 3, 4, 5, 6});  // only 1..3 exist as total numbers; the images fill the ring
  c.standardise();
  EXPECT_EQ(c.run.at.specrings(1), 1);
  for (int k = 1; k <= 6; ++k) expect_length(c, k, k + 6, 1.083);
}

// Water O1 H2 H3 and a C4-H5 pair with a manual list.
void water_and_ch(Crystal& c) {
  c.add("O", {4, 4, 4});
  c.add("H", {4.6, 4.75, 4});
  c.add("H", {3.4, 4.75, 4});
  c.add("C", {9, 9, 9});
  c.add("H", {9, 9, 10.1});
}
void manual_list(Run& run, int nxh, const std::vector<std::tuple<int, int, double>>& e) {
  run.gv.nxh = nxh;
  run.gv.axh.allocate(static_cast<int>(e.size()), 2);
  run.gv.dxh.allocate(static_cast<int>(e.size()));
  for (int k = 1; k <= static_cast<int>(e.size()); ++k) {
    run.gv.axh(k, 1) = std::get<0>(e[static_cast<std::size_t>(k - 1)]);
    run.gv.axh(k, 2) = std::get<1>(e[static_cast<std::size_t>(k - 1)]);
    run.gv.dxh(k) = static_cast<real>(std::get<2>(e[static_cast<std::size_t>(k - 1)]));
  }
}
const std::string rule = " -----------------------------------------------------------\n";

TEST(ManualXH, PositiveCountReplacesTheAutomaticCategories) {
  Crystal c;
  water_and_ch(c);
  c.finish();
  // The same pair twice: the second wins. Pairs need not be X-H bonds.
  manual_list(c.run, 3, {{1, 2, 1.1}, {1, 2, 0.9}, {1, 4, 2.5}});
  const Vec3 h5 = row3(c.run.at.allgeom, 5);
  xh_routines(c.run);
  EXPECT_EQ(c.out.str(), "");  // no banner, no CPU line
  const std::string log = c.log.str();
  EXPECT_EQ(log.rfind(" ** MANUAL X-H BONDS STANDARDISATION **\n" + rule, 0), 0u);
  EXPECT_EQ(log.substr(log.size() - rule.size()), rule);
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{1, 2, "manual"}, {1, 2, "manual"}, {1, 4, "manual"}}));
  expect_length(c, 1, 2, static_cast<real>(0.9));
  expect_length(c, 1, 3, c.distance(1, 3));
  expect_length(c, 1, 4, static_cast<real>(2.5));
  EXPECT_EQ(row3(c.run.at.allgeom, 5)(3), h5(3));  // the automatic categories did not run
}

TEST(ManualXH, NegativeCountFollowsTheAutomaticCategories) {
  Crystal c;
  water_and_ch(c);
  c.finish();
  manual_list(c.run, -1, {{1, 3, 1.05}});
  xh_routines(c.run);
  EXPECT_EQ(c.out.str().rfind(" >> Automatic X-H bonds standardization routine <<\n", 0), 0u);
  const std::string log = c.log.str();
  EXPECT_NE(log.find(rule + " ** ADDITIONAL MANUAL X-H BONDS STANDARDISATION **\n" + rule), std::string::npos);
  EXPECT_EQ(c.log_moves(), (std::vector<Move>{{1, 2, "water"}, {1, 3, "water"}, {1, 3, "manual"}}));
  expect_length(c, 1, 2, 0.958);
  expect_length(c, 1, 3, static_cast<real>(1.05));
}

TEST(ManualXH, WrongAtomNumbersStopBeforeAnyHydrogenMoves) {
  const std::vector<std::vector<std::tuple<int, int, double>>> wrong = {
      {{1, 2, 1.0}, {0, 2, 1.0}}, {{1, 6, 1.0}}, {{3, 3, 1.0}}, {{-1, 2, 1.0}}};
  for (int sign : {1, -1}) {
    for (const auto& list : wrong) {
      Crystal c;
      water_and_ch(c);
      c.finish();
      const Table<real> before = c.run.at.allgeom;
      manual_list(c.run, sign * static_cast<int>(list.size()), list);
      try {
        xh_routines(c.run);
        ADD_FAILURE() << "no stop";
      } catch (const Error& e) {
        EXPECT_EQ(e.origin(), Error::Origin::run);
        EXPECT_EQ(e.messages(), std::vector<std::string>{" --> Wrong atom number in manual X-H list <--"});
      }
      for (int i = 1; i <= 5; ++i)
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(c.run.at.allgeom(i, k), before(i, k));
      EXPECT_EQ(c.log.str(), "");
      EXPECT_EQ(c.out.str(), "");
    }
  }
}

}  // namespace
}  // namespace orbicutter
