// Fragment modifications: identity operator, centre shift, completion by
// bonded images and its limit, and the all-atom tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "fragments/fragments.hpp"
#include "fragments/random_crystal.hpp"
#include "model/stop.hpp"
#include "support/runner.hpp"

namespace orbicutter::fragtest {
namespace {

const std::string rule = " -----------------------------------------------------------\n";

std::vector<Vec3> positions_of(const Run& run) {
  std::vector<Vec3> p;
  for (int i = 1; i <= run.gv.nat; ++i) p.push_back(row3(run.at.fgeom, i));
  return p;
}
std::vector<std::string> symbols_of(const Run& run) {
  std::vector<std::string> s;
  for (int i = 1; i <= run.gv.nat; ++i) s.push_back(run.at.fatns(i, 1));
  return s;
}

// Runs the fast completion and the literal restart scan side by side up to
// `cap` additions; returns the number of additions.
std::size_t expect_restart_order(const Run& run, std::size_t cap, int trial) {
  const auto literal = literal_completion(run, positions_of(run), symbols_of(run), cap);
  Completion fast(run, positions_of(run), symbols_of(run), run.gv.ncells);
  std::vector<Addition> got;
  Addition a;
  while (got.size() < cap && fast.next(a)) got.push_back(a);
  EXPECT_EQ(got.size(), literal.size()) << "trial " << trial;
  for (std::size_t i = 0; i < std::min(got.size(), literal.size()); ++i) {
    const auto &x = got[i], &y = literal[i];
    EXPECT_TRUE(x.k == y.k && x.s == y.s && x.m == y.m && x.t[0] == y.t[0] && x.t[1] == y.t[1] && x.t[2] == y.t[2])
        << "trial " << trial << " addition " << i;
    for (int d = 1; d <= 3; ++d) EXPECT_EQ(x.p(d), y.p(d));
    EXPECT_EQ(x.distance, y.distance);
    EXPECT_EQ(x.threshold, y.threshold);
    if (::testing::Test::HasFailure()) break;
  }
  return got.size();
}

TEST(Completion, AdditionsFollowTheRestartScanOnRandomCrystals) {
  std::mt19937 rng(77);
  int grown = 0;
  for (int trial = 0; trial < 30; ++trial) {
    const auto rc = random_crystal(rng, 2 + trial % 6, trial % 3 == 2);
    Crystal c(rc.cell, rc.ops, rc.atoms);
    if (trial % 4 == 1) c.exclude({{"C", "C"}});
    grown += expect_restart_order(c.run, 25, trial) > 3 ? 1 : 0;
  }
  EXPECT_GT(grown, 8);
}

// 48 and 24 operators: many images of one atom coincide, so new atoms often
// cut off translations of operators scanned before them.
TEST(Completion, AdditionsFollowTheRestartScanInHighSymmetryGroups) {
  std::mt19937 rng(2027);
  int grown = 0;
  for (int trial = 0; trial < 14; ++trial) {
    const auto rc = random_symmetric_crystal(rng, 1 + trial % 4);
    Crystal c(rc.cell, rc.ops, rc.atoms);
    c.run.gv.ncells = 1 + trial % 2;
    if (trial % 5 == 3) c.exclude({{"C", "H"}});
    grown += expect_restart_order(c.run, 30, trial) > 10 ? 1 : 0;
  }
  EXPECT_GT(grown, 6);
}

// Chains through the crystal, followed far beyond the first cells, where the
// new atoms bond with images scanned long before.
TEST(Completion, PolymersFollowTheRestartScanFarAlongTheChain) {
  std::mt19937 rng(4242);
  int long_chains = 0;
  for (int trial = 0; trial < 10; ++trial) {
    const auto rc = random_polymer_crystal(rng, 2 + trial % 3);
    Crystal c(rc.cell, rc.ops, rc.atoms);
    c.run.gv.ncells = 1;
    long_chains += expect_restart_order(c.run, 70, trial) == 70 ? 1 : 0;
  }
  EXPECT_GT(long_chains, 6);
}

Vec3 point(double x, double y, double z) {
  Vec3 p;
  p(1) = static_cast<real>(x);
  p(2) = static_cast<real>(y);
  p(3) = static_cast<real>(z);
  return p;
}

// The index behind completion offers every point that some translation of the
// window joins with the query point, whatever the points: far out, not finite,
// or in a cell the window cannot prune.
TEST(WindowIndex, OffersEveryPointTheWindowCanJoin) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-5, 5);
  Crystal c(Cell{25.1, 17.3, 13.2, 80, 100, 110}, {"x, y, z"}, {});
  Crystal flat(Cell{25.1, 17.3, 13.2, 90, 90, 90}, {"x, y, z"}, {});
  flat.run.geo.g(3, 3) = 0;
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  for (const orbicutter::Run* run : {&c.run, &flat.run}) {
    for (int nc : {0, 1, 2}) {
      const TranslationWindow window(run->geo.g, nc, sp(2.1f));
      WindowIndex index(window);
      std::vector<Vec3> points;
      for (int i = 0; i < 100; ++i) points.push_back(point(u(rng), u(rng), u(rng)));
      // A crowd in one box.
      for (int i = 0; i < 100; ++i) points.push_back(point(0.5 + u(rng) / 50, 0.5 + u(rng) / 50, 0.5 + u(rng) / 50));
      for (int i = 0; i < 30; ++i) points.push_back(point(std::round(u(rng)), 0.25, u(rng) / 4));
      // Many points near the edge of the window of another point.
      for (int i = 0; i < 400; ++i) {
        const Vec3 q = points[rng() % 200];
        double x[3];
        for (int a = 0; a < 3; ++a) {
          const double edge = window.prunes() ? window.half_width(a) : 0.3;
          // Translations inside, at and just beyond the last one the window tries.
          const int t = i % 2 ? static_cast<int>(rng() % 7) - 3
                              : (rng() % 2 ? 1 : -1) * (nc + static_cast<int>(rng() % 2));
          x[a] = static_cast<double>(q.v[a]) + static_cast<double>(t) + edge * (2.2 * u(rng) / 10);
        }
        points.push_back(point(x[0], x[1], x[2]));
      }
      for (double far : {1e7, 1e7 + 1, 1e7 + 0.01, -3e9}) points.push_back(point(far, 0.5, 0.5));
      points.push_back(point(nan, 0.5, 0.5));
      points.push_back(point(0.5, inf, 0.5));
      for (std::size_t i = 0; i < points.size(); ++i) index.insert(static_cast<long long>(i), points[i]);
      int joined = 0;
      for (std::size_t j = 0; j < points.size(); ++j) {
        std::vector<long long> ids;
        index.near(points[j], ids);
        std::vector<char> offered(points.size(), 0);
        for (long long id : ids) offered[static_cast<std::size_t>(id)] = 1;
        for (std::size_t i = 0; i < points.size(); ++i) {
          int lo[3], hi[3];
          if (window.range(points[j], points[i], lo, hi) || window.range(points[i], points[j], lo, hi)) {
            EXPECT_TRUE(offered[i]) << "point " << i << " query " << j << " ncells " << nc;
            ++joined;
          }
        }
      }
      EXPECT_GT(joined, 400);
    }
  }
}

