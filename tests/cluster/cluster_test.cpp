// Cluster building on small crystals whose clusters are known by hand.
#include <gtest/gtest.h>

#include "cluster/cluster.hpp"
#include "cluster/cluster_fixture.hpp"
#include "pipeline/pipeline.hpp"
#include "model/stop.hpp"
#include "support/runner.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

// A rod of three atoms along a, 1.5 angstrom apart, in a P1 cell 8 x 7.5 x 20:
// the copy along a comes within 6.5 angstrom of the centre, the copy along b
// within 7.5, and nothing else within 9.
std::unique_ptr<Crystal> rod(double dmax, int kbuild) {
  auto c = std::make_unique<Crystal>(8.0, 7.5, 20.0, 90, 90, 90, std::vector<std::string>{"x,y,z"},
                                     std::vector<AtomSpec>{{"C", "C1", 0, 0, 0}, {"C", "C2", 0.1875, 0, 0},
                                                           {"C", "C3", 0.375, 0, 0}},
                                     dmax);
  c->run.kw.kbuild = kbuild;
  return c;
}

int molecules(Crystal& c) { return cluster_building(c.run).molecules(); }

TEST(ClusterBuilding, ThreeMethodsReachDifferently) {
  // Method 1 reaches 6.2: nothing. Method 2 adds the central radius 1.5 in every
  // direction: the copies along a (6.5) and b (7.5). Method 3 adds the distance to
  // the central atom nearest the candidate: 1.5 along a, 0 along b.
  EXPECT_EQ(molecules(*rod(6.2, 1)), 1);
  EXPECT_EQ(molecules(*rod(6.2, 2)), 5);
  EXPECT_EQ(molecules(*rod(6.2, 3)), 3);
  auto c = rod(6.2, 2);
  cluster_building(c->run);
  EXPECT_NE(c->log.str().find(" Maximal molecular distance =   1.500000\n"), std::string::npos);
  auto s = rod(6.2, 3);
  cluster_building(s->run);
  EXPECT_NE(s->log.str().find(" Maximal molecular distance will be based on molecular shape\n"), std::string::npos);
}

TEST(ClusterBuilding, CopyAtExactlyDmaxIsLeftOut) {
  // Method 2 with dmax 6: reach 7.5 exactly, the distance of the copies along b.
  EXPECT_EQ(molecules(*rod(6.0, 2)), 3);
  // One atom in a cube of 5 angstrom: neighbours at exactly 5.
  auto at5 = [](double dmax) {
    return std::make_unique<Crystal>(5.0, 5.0, 5.0, 90, 90, 90, std::vector<std::string>{"x,y,z"},
                                     std::vector<AtomSpec>{{"AR", "AR1", 0, 0, 0}}, dmax);
  };
  EXPECT_EQ(molecules(*at5(5.0)), 1);
  EXPECT_EQ(molecules(*at5(5.001)), 7);
}

TEST(ClusterBuilding, MoleculeOnInversionCentreAppearsOnce) {
  // A dumbbell centred on the origin of P-1: the inverted copy is the molecule itself.
  Crystal c(6.0, 6.0, 6.0, 90, 90, 90, {"x,y,z", "-x,-y,-z"}, {{"C", "C1", 0.12, 0, 0}, {"C", "C2", -0.12, 0, 0}}, 5.0);
  const ClusterModel one = cluster_building(c.run);
  EXPECT_EQ(one.size(), 2);
  EXPECT_EQ(one.molecules(), 1);
  // Further out the copies along a follow, each once, numbered in the order taken.
  Crystal d(6.0, 6.0, 6.0, 90, 90, 90, {"x,y,z", "-x,-y,-z"}, {{"C", "C1", 0.12, 0, 0}, {"C", "C2", -0.12, 0, 0}}, 5.5);
  const ClusterModel three = cluster_building(d.run);
  ASSERT_EQ(three.molecules(), 3);
  EXPECT_EQ(three.atom(3).cell[0], -1);
  EXPECT_EQ(three.atom(3).copy, 1);
  EXPECT_EQ(three.atom(5).cell[0], 1);
  EXPECT_EQ(three.atom(5).copy, 2);
  EXPECT_EQ(three.atom(6).number, 6);
  EXPECT_EQ(three.bonds.of(5)[0], 6);  // bonds translated to cluster atoms
  EXPECT_EQ(three.bonds.of(6)[0], 5);
}

