// Free-format reading against the Fortran runtime's vectors, and hostile input.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <random>
#include <sstream>

#include "format/listread.hpp"
#include "format/tsv.hpp"

using namespace orbicutter;
using orbicutter::testing::read_tsv;
using orbicutter::testing::unbar;

namespace {

// \n, \t, \r and \\ as in the vector file; a final \z means no newline at the end.
std::string file_contents(const std::string& input) {
  std::string t = input;
  bool newline = true;
  if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\\z") == 0) {
    t.resize(t.size() - 2);
    newline = false;
  }
  std::string s;
  for (std::size_t k = 0; k < t.size(); ++k) {
    if (t[k] == '\\' && k + 1 < t.size()) {
      const char e = t[++k];
      s += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
    } else {
      s += t[k];
    }
  }
  if (newline) s += '\n';
  return s;
}

std::string escape(const std::string& t) {
  std::string s;
  for (const char c : t) {
    if (c == '\n') s += "\\n";
    else if (c == '\t') s += "\\t";
    else if (c == '\r') s += "\\r";
    else if (c == '\\') s += "\\\\";
    else s += c;
  }
  return s;
}

std::string trim_right(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The variables of one row ("char4,int x2"), preset as the generator does.
struct Vars {
  std::deque<int> ints;
  std::deque<float> r4;
  std::deque<double> r8;
  std::deque<std::string> texts;
  std::vector<ReadItem> items;
  std::vector<std::string> types;

  explicit Vars(const std::string& kinds) {
    std::stringstream in(kinds);
    for (std::string part; std::getline(in, part, ',');) {
      int n = 1;
      const auto x = part.find(" x");
      if (x != std::string::npos) {
        n = std::stoi(part.substr(x + 2));
        part.resize(x);
      }
      for (int k = 0; k < n; ++k) add(part);
    }
  }
  void add(const std::string& type) {
    types.push_back(type);
    if (type == "int") {
      items.push_back(item(ints.emplace_back(-99)));
    } else if (type == "real4") {
      items.push_back(item(r4.emplace_back(-99.0f)));
    } else if (type == "real8") {
      items.push_back(item(r8.emplace_back(-99.0)));
    } else {
      const int len = std::stoi(type.substr(4));
      items.push_back(item(texts.emplace_back(static_cast<std::size_t>(len), '#'), len));
    }
  }
  // The "values" and "real_hex" columns.
  std::pair<std::string, std::string> show() const {
    std::string vals, hex;
    std::size_t i = 0, a = 0, b = 0, t = 0;
    char buf[32];
    for (const auto& type : types) {
      if (!vals.empty()) vals += ' ';
      if (type == "int") {
        vals += std::to_string(ints[i++]);
        continue;
      }
      if (type == "real4" || type == "real8") {
        if (type == "real4") std::snprintf(buf, sizeof buf, "%08X", std::bit_cast<std::uint32_t>(r4[a++]));
        else std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(r8[b++])));
        vals += "R";  // compared by bits
        if (!hex.empty()) hex += ' ';
        hex += buf;
        continue;
      }
      const std::string& s = texts[t++];
      vals += '|';
      vals += escape(type == "char100" || type == "char200" ? trim_right(s) : s);
      vals += '|';
    }
    return {vals, hex.empty() ? "-" : hex};
  }
};

// The "values" column with each real replaced by R.
std::string mask_reals(const std::string& vals, const std::string& types_spec) {
  Vars v(types_spec);
  std::string out;
  std::size_t p = 0;
  for (const auto& type : v.types) {
    while (p < vals.size() && vals[p] == ' ') ++p;
    std::size_t end;
    if (p < vals.size() && vals[p] == '|') end = vals.find('|', p + 1) + 1;
    else end = vals.find(' ', p);
    if (end == std::string::npos || end == 0) end = vals.size();
    if (!out.empty()) out += ' ';
    out += (type == "real4" || type == "real8") ? "R" : vals.substr(p, end - p);
    p = end;
  }
  return out;
}

}  // namespace

