// The ORCA input template, read back by a reader of ORCA's input grammar: simple
// input lines ("!"), blocks ("%name ... end"; %maxcore and %pointcharges take one
// value), the "* xyz charge multiplicity" block of atoms ending with "*", comments
// from "#" to the next "#" or the end of the line; and the point-charge file: the
// number of charges, then one "charge x y z" line each (angstrom).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

#include "orbicutter/orbicutter.hpp"
#include "support/runner.hpp"

using namespace orbicutter::testing;

namespace {

struct OrcaAtom {
  std::string element;
  double x, y, z;
};

struct OrcaInput {
  std::vector<std::string> keywords;                       // from "!" lines, upper case
  std::map<std::string, std::vector<std::string>> blocks;  // %name -> tokens up to its end
  int charge = 0, multiplicity = 0;
  std::vector<OrcaAtom> atoms;
};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The text without comments: "#" opens one, the next "#" or the line end closes it.
std::string without_comments(const std::string& text) {
  std::string out;
  bool comment = false;
  for (char c : text) {
    if (c == '\n') comment = false;
    if (c == '#') {
      comment = !comment;
      continue;
    }
    if (!comment) out += c;
  }
  return out;
}

OrcaInput read_orca(const std::string& text) {
  OrcaInput in;
  std::istringstream lines(without_comments(text));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (first[0] == '!') {
      std::string w = first.substr(1);
      do {
        if (!w.empty()) in.keywords.push_back(upper(w));
      } while (words >> w);
    } else if (first[0] == '%') {
      const std::string name = upper(first.substr(1));
      auto& tokens = in.blocks[name];
      std::string w;
      if (name == "MAXCORE" || name == "POINTCHARGES") {
        EXPECT_TRUE(static_cast<bool>(words >> w)) << line;
        tokens.push_back(w);
        continue;
      }
      // Tokens up to the block's own end; a list such as QMAtoms {..} has an end of its own.
      int open = 1;
      for (;;) {
        while (words >> w) {
          if (upper(w) == "END" && --open == 0) break;
          if (w.front() == '{') ++open;
          tokens.push_back(w);
        }
        if (open == 0 || !std::getline(lines, line)) break;
        words = std::istringstream(line);
      }
      EXPECT_EQ(open, 0) << "block " << name << " without end";
    } else if (first == "*") {
      std::string type;
      words >> type >> in.charge >> in.multiplicity;
      EXPECT_EQ(upper(type), "XYZ");
      while (std::getline(lines, line) && line.find('*') == std::string::npos) {
        OrcaAtom a;
        std::istringstream row(line);
        if (row >> a.element >> a.x >> a.y >> a.z) in.atoms.push_back(a);
      }
      EXPECT_NE(line.find('*'), std::string::npos) << "coordinates without closing *";
    } else {
      ADD_FAILURE() << "line outside the grammar: " << line;
    }
  }
  return in;
}

struct PointCharge {
  double q, x, y, z;
};
std::vector<PointCharge> read_point_charges(const std::string& text) {
  std::istringstream in(text);
  std::size_t n = 0;
  in >> n;
  std::vector<PointCharge> pc(n);
  for (auto& p : pc) EXPECT_TRUE(static_cast<bool>(in >> p.q >> p.x >> p.y >> p.z));
  std::string rest;
  EXPECT_FALSE(static_cast<bool>(in >> rest)) << "more lines than the count";
  return pc;
}

// Label -> charge from the atom lines of an input file (element label x y z charge).
std::map<std::string, double> input_charges(const std::string& input) {
  std::map<std::string, double> q;
  std::istringstream lines(input);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream w(line);
    std::string element, label;
    double x, y, z, charge;
    if (w >> element >> label >> x >> y >> z >> charge) q[label] = charge;
  }
  return q;
}

const std::string crystals = std::string(ORBICUTTER_TEST_DATA) + "/crystals/";
constexpr double printed = 5.0001e-8;  // half a unit in the seventh decimal

void expect_at(const OrcaAtom& a, const orbicutter::Atom& atom) {
  EXPECT_EQ(a.element, atom.element);
  EXPECT_NEAR(a.x, atom.cartesian.x, printed);
  EXPECT_NEAR(a.y, atom.cartesian.y, printed);
  EXPECT_NEAR(a.z, atom.cartesian.z, printed);
}