// CsCl-like salt, a = 4: cation at the origin, anion at the body centre, 3.46 away.
std::unique_ptr<Crystal> salt(double dmax, double anion_shift) {
  const double x = 0.5 + anion_shift;
  auto c = std::make_unique<Crystal>(4.0, 4.0, 4.0, 90, 90, 90, std::vector<std::string>{"x,y,z"},
                                     std::vector<AtomSpec>{{"CS", "CS1", 0, 0, 0, 1, 1.0}, {"CL", "CL1", x, x, x, 2, -1.0}},
                                     dmax);
  return c;
}

TEST(ClusterBuilding, TwoFragmentSaltCountsEveryIon) {
  // dmax 3.8: no cation but the central one, all eight anions. The stored anion
  // and the central cation both carry cluster fragment number 0, yet are two molecules.
  auto c = salt(3.8, 0);
  const ClusterModel m = cluster_building(c->run);
  ASSERT_EQ(m.size(), 9);
  EXPECT_EQ(m.molecules(), 9);
  EXPECT_EQ(m.atom(2).fragment, 2);
  EXPECT_EQ(m.atom(2).copy, 0);  // stored copy
  for (int i = 3; i <= 9; ++i) EXPECT_EQ(m.atom(i).copy, i - 2);
  // dmax 4.5 adds the six cations at 4 angstrom.
  auto d = salt(4.5, 0);
  EXPECT_EQ(cluster_building(d->run).molecules(), 15);
  EXPECT_NE(d->log.str().find(" Total number of molecules in the cluster =     15\n"), std::string::npos);
}

TEST(ClusterBuilding, StoredCopyOutOfReachStartsNumberingAtTwo) {
  // The anion stored one cell away: its stored copy is not taken, the first moved copy is number 2.
  auto c = salt(3.8, 1.0);
  const ClusterModel m = cluster_building(c->run);
  ASSERT_EQ(m.size(), 9);
  EXPECT_EQ(m.atom(2).copy, 2);
  EXPECT_EQ(m.atom(9).copy, 9);
  EXPECT_EQ(m.molecules(), 9);
}

TEST(ClusterBuilding, StoredCopyTakesCentralOperationAndTranslation) {
  auto c = salt(3.8, 0);
  c->run.at.allinfo(1, translation_a) = 2;  // as if the central molecule had been shifted
  const ClusterModel m = cluster_building(c->run);
  EXPECT_EQ(m.atom(2).cell[0], 2);
  EXPECT_EQ(m.atom(2).operation, 1);
}

TEST(ClusterBuilding, CellsSearched) {
  auto cells = [](double dmax) {
    Crystal c(10.0, 12.0, 11.0, 90, 90, 90, {"x,y,z"}, {{"C", "C1", 0, 0, 0}}, dmax);
    return cluster_building(c.run).cells;
  };
  EXPECT_EQ(cells(4.9), 2);
  EXPECT_EQ(cells(5.0), 3);  // a half rounds away from zero
  EXPECT_EQ(cells(14.9), 3);
  EXPECT_EQ(cells(15.0), 4);
}

TEST(ClusterBuilding, FixedCentreIsUsedAsGiven) {
  auto c = salt(3.6, 0);
  c->run.kw.kgecr = 1;
  for (int k = 1; k <= 3; ++k) c->run.geo.geomcentfix(k) = sp(0.5f);
  const ClusterModel m = cluster_building(c->run);
  // Around the body centre the eight cations lie at 3.46: the central one and seven copies.
  EXPECT_EQ(m.atom(1).fragment, 1);
  EXPECT_EQ(m.molecules(), 9);
  EXPECT_NE(c->log.str().find(" Geometrical center =   0.500000  0.500000  0.500000\n"), std::string::npos);
}