TEST(ReadVectors, ListRead) {
  const auto rows = read_tsv(ORBICUTTER_TEST_DATA "/format/list-read.tsv");
  EXPECT_GE(rows.size(), 1000u);
  int bad = 0;
  for (const auto& r : rows) {
    ASSERT_GE(r.size(), 8u);
    const std::string input = unbar(r[0]), mode = r[2], iostat = r[3];
    const std::string iomsg = r.size() > 8 ? r[8] : "";
    ListReader reader(file_contents(input));
    Vars v(r[1]);
    ReadStatus st;
    if (mode == "(A)") st = reader.read_line(v.texts[0], static_cast<int>(v.texts[0].size()));
    else st = reader.read(v.items);
    if (mode == "*;BACKSPACE" && st == ReadStatus::ok) reader.backspace();

    std::string got_stat = st == ReadStatus::ok ? "0" : st == ReadStatus::error ? "+" : "-";
    std::string got_vals = "ERROR", want_vals = "ERROR", got_hex = "-", got_next = "-";
    if (st == ReadStatus::end_of_file) got_vals = "EOF";
    if (iostat == "0") want_vals = mask_reals(r[4], r[1]);
    else want_vals = r[4];
    if (st == ReadStatus::ok) {
      std::tie(got_vals, got_hex) = v.show();
      std::string line;
      got_next = reader.read_line(line, 5000) == ReadStatus::ok ? "|" + escape(trim_right(line)) + "|" : "EOF";
    }
    const std::string want_next = r[6].size() > 1 && r[6].front() == '|' ? "|" + trim_right(unbar(r[6])) + "|" : r[6];
    const std::string got_msg = st == ReadStatus::ok ? "" : reader.message();
    if (got_stat != iostat || got_vals != want_vals || got_hex != r[5] || got_next != want_next || got_msg != iomsg) {
      if (++bad <= 10)
        ADD_FAILURE() << "input |" << input << "| vars " << r[1] << " read " << mode << "\n  got  " << got_stat
                      << " " << got_vals << " " << got_hex << " next " << got_next << " msg " << got_msg
                      << "\n  want " << iostat << " " << want_vals << " " << r[5] << " next " << want_next
                      << " msg " << iomsg;
    }
  }
  EXPECT_EQ(bad, 0) << "mismatching rows out of " << rows.size();
}

TEST(ListReader, KeywordLinesWithBackspace) {
  ListReader r("\n  CELL 10.0 12.0 8.0\n 90 105 90.0 ! angles\nclus 2\n");
  std::string key(4, '#');
  ASSERT_EQ(r.read({item(key, 4)}), ReadStatus::ok);
  EXPECT_EQ(key, "CELL");
  r.backspace();
  double cell[6] = {};
  ASSERT_EQ(r.read({item(key, 4), item(cell[0]), item(cell[1]), item(cell[2]), item(cell[3]), item(cell[4]),
                    item(cell[5])}),
            ReadStatus::ok);
  EXPECT_EQ(cell[2], 8.0);
  EXPECT_EQ(cell[4], 105.0);
  // Two lines taken: BACKSPACE returns to the second only, a second one to the first.
  r.backspace();
  std::string line;
  ASSERT_EQ(r.read_line(line, 30), ReadStatus::ok);
  EXPECT_EQ(line, " 90 105 90.0 ! angles         ");
  r.backspace();
  r.backspace();
  ASSERT_EQ(r.read_line(line, 6), ReadStatus::ok);
  EXPECT_EQ(line, "  CELL");
}

TEST(ListReader, EndOfFileAndBackspaceAfterIt) {
  ListReader r("CLUS 2\n\n");
  std::string key;
  int n = -99, m = -99;
  EXPECT_EQ(r.read({item(key, 4), item(n), item(m)}), ReadStatus::end_of_file);
  EXPECT_EQ(r.message(), "End of file");
  EXPECT_EQ(n, 2);  // assigned before the end was met
  r.backspace();     // still at the end
  EXPECT_EQ(r.read_line(key, 4), ReadStatus::end_of_file);
  r.backspace();
  r.backspace();
  ASSERT_EQ(r.read_line(key, 4), ReadStatus::ok);
  EXPECT_EQ(key, "    ");
}

