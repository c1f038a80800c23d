// The fast building (bucketed coincidence test, hashed bond translation) against
// the literal brute-force procedure, table for table and bit for bit.
#include <gtest/gtest.h>

#include <random>

#include "cluster/cluster_fixture.hpp"
#include "geometry/spatial_index.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

struct Group {
  const char* name;
  std::vector<std::string> ops;
  bool hexagonal;
};

const std::vector<Group>& groups() {
  static const std::vector<Group> g = {
      {"P1", {"x,y,z"}, false},
      {"P-1", {"x,y,z", "-x,-y,-z"}, false},
      {"P21/c", {"x,y,z", "-x,y+1/2,-z+1/2", "-x,-y,-z", "x,-y+1/2,z+1/2"}, false},
      {"P212121", {"x,y,z", "-x+1/2,-y,z+1/2", "-x,y+1/2,-z+1/2", "x+1/2,-y+1/2,-z"}, false},
      {"C2/c",
       {"x,y,z", "-x,y,-z+1/2", "-x,-y,-z", "x,-y,z+1/2", "x+1/2,y+1/2,z", "-x+1/2,y+1/2,-z+1/2", "-x+1/2,-y+1/2,-z",
        "x+1/2,-y+1/2,z+1/2"},
       false},
      {"P-3", {"x,y,z", "-y,x-y,z", "-x+y,-x,z", "-x,-y,-z", "y,-x+y,-z", "x-y,x,-z"}, true},
  };
  return g;
}

// Both buildings on the same prepared crystal must leave identical tables.
void expect_same_tables(Crystal& fast, Crystal& slow) {
  const real r1 = prepare_building(fast.run);
  const real r2 = prepare_building(slow.run);
  const ClusterModel a = assemble_cluster(fast.run, fast.run.gv.ncells, r1);
  const ClusterModel b = literal_assemble(slow.run, r2);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(a.molecule_first, b.molecule_first);
  for (int i = 1; i <= a.size(); ++i) {
    const ClusterAtom &x1 = a.atom(i), &y1 = b.atom(i);
    ASSERT_EQ(std::string_view(x1.element), std::string_view(y1.element)) << "row " << i;
    ASSERT_EQ(std::string_view(x1.label), std::string_view(y1.label)) << "row " << i;
    const std::vector<int> xi = {x1.input_atom, x1.fragment_atom, x1.fragment, x1.operation, x1.cell[0],
                                 x1.cell[1],    x1.cell[2],        x1.molecule_atom, x1.copy, x1.number};
    const std::vector<int> yi = {y1.input_atom, y1.fragment_atom, y1.fragment, y1.operation, y1.cell[0],
                                 y1.cell[1],    y1.cell[2],        y1.molecule_atom, y1.copy, y1.number};
    ASSERT_EQ(xi, yi) << "row " << i;
    for (int c = 1; c <= 3; ++c) ASSERT_EQ(x1.position(c), y1.position(c)) << "row " << i;
    const auto x = a.bonds.of(i), y = b.bonds.of(i);
    ASSERT_EQ(std::vector<int>(x.begin(), x.end()), std::vector<int>(y.begin(), y.end())) << "row " << i;
  }
}

struct RandomCrystal {
  double cell[6];
  std::vector<std::string> ops;
  std::vector<AtomSpec> atoms;
  double dmax;
  int kbuild;
  bool gecr;
  double centre[3];
};

RandomCrystal random_crystal(unsigned seed) {
  std::mt19937 rng(seed);
  auto uni = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  RandomCrystal c{};
  const Group& g = groups()[static_cast<std::size_t>(pick(static_cast<int>(groups().size())))];
  c.ops = g.ops;
  if (g.hexagonal) {
    c.cell[0] = c.cell[1] = uni(4.5, 8);
    c.cell[2] = uni(4.5, 9);
    c.cell[3] = c.cell[4] = 90;
    c.cell[5] = 120;
  } else {
    for (int k = 0; k < 3; ++k) c.cell[k] = uni(4.5, 9);
    for (int k = 3; k < 6; ++k) c.cell[k] = pick(2) ? 90 : uni(75, 115);
  }
  const int nfrag = 1 + pick(3);
  for (int f = 1; f <= nfrag; ++f) {
    const int n = 1 + pick(4);
    double centre[3] = {uni(-0.2, 1.2), uni(-0.2, 1.2), uni(-0.2, 1.2)};
    const bool on_inversion = f == 1 && pick(3) == 0;
    if (on_inversion)
      for (double& x : centre) x = 0.5 * pick(2);
    for (int k = 0; k < n; ++k) {
      double x[3] = {centre[0] + uni(-0.1, 0.1), centre[1] + uni(-0.1, 0.1), centre[2] + uni(-0.1, 0.1)};
      if (on_inversion && k % 2 == 1) {  // the partner of the previous atom through the centre
        const auto& prev = c.atoms.back();
        x[0] = 2 * centre[0] - prev.x;
        x[1] = 2 * centre[1] - prev.y;
        x[2] = 2 * centre[2] - prev.z;
      }
      std::string label = "X";
      label += std::to_string(k + 1);
      AtomSpec a{pick(2) ? "C" : "H", label, x[0], x[1], x[2], f, 0};
      c.atoms.push_back(a);
    }
  }
  // Now and then an atom of a later fragment sits exactly on an image of fragment 1.
  if (nfrag > 1 && pick(2) == 0) {
    auto& a = c.atoms.back();
    a.x = c.atoms[0].x + 1;
    a.y = c.atoms[0].y;
    a.z = c.atoms[0].z - 1;
  }
  c.dmax = uni(1.5, 5.0);
  c.kbuild = 1 + pick(3);
  c.gecr = pick(5) == 0;
  for (double& x : c.centre) x = uni(0, 1);
  return c;
}