// A chain through a cubic crystal with 48 operators, found by the fragment
// search and completed up to 200 x 48 atoms, ends with the box.
TEST(FragmentModifications, ChainInCubicCrystalGrowsToTheLimitOfTheWholeUnit) {
  std::string input = "CELL 25 25 25 90 90 90\nSYMM 48 0\n";
  for (const auto& op : cubic_operators(false, true)) input += op + "\n";
  input += "NFRG 200 1\nMOL 1 200\n";
  char line[96];
  for (int j = 0; j < 17; ++j) {
    std::snprintf(line, sizeof line, "C C%d %.6f 0.3 0.1\n", j + 1, (j + 0.5) / 17);
    input += line;
  }
  // Away from every image of the chain (the atoms may bond among themselves).
  for (int i = 0; i < 183; ++i) {
    std::snprintf(line, sizeof line, "Q Q%d %.6f %.6f %.6f\n", i, 0.46 + 0.0004 * i, 0.53 - 0.0003 * i,
                  0.47 + 0.0002 * i);
    input += line;
  }
  input += "FRGM 1 1 1\nDMAX 5\n";
  const auto r = testing::run_program_on(input, "chain.inp");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" --> Too many atoms generated <--\n"), std::string::npos);
  ASSERT_TRUE(r.files.count("chain.out"));
  const std::string& log = r.files.at("chain.out");
  // The 17 atoms of the chain and 9584 images make one atom more than 9600.
  std::size_t bonds = 0;
  for (std::size_t p = 0; (p = log.find(" New bond has been detected", p)) != std::string::npos; ++p) ++bonds;
  EXPECT_EQ(bonds, 9584u);
  EXPECT_EQ(log.find(" Fragment number =      2\n"), std::string::npos);
}

