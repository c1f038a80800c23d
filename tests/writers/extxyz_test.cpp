// Extended XYZ, read back by a reader of the convention: line 1 the row count,
// line 2 key=value pairs (values bare or in double quotes with backslash
// escapes) among them Properties=name:type:columns:..., then one row per atom
// with exactly the declared columns, separated by blanks.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "orbicutter/orbicutter.hpp"
#include "support/runner.hpp"

using namespace orbicutter::testing;

namespace {

struct Column {
  std::string name;
  char type;  // S, R, I or L
  int count;
};

struct ExtendedXyz {
  std::map<std::string, std::string> info;
  std::vector<Column> columns;
  std::vector<std::map<std::string, std::vector<std::string>>> rows;  // property -> its columns
};

// key=value pairs; a value in double quotes may hold blanks and escaped characters.
std::map<std::string, std::string> key_values(const std::string& line) {
  std::map<std::string, std::string> kv;
  std::size_t p = 0;
  while (p < line.size()) {
    while (p < line.size() && line[p] == ' ') ++p;
    if (p == line.size()) break;
    const auto eq = line.find('=', p);
    EXPECT_NE(eq, std::string::npos) << line;
    if (eq == std::string::npos) break;
    const std::string key = line.substr(p, eq - p);
    std::string value;
    p = eq + 1;
    if (line[p] == '"') {
      for (++p; p < line.size() && line[p] != '"'; ++p) value += line[p] == '\\' ? line[++p] : line[p];
      EXPECT_LT(p, line.size()) << "unclosed quote";
      ++p;
    } else {
      while (p < line.size() && line[p] != ' ') value += line[p++];
    }
    kv[key] = value;
  }
  return kv;
}

ExtendedXyz read_extended(const std::string& text) {
  ExtendedXyz x;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  const std::size_t n = std::stoul(line);
  std::getline(in, line);
  x.info = key_values(line);
  std::istringstream props(x.info.at("Properties"));
  for (std::string name, type, count;
       std::getline(props, name, ':') && std::getline(props, type, ':') && std::getline(props, count, ':');)
    x.columns.push_back({name, type.at(0), std::stoi(count)});
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::map<std::string, std::vector<std::string>> row;
    for (const auto& c : x.columns)
      for (int k = 0; k < c.count; ++k) {
        std::string w;
        EXPECT_TRUE(static_cast<bool>(words >> w)) << line;
        if (c.type == 'I') {
          EXPECT_EQ(std::to_string(std::stol(w)), w);
        }
        if (c.type == 'R') {
          EXPECT_NO_THROW(std::stod(w));
        }
        row[c.name].push_back(w);
      }
    std::string extra;
    EXPECT_FALSE(static_cast<bool>(words >> extra)) << "undeclared column in " << line;
    x.rows.push_back(row);
  }
  EXPECT_EQ(x.rows.size(), n);
  return x;
}

std::vector<std::string> words_of(const std::string& line) {
  std::vector<std::string> w;
  std::istringstream in(line);
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

// Anthracene with probe points over one ring: the same positions as the plain
// file, the element first, the input label and the molecule number beside it.
TEST(ExtendedXyz, ClusterAndProbePointsReadBack) {
  const std::string input = read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/anthra_nics.inp");
  const auto plain = run_program_on(input, "anthra.inp");
  const auto r = run_program_on(input + "XYZF 2\n", "anthra.inp");
  ASSERT_EQ(r.status, 0) << r.out;
  const ExtendedXyz x = read_extended(r.files.at("anthra.xyz"));
  EXPECT_EQ(x.info.at("name"), "anthra");
  ASSERT_EQ(x.columns.size(), 4u);
  EXPECT_EQ(x.info.at("Properties"), "species:S:1:pos:R:3:label:S:1:molecule:I:1");

  std::istringstream plain_lines(plain.files.at("anthra.xyz"));
  std::string line;
  std::getline(plain_lines, line);
  const std::size_t atoms = std::stoul(line);
  std::getline(plain_lines, line);
  orbicutter::Structure s(input);
  const auto& cluster = s.cluster();
  ASSERT_EQ(cluster.atoms.size(), atoms);
  ASSERT_GT(x.rows.size(), atoms);  // the probe points follow as rows of their own
  for (std::size_t i = 0; i < x.rows.size(); ++i) {
    std::getline(plain_lines, line);
    const auto w = words_of(line);  // label x y z
    const auto& row = x.rows[i];
    EXPECT_EQ(row.at("pos"), std::vector<std::string>(w.begin() + 1, w.end())) << i;
    if (i < atoms) {
      const auto& a = cluster.atoms[i];
      EXPECT_EQ(row.at("species")[0], a.element);
      EXPECT_EQ(row.at("label")[0], a.label);
      EXPECT_EQ(row.at("molecule")[0], std::to_string(a.molecule));
    } else {
      EXPECT_EQ(row.at("species")[0], "X");
      EXPECT_EQ(row.at("label")[0], w[0]);
      EXPECT_EQ(row.at("molecule")[0], "0");
    }
  }
}

// The system name comes from the file name and may hold blanks, quotes and
// backslashes; one left bare before the closing quote would escape it.
TEST(ExtendedXyz, SystemNameIsQuoted) {
  const std::string input = read_file(std::string(ORBICUTTER_TEST_DATA) + "/crystals/water.inp") + "XYZF 2\n";
  for (const std::string name : {"my \"best\" run", "run\\2\\"}) {
    const auto r = run_program_on(input, name + ".inp");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_extended(r.files.at(name + ".xyz")).info.at("name"), name);
  }
}

}  // namespace