TEST(OrcaInput, WithChargesTheNeighboursArePointCharges) {
  const std::string input = read_file(crystals + "aspirin_chrg.inp") + "ORCF 1\n";
  const auto r = run_program_on(input, "runs.aspirin.inp");
  ASSERT_EQ(r.status, 0) << r.out;
  ASSERT_TRUE(r.files.count("runs.orca.inp") && r.files.count("runs.orca.pc"));
  const OrcaInput orca = read_orca(r.files.at("runs.orca.inp"));
  EXPECT_EQ(orca.blocks.at("POINTCHARGES"), std::vector<std::string>{"\"runs.orca.pc\""});
  EXPECT_EQ(orca.blocks.count("QMMM"), 0u);
  EXPECT_EQ(std::count(orca.keywords.begin(), orca.keywords.end(), "QMMM"), 0);
  EXPECT_EQ(orca.multiplicity, 1);

  orbicutter::Structure s(input);
  const auto& cluster = s.cluster();
  const auto& central = cluster.molecules[0];
  ASSERT_EQ(orca.atoms.size(), static_cast<std::size_t>(central.count));
  for (std::size_t i = 0; i < orca.atoms.size(); ++i) expect_at(orca.atoms[i], cluster.atoms[i]);

  const auto charges = input_charges(input);
  double central_charge = 0;
  for (int i = 0; i < central.count; ++i)
    central_charge += charges.at(cluster.atoms[static_cast<std::size_t>(i)].label);
  EXPECT_EQ(orca.charge, static_cast<int>(std::lround(central_charge)));

  const auto pc = read_point_charges(r.files.at("runs.orca.pc"));
  ASSERT_EQ(pc.size() + orca.atoms.size(), cluster.atoms.size());
  for (std::size_t k = 0; k < pc.size(); ++k) {
    const auto& atom = cluster.atoms[orca.atoms.size() + k];
    EXPECT_EQ(pc[k].q, charges.at(atom.label)) << k;
    EXPECT_NEAR(pc[k].x, atom.cartesian.x, printed);
    EXPECT_NEAR(pc[k].y, atom.cartesian.y, printed);
    EXPECT_NEAR(pc[k].z, atom.cartesian.z, printed);
  }
}

// A chloride as fragment 1: the QM region is one ion, and its charge is the
// whole charge of the job.
TEST(OrcaInput, ChargedCentralMoleculeGivesTheChargeOfTheJob) {
  const std::string input =
      "CELL 6.0 6.0 6.0 90.0 90.0 90.0\nSYMM 1 0\nx, y, z\nCHRG 1\nNFRG 2 2\nANION 1 1\n"
      "CL CL1 0.5 0.5 0.5 -1.0\nCATION 2 1\nCS CS1 0.0 0.0 0.0 1.0\nDMAX 6.5\nXYZF 0\nORCF 1\n";
  const auto r = run_program_on(input, "salt.inp");
  ASSERT_EQ(r.status, 0) << r.out;
  const OrcaInput orca = read_orca(r.files.at("salt.orca.inp"));
  ASSERT_EQ(orca.atoms.size(), 1u);
  EXPECT_EQ(orca.atoms[0].element, "CL");
  EXPECT_EQ(orca.charge, -1);
  EXPECT_EQ(orca.multiplicity, 1);
}

TEST(OrcaInput, WithoutChargesTheCentralMoleculeIsTheQmPartOfTheCluster) {
  const std::string input = read_file(crystals + "aspirin_dimr.inp") + "ORCF 1\n";
  const auto r = run_program_on(input, "aspirin.inp");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.files.count("aspirin.orca.pc"), 0u);
  const OrcaInput orca = read_orca(r.files.at("aspirin.orca.inp"));
  EXPECT_EQ(std::count(orca.keywords.begin(), orca.keywords.end(), "QMMM"), 1);
  const auto& qmmm = orca.blocks.at("QMMM");
  EXPECT_EQ(std::vector<std::string>(qmmm.begin(), qmmm.begin() + 2), (std::vector<std::string>{"QMAtoms", "{0:20}"}));
  EXPECT_NE(std::find(qmmm.begin(), qmmm.end(), "ORCAFFFilename"), qmmm.end());
  EXPECT_EQ(orca.blocks.count("POINTCHARGES"), 0u);

  orbicutter::Structure s(input);
  const auto& cluster = s.cluster();
  EXPECT_EQ(cluster.molecules[0].count, 21);
  ASSERT_EQ(orca.atoms.size(), cluster.atoms.size());
  for (std::size_t i = 0; i < orca.atoms.size(); ++i) expect_at(orca.atoms[i], cluster.atoms[i]);
}

}  // namespace