TEST(FragmentModifications, CentreOutsideTheCellIsShiftedByWholeCells) {
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"},
            {{"C", "C1", -0.25, 1.25, 0.75}, {"C", "C2", -0.125, 1.375, 1.25}, {"O", "O1", 0, 0, 0, 2}});
  fragment_modifications(c.run);
  EXPECT_EQ(c.log_text(),
            " ** FRAGMENT MODIFICATIONS **\n" + rule +
                " Fragment number =      1\n"
                " Fragment geometrical center =  -0.187500  1.312500  1.000000\n"
                " Fragment geometrical center is outside unit cell\n"
                " New fragment geometrical center after shift  =   0.812500  0.312500  0.000000\n"
                " Fragment number =      2\n"
                " Fragment geometrical center =   0.000000  0.000000  0.000000\n" +
                rule);
  EXPECT_EQ(c.out_text(), "") << "banner and CPU time are the driver's";
  const auto& at = c.run.at;
  ASSERT_EQ(c.run.gv.nat, 3);
  EXPECT_EQ(at.allgeom(1, 1), real(0.75));
  EXPECT_EQ(at.allgeom(1, 2), real(0.25));
  EXPECT_EQ(at.allgeom(2, 3), real(0.25));
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(at.allinfo(i, symmetry_operation), 1);
    for (int col = 5; col <= 7; ++col) EXPECT_EQ(at.allinfo(i, col), 0);  // the shift is not recorded
    EXPECT_EQ(at.allinfo(i, molecule_atom), i);
  }
}

TEST(FragmentModifications, WithoutShiftOrCompletionTheFragmentsAreCopied) {
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"},
            {{"C", "C1", 1.5, 0.5, 0.5}, {"H", "H1", 1.6, 0.5, 0.5}, {"O", "O1", 0.2, 0.2, 0.2, 2}});
  c.run.kw.kfragsft = 0;
  fragment_modifications(c.run);
  EXPECT_EQ(c.log_text(),
            " Fragment number =      1\n"
            " Fragment geometrical center =   1.550000  0.500000  0.500000\n"
            " Fragment number =      2\n"
            " Fragment geometrical center =   0.200000  0.200000  0.200000\n" +
                rule);
  const auto& at = c.run.at;
  ASSERT_EQ(at.allinfo.rows(), 3);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(at.allatns(i, 2), at.fatns(i, 2));
    for (int col = 1; col <= 3; ++col) EXPECT_EQ(at.allinfo(i, col), at.finfo(i, col));
    for (int col = 1; col <= 3; ++col) EXPECT_EQ(at.allgeom(i, col), at.fgeom(i, col));
    EXPECT_EQ(at.allinfo(i, molecule_atom), i);
  }
}