TEST(ListReader, ErrorSkipsTheRestOfItsLine) {
  ListReader r("NICS 1 abc 2\nnext\n");
  std::string key;
  int a = 0, b = 0;
  float x = 0;
  EXPECT_EQ(r.read({item(key, 4), item(a), item(x), item(b)}), ReadStatus::error);
  EXPECT_EQ(r.message(), "Bad real number in item 3 of list input");
  ASSERT_EQ(r.read_line(key, 4), ReadStatus::ok);
  EXPECT_EQ(key, "next");
}

TEST(ListReader, OverflowAndHugeCountsAreErrorsOrHarmless) {
  int n = 7;
  EXPECT_EQ(ListReader("99999999999999999999999999999999\n").read({item(n)}), ReadStatus::error);
  EXPECT_EQ(ListReader("-2147483649\n").read({item(n)}), ReadStatus::error);
  EXPECT_EQ(n, 7);
  EXPECT_EQ(ListReader("99999999999*1\n").read({item(n)}), ReadStatus::error);
  int v[3] = {};
  EXPECT_EQ(ListReader("2000000000*4\n").read({item(v[0]), item(v[1]), item(v[2])}), ReadStatus::ok);
  EXPECT_EQ(v[2], 4);
  double d = 0;
  EXPECT_EQ(ListReader("1e99999999999999999999999999\n").read({item(d)}), ReadStatus::ok);
  EXPECT_TRUE(std::isinf(d));
  EXPECT_EQ(ListReader("-1e-99999999999999999999999999\n").read({item(d)}), ReadStatus::ok);
  EXPECT_TRUE(d == 0 && std::signbit(d));
  EXPECT_EQ(ListReader("0." + std::string(5000, '0') + "1e5010\n").read({item(d)}), ReadStatus::ok);
  EXPECT_EQ(d, 1e9);
}

// Binary garbage must give ok, error or end of file, never a crash, a hang or
// a read out of bounds; every read moves on by at least one line.
TEST(ListReader, BinaryGarbageNeverHangsOrCrashes) {
  std::mt19937 rng(12345);
  std::string alphabet = "0123456789 \t\n\r,/*'\"+-.eEdD!abcnNiIfF()\xff\xc3";
  alphabet += '\0';
  for (int trial = 0; trial < 2000; ++trial) {
    std::string data;
    const int len = static_cast<int>(rng() % 200);
    for (int k = 0; k < len; ++k)
      data += rng() % 8 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
    ListReader r(data);
    int i = 0;
    float f = 0;
    double d = 0;
    std::string t(trial % 3 == 2 ? 8 : trial % 3 == 0 ? 4 : 0, '#'), u;
    int reads = 0;
    while (true) {
      ReadStatus st = trial % 3 == 0   ? r.read({item(t, 4), item(i), item(d)})
                      : trial % 3 == 1 ? r.read({item(f), item(f), item(u, 100), item(i)})
                                       : r.read_line(t, 8);
      if (trial % 5 == 0 && reads % 2 == 0) r.backspace();
      if (st == ReadStatus::end_of_file) break;
      ASSERT_LT(++reads, 1000) << "no progress";
    }
    EXPECT_EQ(t.size(), trial % 3 == 1 ? 0u : trial % 3 == 0 ? 4u : 8u);
  }
  // A very long line, NUL bytes and an unterminated quote.
  std::string big(1'000'000, 'x');
  big += std::string("\0\0 12\n'open", 11);
  ListReader r(big);
  std::string t;
  int n = 0;
  EXPECT_EQ(r.read({item(t, 3), item(n)}), ReadStatus::ok);
  EXPECT_EQ(t, "xxx");
  EXPECT_EQ(n, 12);
  EXPECT_EQ(r.read({item(t, 3)}), ReadStatus::ok);
  EXPECT_EQ(t, "ope");
}