std::unique_ptr<Crystal> make(const RandomCrystal& r, int kbuild) {
  auto c = std::make_unique<Crystal>(r.cell[0], r.cell[1], r.cell[2], r.cell[3], r.cell[4], r.cell[5], r.ops, r.atoms,
                                     r.dmax);
  c->run.kw.kbuild = kbuild;
  if (r.gecr) {
    c->run.kw.kgecr = 1;
    for (int k = 1; k <= 3; ++k) c->run.geo.geomcentfix(k) = static_cast<real>(r.centre[k - 1]);
  }
  return c;
}

TEST(ClusterReference, RandomCrystalsAllMethods) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const RandomCrystal r = random_crystal(seed);
    for (int kbuild = 1; kbuild <= 3; ++kbuild) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " method " + std::to_string(kbuild));
      auto fast = make(r, kbuild);
      auto slow = make(r, kbuild);
      expect_same_tables(*fast, *slow);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// The benchmark's molecule, cut down so that the literal procedure stays quick.
TEST(ClusterReference, BenchmarkMoleculeAllMethods) {
  for (int kbuild = 1; kbuild <= 3; ++kbuild) {
    SCOPED_TRACE("method " + std::to_string(kbuild));
    auto fast = load_simple_input(std::string(ORBICUTTER_TEST_DATA) + "/../../bench/data/cluster-d10.inp");
    auto slow = load_simple_input(std::string(ORBICUTTER_TEST_DATA) + "/../../bench/data/cluster-d10.inp");
    for (auto* c : {fast.get(), slow.get()}) {
      c->run.kw.kbuild = kbuild;
      c->run.geo.dmax = sp(2.0f);
    }
    expect_same_tables(*fast, *slow);
  }
}

// Nearly flat cells: the vector a + b is a fraction of an angstrom long, the
// index must still offer every row the distance test could accept.
TEST(ClusterReference, NearlyFlatCells) {
  const std::vector<AtomSpec> atoms = {
      {"C", "C1", 0.1, 0.2, 0.3, 1, 0}, {"H", "H1", 0.12, 0.21, 0.35, 1, 0}, {"O", "O1", 0, 0, 0, 2, 0}};
  for (const double gamma : {178.2, 179.5}) {
    for (int kbuild = 1; kbuild <= 3; ++kbuild) {
      SCOPED_TRACE("gamma " + std::to_string(gamma) + " method " + std::to_string(kbuild));
      auto fast = std::make_unique<Crystal>(10, 10, 1, 90, 90, gamma, std::vector<std::string>{"x,y,z", "-x,-y,-z"},
                                            atoms, 6);
      auto slow = std::make_unique<Crystal>(10, 10, 1, 90, 90, gamma, std::vector<std::string>{"x,y,z", "-x,-y,-z"},
                                            atoms, 6);
      EXPECT_TRUE(SpatialIndex(fast->run.geo.g).hashed());
      fast->run.kw.kbuild = slow->run.kw.kbuild = kbuild;
      expect_same_tables(*fast, *slow);
    }
  }
}

TEST(SpatialIndex, OffersEveryRowWithinTheTolerance) {
  // A skewed cell, points on both sides of bucket edges.
  Crystal c(7.1, 9.3, 5.2, 70, 105, 115, {"x,y,z"}, {{"C", "C1", 0, 0, 0}}, 5);
  SpatialIndex index(c.run.geo.g);
  ASSERT_TRUE(index.hashed());
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-3, 3);
  std::vector<Vec3> pts;
  for (int i = 1; i <= 2000; ++i) {
    Vec3 p;
    for (int k = 1; k <= 3; ++k) p(k) = static_cast<real>(u(rng));
    pts.push_back(p);
    index.insert(i, p);
  }
  for (std::size_t i = 0; i < pts.size(); ++i) {
    Vec3 q = pts[i];
    q(1) += sp(1.0e-6f);  // about 7e-6 angstrom away: within the tolerance
    const int row = static_cast<int>(i) + 1;
    EXPECT_TRUE(index.any(q, [&](int r) { return r == row; })) << i;
  }
  // A point beyond the buckets' reach is still found; a NaN position never coincides.
  Vec3 far;
  far(1) = sp(1.0e6f);
  index.insert(2001, far);
  EXPECT_TRUE(index.any(far, [](int r) { return r == 2001; }));
  EXPECT_TRUE(index.any(pts[0], [](int r) { return r == 2001; }));
  Vec3 bad;
  bad(1) = std::numeric_limits<real>::quiet_NaN();
  EXPECT_FALSE(index.any(bad, [&](int r) {
    return calcdist(c.run, bad, r == 2001 ? far : pts[static_cast<std::size_t>(r - 1)]) < tiny;
  }));
}

}  // namespace