TEST(FragmentModifications, FragmentsAreTheBlocksOfRowsWhateverTheirHeaderNumbers) {
  // Two input blocks both headed "1" (no fragment search): the second block
  // must not overwrite the first.
  Crystal c({10, 10, 10, 90, 90, 90}, {"x, y, z"},
            {{"C", "C1", 0.1, 0.1, 0.1}, {"C", "C2", 0.2, 0.1, 0.1}, {"O", "O1", 0.5, 0.5, 0.5, 2}});
  c.run.at.finfo(3, fragment_number) = 1;
  c.run.kw.kfragsft = 0;
  fragment_modifications(c.run);
  const auto& at = c.run.at;
  ASSERT_EQ(c.run.gv.nat, 3);
  EXPECT_EQ(trim(at.allatns(3, 2)), "O1");
  EXPECT_EQ(at.allinfo(3, fragment_atom), 1);
  EXPECT_EQ(at.allinfo(3, fragment_number), 2);
  EXPECT_EQ(at.allgeom(3, 1), static_cast<real>(0.5));
}

TEST(FragmentModifications, IdentityOperatorIsTheLastOneOrNone) {
  const std::vector<Atom> atom = {{"O", "O1", 0.2, 0.2, 0.2}};
  Crystal twice({10, 10, 10, 90, 90, 90}, {"x, y, z", "-x, -y, -z", "x, y, z"}, atom);
  fragment_modifications(twice.run);
  EXPECT_EQ(twice.run.at.allinfo(1, symmetry_operation), 3);
  Crystal none({10, 10, 10, 90, 90, 90}, {"-x, -y, -z", "x+1/2, y, z"}, atom);
  fragment_modifications(none.run);
  EXPECT_EQ(none.run.at.allinfo(1, symmetry_operation), 0);
}

TEST(FragmentModifications, SingleIonHasNothingToAdd) {
  Crystal c({7, 7, 7, 90, 90, 90}, {"x, y, z", "-x, -y, -z"}, {{"Cl", "Cl1", 0.25, 0.25, 0.25}});
  c.run.kw.kfragbld = 1;
  fragment_modifications(c.run);
  EXPECT_EQ(c.log_text(),
            " ** FRAGMENT MODIFICATIONS **\n" + rule +
                " Fragment number =      1\n"
                " Fragment geometrical center =   0.250000  0.250000  0.250000\n"
                " No more new atoms found\n" +
                rule);
  EXPECT_EQ(c.run.at.frag(1, frag_size), 1);
}

// Benzene (Pbca) with half a molecule in the asymmetric unit.
Crystal half_benzene(bool charged) {
  return Crystal({7.287, 9.20, 6.688, 90, 90, 90},
                 {"x, y, z", "-x+1/2, -y, z+1/2", "-x, y+1/2, -z+1/2", "x+1/2, -y+1/2, -z", "-x, -y, -z",
                  "x-1/2, y, -z-1/2", "x, -y-1/2, z-1/2", "-x-1/2, y-1/2, z"},
                 {{"C", "C1", -0.0537, 0.1425, 0.0097, 1, -0.1},
                  {"H", "H1", -0.085, 0.246, 0.034, 1, 0.15},
                  {"C", "C2", 0.0840, 0.0924, 0.1373, 1, -0.2},
                  {"H", "H2", 0.140, 0.156, 0.219, 1, 0.25},
                  {"C", "C3", 0.1343, -0.0521, 0.1235, 1, -0.3},
                  {"H", "H3", 0.220, -0.080, 0.204, 1, 0.35}},
                 charged);
}

TEST(FragmentModifications, CompletedAtomsCarryTheChargeOfTheirSource) {
  Crystal c = half_benzene(true);
  c.run.kw.kfragbld = 1;
  fragment_search(c.run);
  fragment_modifications(c.run);
  const auto& at = c.run.at;
  ASSERT_EQ(c.run.gv.nat, 12);
  EXPECT_EQ(at.frag(1, frag_size), 12);
  for (int i = 7; i <= 12; ++i) {
    const int source = at.allinfo(i, total_atom);
    EXPECT_EQ(at.allinfo(i, symmetry_operation), 5);  // through the inversion centre
    EXPECT_EQ(at.allcharge(i), at.allcharge(source)) << i;
    EXPECT_EQ(at.allgeom(i, 1), -at.allgeom(source, 1));
  }
}