TEST(ClusterBuilding, OversizedClusterStopsWithBox) {
  for (double dmax : {400.0, 1.0e9}) {
    auto c = salt(dmax, 0);
    try {
      cluster_building(c->run);
      FAIL() << "no stop for dmax " << dmax;
    } catch (const Error& e) {
      EXPECT_EQ(e.origin(), Error::Origin::run);
      EXPECT_EQ(e.messages(), std::vector<std::string>{" --> Cluster too large: reduce DMAX <--"});
    }
    EXPECT_EQ(c->log.str().find(" Total number of atoms"), std::string::npos);
  }
  // Just below the limits the estimate lets a large run through.
  auto ok = salt(60.0, 0);
  EXPECT_LT(estimate_cluster_size(ok->run, ok->run.gv.ncells, 0).atoms, max_cluster_atoms);
}

TEST(ClusterBuilding, ListingWithLegendChargesAndBonds) {
  Crystal c(6.0, 6.0, 6.0, 90, 90, 90, {"x,y,z", "-x,-y,-z"},
            {{"C", "C1", 0.12, 0, 0, 1, -0.5}, {"C", "C2", -0.12, 0, 0, 1, 0.25}}, 5.5);
  c.run.kw.kver = 2;
  c.run.kw.kcharge = 1;
  cluster_head(c.run);
  build_cluster(c.run);
  const std::string log = c.log.str();
  const std::string listing = section(log, " ** FULL CLUSTER INFORMATION **", " ** ORTEP CODES **");
  EXPECT_NE(listing.find("  >> (16) atom charge\n  >> (..) bonded atoms numbers\n"), std::string::npos);
  EXPECT_NE(listing.find(" C   C1      1     1     1     1     0     0     0     1     0     1  0.120000  0.000000  "
                         "0.000000 -0.500000     2\n"),
            std::string::npos);
  // The first copy taken: the translation -1 along a under the identity.
  EXPECT_NE(listing.find(" C   C1      1     1     1     1    -1     0     0     1     1     3 -0.880000  0.000000  "
                         "0.000000 -0.500000     4\n"),
            std::string::npos)
      << listing;
  EXPECT_EQ(c.out.str().substr(0, 32), " >> Cluster building routine <<\n");
  EXPECT_NE(c.out.str().find(" -- CPU time = "), std::string::npos);
}

// The water example with the positions it has after X-H standardisation: the
// whole cluster section of its log.
TEST(ClusterBuilding, WaterExampleLogSection) {
  Crystal c(10.0, 12.0, 8.0, 90.0, 105.0, 90.0, {"x, y, z", "-x, y+1/2, -z+1/2", "-x, -y, -z", "x, -y+1/2, z+1/2"},
            {{"O", "O1", 0.10, 0.20, 0.30, 1, -0.8},
             {"H", "H1", 0.158674, 0.258674, 0.358674, 1, 0.4},
             {"H", "H2", 0.041326, 0.258674, 0.241326, 1, 0.4}},
            12.0);
  c.run.kw.kver = 1;
  c.run.kw.kcharge = 1;
  cluster_building(c.run);
  const std::string expected =
      read_file(expected_folder("water") + "/water.out");
  const auto from = expected.find(" ** CLUSTER GENERATION **");
  ASSERT_NE(from, std::string::npos);
  // The section ends where the molecule census, written after the phase, begins.
  EXPECT_EQ(c.log.str(), expected.substr(from, expected.find(" ** MOLECULE CENSUS **", from) - from));
}

