// Dimers: grouping by centroid distance, contact test, and the contents of the dimer files.
#include <gtest/gtest.h>

#include "cluster/cluster.hpp"
#include "pipeline/pipeline.hpp"
#include "support/crystal.hpp"
#include "support/runner.hpp"
#include "writers/cluster_fixture.hpp"
#include "writers/writers.hpp"

using namespace orbicutter;
using namespace orbicutter::testing;

namespace {

// Cell 8 x 8 x 8, centre (0.5, 0.5, 0.5); central molecule C at the centre and H
// 1 A above it. Partners:
//   1  C,H 2 A along +x (operator 2): contact; centroid distance 2.0616
//   2  C,H 2 A along -x (operator 3): same centroid distance, absorbed into 1
//   3  O 2 A below, fragment 2 with the same cluster fragment number as partner 2
//   4  O 3.5 A above: contact only through the H (2.5 A)
//   5  O 4 A along -y: no contact, centroid distance 4
//   6  C,H at 2.5 and 5.5 A above: centroid distance 4, absorbed into 5 although
//      its C would touch: the group has no dimer
// A cluster atom from the ten numbers of the cluster listing (input atom,
// fragment atom, fragment, operation, translation a, b, c, molecular atom,
// cluster fragment, cluster atom).
struct Row {
  std::string element, label;
  std::vector<int> info;
  real x, y, z;
};

ClusterModel rows_cluster(const std::vector<Row>& rows, int central) {
  std::vector<Placed> atoms;
  for (const Row& r : rows) {
    const auto& i = r.info;
    atoms.push_back({.element = r.element, .label = r.label, .input_atom = i[0], .fragment_atom = i[1],
                     .fragment = i[2], .operation = i[3], .cell = {i[4], i[5], i[6]}, .molecule_atom = i[7],
                     .copy = i[8], .number = i[9], .position = {r.x, r.y, r.z}});
  }
  return cluster_of(rectangular(8, 8, 8), vec(sp(0.5f), sp(0.5f), sp(0.5f)), atoms, central);
}

// The run's part in the dimers: the cell's metric and the contact tolerance.
void dimer_run(Run& run) { run.geo = rectangular(8, 8, 8); }

ClusterModel dimer_cluster() {
  return rows_cluster({{"C", "C1", {1, 1, 1, 1, 0, 0, 0, 1, 0, 1}, sp(0.5f), sp(0.5f), sp(0.5f)},
               {"H", "H1", {2, 2, 1, 1, 0, 0, 0, 2, 0, 2}, sp(0.5f), sp(0.5f), sp(0.625f)},
               {"C", "C1", {1, 1, 1, 2, 0, 0, 0, 1, 1, 3}, sp(0.75f), sp(0.5f), sp(0.5f)},
               {"H", "H1", {2, 2, 1, 2, 0, 0, 0, 2, 1, 4}, sp(0.75f), sp(0.5f), sp(0.625f)},
               {"C", "C1", {1, 1, 1, 3, -1, 0, 0, 1, 2, 5}, sp(0.25f), sp(0.5f), sp(0.5f)},
               {"H", "H1", {2, 2, 1, 3, -1, 0, 0, 2, 2, 6}, sp(0.25f), sp(0.5f), sp(0.625f)},
               {"O", "O1", {3, 1, 2, 4, 0, 0, -1, 3, 2, 7}, sp(0.5f), sp(0.5f), sp(0.25f)},
               {"O", "O1", {3, 1, 2, 2, 1, 1, 0, 3, 3, 8}, sp(0.5f), sp(0.5f), sp(0.9375f)},
               {"O", "O1", {3, 1, 2, 3, 0, -1, 0, 3, 4, 9}, sp(0.5f), sp(0.0f), sp(0.5f)},
               {"C", "C1", {1, 1, 1, 4, 0, 0, 1, 1, 3, 10}, sp(0.5f), sp(0.5f), sp(0.8125f)},
               {"H", "H1", {2, 2, 1, 4, 0, 0, 1, 2, 3, 11}, sp(0.5f), sp(0.5f), sp(1.1875f)}},
              2);
}

const std::string central_rows =
    " C         0.000000       0.000000       0.000000\n"
    " H         0.000000       0.000000       1.000000\n";

// The numbers of the dimers kept, as the phase announces them.
std::vector<int> numbers(const std::vector<DimerEntry>& dimers) {
  std::vector<int> n;
  for (const DimerEntry& d : dimers) n.push_back(d.number);
  return n;
}

template <class Writer>
std::string dimer_file(const ClusterModel& cluster, const DimerEntry& d, Writer writer) {
  std::ostringstream os;
  Unit unit = Unit::memory(os);
  writer(input_for(cluster, rectangular(8, 8, 8)), d, unit);
  return os.str();
}

TEST(DimerGeneration, KeepsTouchingRepresentativesAndTheirFiles) {
  MemoryRun logged;
  orbicutter::Run& run = logged.run;
  dimer_run(run);
  const ClusterModel cluster = dimer_cluster();
  // Each dimer is announced before its log line: a file that cannot be written
  // leaves the log without it.
  std::vector<std::string> log_before;
  const auto dimers = find_dimers(run, cluster, [&](const DimerEntry&) { log_before.push_back(logged.log.str()); });

  EXPECT_EQ(numbers(dimers), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(logged.log.str(),
            " ** DIMER GENERATION **\n"
            " -----------------------------------------------------------\n"
            " Number of generated dimers =      3\n"
            " -----------------------------------------------------------\n"
            "   1   2.062  55502\n"
            "   3   2.000  55404\n"
            "   4   3.500  66502\n"
            " -----------------------------------------------------------\n");
  ASSERT_EQ(log_before.size(), 3u);
  EXPECT_EQ(log_before[1].substr(log_before[1].size() - 20), "   1   2.062  55502\n");
  EXPECT_EQ(mask_cpu(logged.out.str()), " >> Dimer evaluation routine <<\n -- CPU time = # s\n\n");

  EXPECT_EQ(dimer_file(cluster, dimers[0], write_dimer),
            "     4\n"
            " ORBICUTTER DIMER:    1 SYMMETRY:   2  0  0  0 ORTEP: 55502 NDIM: 2\n" +
                central_rows +
                " C         2.000000       0.000000       0.000000\n"
                " H         2.000000       0.000000       1.000000\n");
  EXPECT_EQ(dimer_file(cluster, dimers[0], write_counterpoise),
            "C(Fragment=1)        0.000000       0.000000       0.000000\n"
            "H(Fragment=1)        0.000000       0.000000       1.000000\n"
            "C(Fragment=2)        2.000000       0.000000       0.000000\n"
            "H(Fragment=2)        2.000000       0.000000       1.000000\n"
            " \n"
            " \n");
  EXPECT_EQ(dimer_file(cluster, dimers[1], write_dimer),
            "     3\n"
            " ORBICUTTER DIMER:    3 SYMMETRY:   4  0  0 -1 ORTEP: 55404 NDIM: 1\n" +
                central_rows + " O         0.000000       0.000000      -2.000000\n");
  EXPECT_EQ(dimer_file(cluster, dimers[2], write_dimer),
            "     3\n"
            " ORBICUTTER DIMER:    4 SYMMETRY:   2  1  1  0 ORTEP: 66502 NDIM: 1\n" +
                central_rows + " O         0.000000       0.000000       3.500000\n");

  // Partners 2 and 3 share cluster fragment number 2 but are different molecules.
  EXPECT_EQ(dimers[0].atoms, 2);
  EXPECT_EQ(dimers[1].atoms, 1);
  EXPECT_EQ(dimers[1].first, 7);
}

TEST(DimerGeneration, CentralMoleculeAloneGivesCountZero) {
  MemoryRun logged;
  orbicutter::Run& run = logged.run;
  dimer_run(run);
  ClusterModel cluster = dimer_cluster();
  cluster.atoms.resize(2);
  cluster.molecule_first.resize(1);
  int announced = 0;
  find_dimers(run, cluster, [&](const DimerEntry&) { ++announced; });
  EXPECT_EQ(announced, 0);
  EXPECT_NE(logged.log.str().find(" Number of generated dimers =      0\n"
                                  " -----------------------------------------------------------\n"
                                  " -----------------------------------------------------------\n"),
            std::string::npos);
}

// Central X at the centre, one partner X 0.25 A away: elements without a van der
// Waals radius touch only through the tolerance, and a distance equal to the sum counts.
TEST(DimerGeneration, ContactThresholdIncludesTolerance) {
  for (const real tol4 : {sp(0.25f), sp(0.2499f)}) {
    MemoryRun logged;
    orbicutter::Run& run = logged.run;
    dimer_run(run);
    const ClusterModel cluster =
        rows_cluster({{"X", "X1", {1, 1, 1, 1, 0, 0, 0, 1, 0, 1}, sp(0.5f), sp(0.5f), sp(0.5f)},
                      {"X", "X1", {1, 1, 1, 2, 0, 0, 0, 1, 1, 2}, sp(0.53125f), sp(0.5f), sp(0.5f)}},
                     1);
    run.gv.tol4 = tol4;
    EXPECT_EQ(numbers(find_dimers(run, cluster)), tol4 == sp(0.25f) ? std::vector<int>{1} : std::vector<int>{}) << tol4;
  }
}

// Ten partners at exactly 3 A: NDIM 10, an operation number of 12 and a
// translation of 5 do not fit their one-digit fields.
TEST(DimerGeneration, OneDigitFieldsOverflowToAsterisks) {
  MemoryRun logged;
  orbicutter::Run& run = logged.run;
  dimer_run(run);
  std::vector<Row> atoms{{"C", "C1", {1, 1, 1, 1, 0, 0, 0, 1, 0, 1}, sp(0.5f), sp(0.5f), sp(0.5f)}};
  const float offsets[10][3] = {{3, 0, 0}, {-3, 0, 0}, {0, 3, 0}, {0, -3, 0}, {0, 0, 3},
                                {0, 0, -3}, {2, 2, 1}, {2, -2, 1}, {-2, 2, -1}, {1, 2, 2}};
  for (int p = 0; p < 10; ++p) {
    std::vector<int> info{1, 1, 1, p == 0 ? 12 : 2, p == 0 ? 5 : 0, p == 0 ? -6 : 0, 0, 1, p + 1, p + 2};
    atoms.push_back({"C", "C1", info, sp(0.5f + offsets[p][0] / 8), sp(0.5f + offsets[p][1] / 8),
                     sp(0.5f + offsets[p][2] / 8)});
  }
  const ClusterModel cluster = rows_cluster(atoms, 1);
  const auto dimers = find_dimers(run, cluster);
  ASSERT_EQ(numbers(dimers), std::vector<int>{1});
  const std::string text = dimer_file(cluster, dimers[0], write_dimer);
  EXPECT_EQ(text.substr(0, text.find('\n', 7) + 1),
            "     2\n ORBICUTTER DIMER:    1 SYMMETRY:  12  5 -6  0 ORTEP: **50* NDIM: *\n");
  EXPECT_NE(logged.log.str().find("\n   1   3.000  **50*\n"), std::string::npos);
}

}  // namespace