// Polyethylene (Pnam): every CH2 group is bonded to the next one along c, so
// completion never ends by itself.
Crystal polyethylene() {
  return Crystal({7.417, 4.945, 2.547, 90, 90, 90},
                 {"x, y, z", "-x+1/2, y+1/2, -z", "-x, -y, z+1/2", "x+1/2, -y+1/2, -z+1/2", "-x, -y, -z",
                  "x+1/2, -y+1/2, z", "x, y, -z+1/2", "-x+1/2, y+1/2, z+1/2"},
                 {{"C", "C1", 0.038, 0.065, 0.25}, {"H", "H1", 0.184, 0.041, 0.25}, {"H", "H2", 0.004, 0.279, 0.25}});
}

TEST(FragmentModifications, ChainPolymerStopsAtTheAtomLimit) {
  Crystal c = polyethylene();
  c.run.kw.kfragbld = 1;
  fragment_search(c.run);
  try {
    fragment_modifications(c.run);
    FAIL() << "no stop";
  } catch (const Error& e) {
    EXPECT_EQ(e.messages(), (std::vector<std::string>{" --> Too many atoms generated <--",
                                                       " --> for a fragment           <--"}));
    EXPECT_EQ(e.origin(), Error::Origin::run);
  }
  // 3 input atoms and 8 operators: the 25th atom is one too many.
  std::size_t bonds = 0;
  for (std::size_t p = 0; (p = c.log_text().find(" New bond has been detected", p)) != std::string::npos; ++p) ++bonds;
  EXPECT_EQ(bonds, 22u);
}

TEST(FragmentModifications, LargeChainPolymerReachesTheLimit) {
  // 117 single atoms of an unknown element besides the chain raise the limit
  // to 120 x 8 = 960 atoms, all of which the chain fragment must build first.
  Crystal c = polyethylene();
  std::vector<Atom> atoms = {{"C", "C1", 0.038, 0.065, 0.25}, {"H", "H1", 0.184, 0.041, 0.25},
                             {"H", "H2", 0.004, 0.279, 0.25}};
  for (int i = 0; i < 117; ++i)
    atoms.push_back({"Q", label("Q", i), 0.31 + 0.003 * i, 0.62 - 0.002 * i, 0.11 + 0.005 * i, i + 2});
  c.set_atoms(atoms);
  c.run.kw.kfragbld = 1;
  EXPECT_THROW(fragment_modifications(c.run), Error);
  EXPECT_NE(c.log_text().find(" Fragment number =      1\n"), std::string::npos);
  EXPECT_EQ(c.log_text().find(" Fragment number =      2\n"), std::string::npos);
}

TEST(FragmentModifications, PolymerInputEndsTheProgramWithTheBox) {
  const auto r = testing::run_program_on(
      "CELL 7.417 4.945 2.547 90 90 90\n"
      "SYMM 8 0\nx, y, z\n-x+1/2, y+1/2, -z\n-x, -y, z+1/2\nx+1/2, -y+1/2, -z+1/2\n"
      "-x, -y, -z\nx+1/2, -y+1/2, z\nx, y, -z+1/2\n-x+1/2, y+1/2, z+1/2\n"
      "NFRG 3 1\nMOL 1 3\nC C1 0.038 0.065 0.25\nH H1 0.184 0.041 0.25\nH H2 0.004 0.279 0.25\n"
      "FRGM 1 1 1\nDMAX 5\n",
      "pe.inp");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("\n ======\n !! ERROR in ORBICUTTER !!\n --> Too many atoms generated <--\n"
                       " --> for a fragment           <--\n ======\n"),
            std::string::npos);
  ASSERT_TRUE(r.files.count("pe.out"));
  const std::string log = r.files.at("pe.out");
  // The three atoms lie on the mirror x, y, -z+1/2.
  EXPECT_NE(log.find(" C   C1      1 on symmtery element =  7\n H   H1      2 on symmtery element =  7\n"),
            std::string::npos);
}

}  // namespace
}  // namespace orbicutter::fragtest