TEST(ClusterBuilding, TestModeWritesTestMoleculeAndStops) {
  auto c = salt(3.8, 0);
  c->run.gv.outf = "salt";
  c->run.kw.ktestmol = 1;
  std::ostringstream xyz;
  cluster_head(c->run);
  Unit unit = Unit::memory(xyz);
  write_testmol(molecule_atoms(c->run), c->run.geo.mt, c->run.geo.geomcent, c->run.gv.outf, unit);
  test_molecule_warning(c->run.sink);
  const std::string box = "\n ======\n !! WARNING in ORBICUTTER no. 002 !!\n --> Test XYZ file is printed <--\n"
                          " --> Program stops            <--\n ======\n\n ========\n | Stop |\n ========\n\n";
  EXPECT_EQ(xyz.str(),
            "     2\nsalt\n"
            "     CS1       0.000000       0.000000       0.000000\n"
            "     CL2       2.000000       2.000000       2.000000\n\n");
  EXPECT_EQ(c->out.str(), box);  // no cluster banner
  const std::string log = c->log.str();
  const std::string centre = " Geometrical center =   0.000000  0.000000  0.000000\n";
  EXPECT_EQ(log.substr(log.size() - centre.size() - box.size()), centre + box);
}

}  // namespace

namespace {

std::string benzene_with(const std::string& dmax_line, const std::string& extra) {
  std::string inp = read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/benzene_d8.inp");
  const auto at = inp.find("DMAX 8.0");
  inp.replace(at, 8, dmax_line);
  return inp + extra;
}

TEST(ClusterRun, TestModeWritesOnlyTheLogAndTestMolecule) {
  // Every product switched on, and a TEST value other than 1.
  const auto r = run_program_on(benzene_with("DMAX 8.0", "XYZF 1\nSHLX 1\nCRYF 1\nADFF 1\nGAUF 1\nDIMR 1\nTEST 7\n"));
  EXPECT_EQ(r.status, 0);
  std::vector<std::string> names;
  for (const auto& [name, _] : r.files) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"mol.out", "testmol.xyz"}));
  const std::string expected_dir = expected_folder("benzene_test") + "/";
  std::string xyz = read_file(expected_dir + "testmol.xyz");
  xyz.replace(xyz.find("benzene_test"), 12, "mol");
  EXPECT_EQ(r.files.at("testmol.xyz"), xyz);
  const std::string out = r.out;
  EXPECT_EQ(out.substr(out.find("\n\n ======\n !! WARNING in ORBICUTTER")), "\n\n ======\n !! WARNING in ORBICUTTER no. 002 !!\n"
            " --> Test XYZ file is printed <--\n --> Program stops            <--\n ======\n\n ========\n"
            " | Stop |\n ========\n\n");
  EXPECT_EQ(out.find(" >> Cluster building routine <<"), std::string::npos);
}

TEST(ClusterRun, HugeDmaxStopsAtOnceWithStatusOne) {
  const auto r = run_program_on(benzene_with("DMAX 500.0", "SHLX 1\n"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" !! ERROR in ORBICUTTER !!\n --> Cluster too large: reduce DMAX <--\n"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.files.count("mol.xyz"), 0u);
  EXPECT_EQ(r.files.count("mol.res"), 0u);
  ASSERT_EQ(r.files.count("mol.out"), 1u);
  EXPECT_NE(r.files.at("mol.out").find(" Number of unit cells considered =     77\n"), std::string::npos);
}

}  // namespace

namespace {

TEST(ClusterBuilding, ClusterOutgrowingItsCountsStops) {
  // The building stops as soon as the cluster passes its row limit (six-digit
  // counts in the program; ten rows here, so that the salt of 15 ions overflows).
  auto c = salt(4.5, 0);
  const real radius = prepare_building(c->run);
  try {
    assemble_cluster(c->run, c->run.gv.ncells, radius, 10);
    FAIL() << "no stop";
  } catch (const Error& e) {
    EXPECT_EQ(e.messages(), std::vector<std::string>{" --> Cluster too large: reduce DMAX <--"});
  }
  auto d = salt(4.5, 0);
  const real reach = prepare_building(d->run);
  EXPECT_EQ(assemble_cluster(d->run, d->run.gv.ncells, reach, 15).size(), 15);
}

}  // namespace
