// The library on real crystals: each result type against the files the program
// of the same precision writes for the same input.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <sstream>

#include "orbicutter/orbicutter.hpp"
#include "support/runner.hpp"

namespace {

using orbicutter::Error;
using orbicutter::Structure;
using orbicutter::testing::mask_cpu;
using orbicutter::testing::read_file;

const std::string crystals = std::string(ORBICUTTER_TEST_DATA) + "/crystals/";

// A file that the program wrote for crystal `name` ("stdout" for its standard output).
std::string product(const std::string& name, const std::string& file) {
  static std::map<std::string, orbicutter::testing::RunResult> runs;
  auto it = runs.find(name);
  if (it == runs.end())
    it = runs.emplace(name, orbicutter::testing::run_program_on(read_file(crystals + name + ".inp"), name + ".inp"))
             .first;
  if (file == "stdout") return it->second.out;
  const auto f = it->second.files.find(file);
  return f == it->second.files.end() ? "(missing " + file + ")" : f->second;
}

// Half a unit in the last place of the files' six decimals.
constexpr double printed = 5.0001e-7;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// An XYZ row: label and three coordinates.
struct Row {
  std::string label;
  double x, y, z;
};
Row row_of(const std::string& line) {
  Row r;
  std::istringstream(line) >> r.label >> r.x >> r.y >> r.z;
  return r;
}

void expect_at(const orbicutter::Cartesian& c, const Row& r, double tolerance) {
  EXPECT_NEAR(c.x, r.x, tolerance) << r.label;
  EXPECT_NEAR(c.y, r.y, tolerance) << r.label;
  EXPECT_NEAR(c.z, r.z, tolerance) << r.label;
}

TEST(Structure, OptionsAndCrystalAsRead) {
  Structure s(read_file(crystals + "aspirin_dimr.inp"));
  const auto& o = s.options();
  EXPECT_EQ(o.dmax, 10.0);
  EXPECT_TRUE(o.dimers);
  EXPECT_EQ(o.gaussian_file, 1);
  EXPECT_EQ(o.xyz_file, 1);
  EXPECT_NEAR(o.contact_tolerance, 0.3, 1e-7);
  EXPECT_TRUE(o.fragment_search && o.fragment_shift && !o.fragment_completion);

  const auto& c = s.crystal();
  EXPECT_NEAR(c.cell.b, 6.544, 1e-6);
  EXPECT_NEAR(c.cell.beta, 95.89, 1e-4);
  EXPECT_EQ(c.crystal_system, "monoclinic");
  ASSERT_EQ(c.operations.size(), 4u);
  EXPECT_EQ(c.operations[3].text, "+x, -y-1/2, +z-1/2");
  EXPECT_EQ(c.operations[1].rotation[1][1], 1.0);
  EXPECT_EQ(c.operations[1].translation.y, 0.5);
  ASSERT_EQ(c.atoms.size(), 21u);
  const auto& o4 = c.atoms[12];
  EXPECT_EQ(o4.element, "O");
  EXPECT_EQ(o4.label, "O4");
  EXPECT_NEAR(o4.fractional.z, 0.0367, 1e-7);
  EXPECT_NEAR(o4.cartesian.y, 0.7815 * 6.544, 1e-5);
  EXPECT_EQ(o4.input_atom, 13);
}

// The whole molecules, seen from the cluster centre, are the test molecule file.
TEST(Structure, MoleculesAreTheTestMolecule) {
  Structure s(read_file(crystals + "benzene_test.inp"));
  const auto& m = s.molecules();
  ASSERT_EQ(m.molecules.size(), 1u);
  EXPECT_EQ(m.molecules[0].count, 6);
  const auto rows = lines_of(product("benzene_test", "testmol.xyz"));
  ASSERT_EQ(rows.size(), 2 + m.atoms.size() + 1);
  const auto centre = s.cluster().centre_cartesian;
  for (std::size_t i = 0; i < m.atoms.size(); ++i) {
    const Row r = row_of(rows[i + 2]);
    EXPECT_EQ(r.label, m.atoms[i].element + std::to_string(i + 1));
    EXPECT_EQ(m.atoms[i].molecule, 1);
    const auto& p = m.atoms[i].cartesian;
    expect_at({p.x - centre.x, p.y - centre.y, p.z - centre.z}, r, 2 * printed);
  }
}

TEST(Structure, ClusterIsTheXyzFile) {
  Structure s(read_file(crystals + "aspirin_dimr.inp"));
  const auto& cluster = s.cluster();
  const auto rows = lines_of(product("aspirin_dimr", "aspirin_dimr.xyz"));
  ASSERT_EQ(std::stoul(rows[0]), cluster.atoms.size());
  const std::string log = product("aspirin_dimr", "aspirin_dimr.out");
  const auto count = log.find(" Total number of molecules in the cluster = ");
  ASSERT_NE(count, std::string::npos);
  EXPECT_EQ(std::stoul(log.substr(count + 44, 6)), cluster.molecules.size());
  for (std::size_t i = 0; i < cluster.atoms.size(); ++i) {
    const auto& a = cluster.atoms[i];
    std::string label = a.element + std::to_string(i + 1);
    if (a.operation != 1) label += '_' + std::to_string(a.operation);
    const Row r = row_of(rows[i + 2]);
    ASSERT_EQ(r.label, label);
    expect_at(a.cartesian, r, printed);
  }
  // Molecules tile the atom list; the central one is an untranslated copy of fragment 1.
  int next = 0;
  for (const auto& m : cluster.molecules) {
    EXPECT_EQ(m.first, next);
    EXPECT_EQ(cluster.atoms[static_cast<std::size_t>(m.first)].molecule, m.number);
    next += m.count;
  }
  EXPECT_EQ(next, static_cast<int>(cluster.atoms.size()));
  EXPECT_EQ(cluster.molecules[0].count, 21);
  EXPECT_EQ(cluster.molecules[0].translation.a, 0);
}

TEST(Structure, DimersAreTheDimerFiles) {
  Structure s(read_file(crystals + "aspirin_dimr.inp"));
  const auto& dimers = s.dimers();
  const std::vector<int> numbers{4, 15, 19, 27, 28, 29, 30, 33, 34};
  ASSERT_EQ(dimers.size(), numbers.size());
  const std::string log = product("aspirin_dimr", "aspirin_dimr.out");
  for (std::size_t k = 0; k < dimers.size(); ++k) {
    const auto& d = dimers[k];
    ASSERT_EQ(d.number, numbers[k]);
    const auto file = lines_of(product("aspirin_dimr", "dimer_" + std::to_string(d.number) + ".xyz"));
    // " ORBICUTTER DIMER:    4 SYMMETRY:   1  0 -1  0 ORTEP: 54501 NDIM: 2"
    std::istringstream comment(file[1]);
    std::string word, code;
    int number, op, ta, tb, tc, ndim;
    comment >> word >> word >> number >> word >> op >> ta >> tb >> tc >> word >> code >> word >> ndim;
    EXPECT_EQ(d.operation, op);
    EXPECT_EQ(d.translation.a, ta);
    EXPECT_EQ(d.translation.b, tb);
    EXPECT_EQ(d.translation.c, tc);
    EXPECT_EQ(d.symmetry_code, code);
    EXPECT_EQ(d.multiplicity, ndim);
    // The partner's atoms follow the central molecule's in the file.
    const auto& partner = s.cluster().molecules[static_cast<std::size_t>(d.molecule - 1)];
    EXPECT_EQ(std::stoi(file[0]), 21 + partner.count);
    expect_at(s.cluster().atoms[static_cast<std::size_t>(partner.first)].cartesian, row_of(file[2 + 21]), printed);
    // The log line: number, distance, code.
    std::ostringstream line;
    line << '\n';
    line.setf(std::ios::fixed);
    line.precision(3);
    line.width(4);
    line << d.number;
    line.width(8);
    line << d.distance << "  " << d.symmetry_code << "\n";
    EXPECT_NE(log.find(line.str()), std::string::npos) << line.str();
  }
}

// Fluorocytosine with five waters in the asymmetric unit: each dimer names its
// partner, a fluorocytosine (13 atoms) or a water (3), by fragment and formula;
// a partner without its last atom would have another formula.
TEST(Structure, DimersNameTheirPartner) {
  Structure s(read_file(crystals + "fcyt_dimr.inp"));
  const auto& dimers = s.dimers();
  ASSERT_EQ(dimers.size(), 10u);
  for (const auto& d : dimers) {
    const auto file = lines_of(product("fcyt_dimr", "dimer_" + std::to_string(d.number) + ".xyz"));
    const bool water = std::stoi(file[0]) == 13 + 3;
    EXPECT_EQ(d.formula, water ? "H2 O" : "C4 H4 F N3 O") << d.number;
    EXPECT_EQ(d.fragment, s.cluster().molecules[static_cast<std::size_t>(d.molecule - 1)].fragment) << d.number;
    EXPECT_EQ(d.fragment >= 3, water) << d.number;
  }
}

// The table of writers, from which a front end offers one option per program.
TEST(Structure, OutputWritersOnePerOptionAndForm) {
  const auto writers = orbicutter::output_writers();
  std::map<std::string, std::string> keyword_of;
  for (const auto& w : writers) {
    EXPECT_TRUE(keyword_of.emplace(w.option + " " + w.form, w.keyword + " " + std::to_string(w.value)).second)
        << w.option << " " << w.form << " twice";
  }
  EXPECT_EQ(keyword_of, (std::map<std::string, std::string>{{"xyz plain", "XYZF 1"},
                                                            {"xyz extended", "XYZF 2"},
                                                            {"res ", "SHLX 1"},
                                                            {"adf ", "ADFF 1"},
                                                            {"gaussian ", "GAUF 1"},
                                                            {"orca ", "ORCF 1"},
                                                            {"crystal ", "CRYF 1"}}));
  for (const auto& w : writers) EXPECT_EQ(w.companion, w.option == "orca" ? ".orca.pc" : "") << w.option;
}

// With streams, the log and the screen hold what the program writes between its
// banner and its closing lines; without, nothing is written anywhere.
TEST(Structure, LogStreamsGetTheProgramsText) {
  std::ostringstream log, screen;
  Structure s(read_file(crystals + "aspirin_dimr.inp"), {&log, &screen}, "aspirin_dimr.inp");
  s.dimers();
  const std::string banner =
      "\n ==============\n | ORBICUTTER |\n ==============\n (" + orbicutter::version() + ")\n\n";
  const std::string closing = "\n Total CPU time";
  const std::string out = mask_cpu(product("aspirin_dimr", "stdout"));
  const std::string file = mask_cpu(product("aspirin_dimr", "aspirin_dimr.out"));
  EXPECT_EQ(mask_cpu(screen.str()), out.substr(banner.size(), out.find(closing) - banner.size()));
  EXPECT_EQ(mask_cpu(log.str()), file.substr(banner.size(), file.find(closing) - banner.size()));

  std::ostringstream captured;
  auto* old = std::cout.rdbuf(captured.rdbuf());
  Structure quiet(read_file(crystals + "aspirin_dimr.inp") + "VERB 2\n");
  quiet.dimers();
  std::cout.rdbuf(old);
  EXPECT_EQ(captured.str(), "");
}

TEST(Structure, ErrorsCarryTheirMessageLines) {
  try {
    Structure s("CELL 5 5 5 90 90 90\nSYMM 1 0\nx,y,z\n");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.origin(), Error::Origin::input);
    EXPECT_EQ(e.messages(), std::vector<std::string>{" --> Error while reading NFRG option <--"});
  }
  // The reader's checks at the end of reading: an operator that is no symmetry
  // of the cell stops, a warning goes to the screen stream.
  try {
    Structure s("CELL 5 6 7 90 90 90\nSYMM 2 0\nx,y,z\n-y,x,z\nNFRG 1 1\nM 1 1\nC C1 0 0 0\n");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.origin(), Error::Origin::input);
    EXPECT_EQ(e.messages().front(), " --> Not a symmetry of this cell: operation 2 (-y, +x, +z) <--");
  }
  std::ostringstream screen;
  Structure lone("CELL 5 6 7 90 90 90\nSYMM 1 0\nx,y,z\nNFRG 1 1\nM 1 1\nC C1 0 0 0\n", {nullptr, &screen});
  EXPECT_NE(screen.str().find("DMAX is 0.00"), std::string::npos);
  Structure s(read_file(crystals + "aspirin_dimr.inp") + "DMAX 500\n");
  EXPECT_EQ(s.molecules().atoms.size(), 21u);
  for (int attempt = 0; attempt < 2; ++attempt) {  // a failed step fails again, never half-built
    try {
      s.dimers();
      FAIL() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.origin(), Error::Origin::run);
      EXPECT_EQ(e.messages(), std::vector<std::string>{" --> Cluster too large: reduce DMAX <--"});
    }
  }
  // A step that stops half way: fragment completion has made the half benzene
  // whole (6 atoms become 12) when the manual X-H list turns out wrong. Asked
  // again, and by the steps after it, it gives the same error instead of running
  // on the changed tables.
  Structure half(read_file(crystals + "benzene_fb.inp") + "STXH 1 1\n1 99 1.0\n");
  for (int attempt = 0; attempt < 3; ++attempt) {
    try {
      if (attempt < 2) half.molecules();
      else half.dimers();
      FAIL() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.messages(), std::vector<std::string>{" --> Wrong atom number in manual X-H list <--"}) << attempt;
    }
  }
}

}  // namespace
