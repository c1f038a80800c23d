// Edit descriptors against the Fortran runtime's vectors, and whole layouts.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "format/layout.hpp"
#include "format/unit.hpp"
#include "format/tsv.hpp"
#include "support/folder.hpp"
#include "support/runner.hpp"

using namespace orbicutter;
using orbicutter::testing::read_tsv;
using orbicutter::testing::unbar;

namespace {

template <class... V>
std::string fmt(std::string_view layout, const V&... v) {
  const std::vector<Value> vals{Value(v)...};
  return format_record(layout, vals);
}

std::string unescape_newlines(const std::string& s) {
  std::string r;
  for (std::size_t k = 0; k < s.size(); ++k) {
    if (s[k] == '\\' && k + 1 < s.size() && s[k + 1] == 'n') {
      r += '\n';
      ++k;
    } else {
      r += s[k];
    }
  }
  return r;
}

// Reports the first few mismatches of a whole vector file.
class Mismatches {
 public:
  void check(const std::string& got, const std::string& want, const std::string& what) {
    ++rows_;
    if (got == want) return;
    if (++bad_ <= 10) ADD_FAILURE() << what << ": got |" << got << "| want |" << want << "|";
  }
  void finish(std::size_t min_rows) {
    EXPECT_GE(rows_, min_rows) << "vector file missing or short";
    EXPECT_EQ(bad_, 0u) << "mismatches out of " << rows_ << " rows";
  }

 private:
  std::size_t rows_ = 0, bad_ = 0;
};

}  // namespace

TEST(FormatVectors, RealEdit) {
  Mismatches m;
  for (const auto& r : read_tsv(ORBICUTTER_TEST_DATA "/format/real-edit.tsv")) {
    ASSERT_GE(r.size(), 5u);
    const std::string& desc = r[0];
    const int w = std::stoi(desc.substr(1));
    const int d = std::stoi(desc.substr(desc.find('.') + 1));
    const std::uint64_t bits = std::stoull(r[2], nullptr, 16);
    const double x = r[1] == "4" ? static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(bits)))
                                 : std::bit_cast<double>(bits);
    const std::string want = unbar(r[4]);
    m.check(edit_f(x, w, d), want, desc + " kind " + r[1] + " " + r[3]);
    m.check(fmt("(" + desc + ")", x), want, "layout " + desc + " " + r[3]);
  }
  m.finish(40000);
}

TEST(FormatVectors, IntEdit) {
  Mismatches m;
  for (const auto& r : read_tsv(ORBICUTTER_TEST_DATA "/format/int-edit.tsv")) {
    ASSERT_GE(r.size(), 3u);
    if (r[0] == "*") continue;  // list-directed writes: callers trim them to the digits
    std::vector<Value> vals;
    std::istringstream in(r[1]);
    for (long long n; in >> n;) vals.emplace_back(n);
    m.check(format_record("(" + r[0] + ")", vals), unescape_newlines(unbar(r[2])), r[0] + " " + r[1]);
  }
  m.finish(250);
}

TEST(FormatVectors, CharEdit) {
  Mismatches m;
  for (const auto& r : read_tsv(ORBICUTTER_TEST_DATA "/format/char-edit.tsv")) {
    ASSERT_GE(r.size(), 4u);
    const auto length = static_cast<std::size_t>(std::stoi(r[1]));
    // One or more variables of `length`, separated by '|'.
    std::vector<std::string> texts;
    const std::string all = unbar(r[2]);
    for (std::size_t k = 0; k <= all.size(); k += length + 1) {
      texts.push_back(all.substr(k, length));
      if (length == 0) break;
    }
    const std::vector<Value> vals(texts.begin(), texts.end());
    m.check(format_record("(" + r[0] + ")", vals), unbar(r[3]), r[0] + " " + r[2]);
  }
  m.finish(190);
}

TEST(FormatEdit, SmallFieldsAndSpecialValues) {
  EXPECT_EQ(edit_f(0.125, 5, 2), " 0.12");
  EXPECT_EQ(edit_f(-0.5, 8, 6), "-.500000");
  EXPECT_EQ(edit_f(-0.49, 2, 0), "**");
  EXPECT_EQ(edit_f(0.49, 2, 0), "0.");
  EXPECT_EQ(edit_f(-1e-9, 10, 6), " -0.000000");
  EXPECT_EQ(edit_f(1e300, 10, 6), "**********");
  EXPECT_EQ(edit_f(-std::numeric_limits<double>::infinity(), 8, 3), "    -Inf");
  EXPECT_EQ(edit_f(std::numeric_limits<double>::quiet_NaN(), 2, 0), "**");
  EXPECT_EQ(edit_i(-2147483648LL, 11), "-2147483648");
  EXPECT_EQ(edit_a("C  ", 4), " C  ");
  EXPECT_EQ(edit_a("abcde", 4), "abcd");
  EXPECT_EQ(edit_a("ab ", -1), "ab ");
}

TEST(FormatLayout, RepeatedDescriptorsAndGroups) {
  EXPECT_EQ(fmt("(A,3F7.3,A,F7.3,A)", " p", 1.0, -0.5, 12.3456, " |", 0.0005, " end"),
            " p  1.000 -0.500 12.346 |  0.001 end");
  EXPECT_EQ(fmt("(A,3F7.3,A,F7.3,A)", " p", 1.0, -0.5), " p  1.000 -0.500");
  EXPECT_EQ(fmt("(5I1,A2)", 5, 5, 5, 0, 1, "ab", 4, 6, 5, 0, 2, "c"), "55501ab\n46502 c");
  EXPECT_EQ(fmt("(A,I4,A,4I3,A,5I1,A,I1)", " D", 12, " :", 1, 2, 3, 44, " ", 5, 5, 5, 0, 1, " /", 7),
            " D  12 :  1  2  3 44 55501 /7");
  EXPECT_EQ(fmt("(I4,F8.3,2X,5I1)", 3, -1.25, 5, 5, 5, 0, 1), "   3  -1.250  55501");
  EXPECT_EQ(fmt("(a,i3,f6.2)", "lc", 7, 2.5), "lc  7  2.50");
  EXPECT_EQ(fmt("( A , I3 )", "bl", 7), "bl  7");
  EXPECT_EQ(fmt("('it''s',\"say \"\"hi\"\"\")"), "it'ssay \"hi\"");
}

TEST(FormatLayout, RunTimeCountsAreNotExpanded) {
  std::vector<Value> row{Value("row")};
  const std::vector<std::string> names{"C1", "C2", "C3", "C4", "C5", "C6", "C7",
                                       "C8", "C9", "C10", "C11", "C12", "x", "yy"};
  for (const auto& n : names) row.emplace_back(n);
  EXPECT_EQ(format_record("(A,12A4)", std::span(row).first(6)), "row  C1  C2  C3  C4  C5");
  EXPECT_EQ(format_record("(A,12A4)", row),
            "row  C1  C2  C3  C4  C5  C6  C7  C8  C9 C10 C11 C12\nx  yy");
  EXPECT_EQ(fmt("(I6,A,100000I2)", 3, " :", 1, 2, 3), "     3 : 1 2 3");
  EXPECT_EQ(fmt("(A,2000000000(I2))", "n", 4), "n 4");
}

TEST(FormatLayout, EndOfValuesAndReversion) {
  // Texts before the first descriptor without a value are written, pending blanks are not.
  EXPECT_EQ(fmt("(I3,'x')", 5), "  5x");
  EXPECT_EQ(fmt("(I3,:,'x')", 5), "  5");
  EXPECT_EQ(fmt("(A,3X)", "ab"), "ab");
  EXPECT_EQ(fmt("(A,3X,'zz',I3)", "ab"), "ab   zz");
  EXPECT_EQ(fmt("(F5.1,'x',3X)", -0.04), " -0.0x");
  EXPECT_EQ(fmt("(A)"), "");
  EXPECT_EQ(fmt("('a',A)"), "a");
  EXPECT_EQ(fmt("(A,2/,A)", "p", "q"), "p\n\nq");
  // Reversion to the last top-level group with its count, or to the start.
  EXPECT_EQ(fmt("(A,2(I2,1X),F5.1)", "x", 1, 2, 3.0, 4, 5, 6.0, 7), "x 1  2   3.0\n 4  5   6.0\n 7");
  EXPECT_EQ(fmt("(A,2(I2,1X),F5.1)", "x", 1, 2, 3.0, 4), "x 1  2   3.0\n 4");
  EXPECT_EQ(fmt("(I2,2(A2,I2),2X,I1)", 1, "a", 2, "b", 3, 4, "c", 5, "d", 6, 7, "e"),
            " 1 a 2 b 3  4\n c 5 d 6  7\n e");
  EXPECT_EQ(fmt("(2(I2,'-'))", 1, 2, 3), " 1- 2-\n 3-");
  EXPECT_EQ(fmt("(2I6)", 1, 2, 3, 4, 5), "     1     2\n     3     4\n     5");
}

TEST(FormatLayout, ProgrammingErrorsThrow) {
  for (const char* bad : {"I6", "(I6", "(I6))", "(F10)", "(F10.)", "(Q3)", "(,A)", "(A,)", "(A,,A)",
                          "('abc)", "(0I3)", "(I0)", "(3'x')", "(A4.2)"})
    EXPECT_THROW(fmt(bad, 1), std::invalid_argument) << bad;
  EXPECT_THROW(fmt("(I6)", 1.5), std::invalid_argument);
  EXPECT_THROW(fmt("(F8.3)", 2), std::invalid_argument);
  EXPECT_THROW(fmt("(A)", 2), std::invalid_argument);
  EXPECT_THROW(fmt("('x')", 2), std::invalid_argument);       // values but no descriptor
  EXPECT_THROW(fmt("(I2,('x'))", 1, 2), std::invalid_argument);  // reverts to a group without one
}

// Layouts of the program text are parsed and matched with their values while it
// is compiled; tests/format/compile_fail shows that a bad one stops the build.
namespace {

using K = Value::Kind;
constexpr K i = K::integer, r = K::real, t = K::text;

template <K... Kinds>
constexpr bool takes(std::string_view text) {
  ParsedLayout p;
  return parse_layout(text, p) == nullptr && layout_takes<Kinds...>(p) == nullptr;
}

static_assert(valid_layout("(A8,3F15.6)") && valid_layout("( a , 2( i3 ,1x) ,'it''s', / ,: )"));
static_assert(!valid_layout("I6") && !valid_layout("(I6") && !valid_layout("(I6))") && !valid_layout("(F10)") &&
              !valid_layout("(F10.)") && !valid_layout("(Q3)") && !valid_layout("(A,)") &&
              !valid_layout("(A,,A)") && !valid_layout("('abc)") && !valid_layout("(0I3)") &&
              !valid_layout("(I0)") && !valid_layout("(3'x')") && !valid_layout("(A4.2)") &&
              !valid_layout("(I3,3000000000I2)"));
static_assert(!valid_layout("(I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1,I1)"));
// Reversion goes back to the last top-level group, so the fifth value meets I2.
static_assert(takes<t, i, i, r, i, i, r, i>("(A,2(I2,1X),F5.1)"));
static_assert(!takes<t, i, i, r, t>("(A,2(I2,1X),F5.1)"));
static_assert(takes<i, i, i>("(2I6)") && !takes<i, r>("(2I6)") && !takes<r>("(I6)"));
static_assert(!takes<i, i>("(I2,('x'))") && !takes<i>("('x')") && takes<>("('x')"));
// The write ends at the first descriptor without a value: later ones are never matched.
static_assert(takes<t>("(A,I6,F8.3)") && takes<t>("(A,2000000000(I2))"));

}  // namespace

TEST(FormatLayout, CompiledLayoutsKeepTheirTextsAndCounts) {
  const LayoutFor<const char*, int, double> row("(A,2X,I3,'|''q''|',F6.2)");
  TextBuffer out;
  out.append("head:");
  append_record(out, row.parsed(), row.text(), std::array<Value, 3>{Value("ab"), Value(7), Value(-0.005)});
  EXPECT_EQ(out.view(), "head:ab    7|'q'| -0.01");
  const RuntimeLayout counted("(I2,A," + std::to_string(3) + "I2)");
  EXPECT_EQ(format_record(counted, std::vector<Value>{1, " |", 0, 1, 0, 4}), " 1 | 0 1 0\n 4");
  EXPECT_THROW(RuntimeLayout("(I2,A,0I2)"), std::invalid_argument);
  // A failed write leaves the record as it was.
  EXPECT_THROW(append_record(out, counted.parsed(), counted.text(), std::vector<Value>{1, 2}), std::invalid_argument);
  EXPECT_EQ(out.view(), "head:ab    7|'q'| -0.01");
}

TEST(FormatUnit, FileUnitsKeepEveryRecordInOrder) {
  const orbicutter::testing::ScratchFolder folder;
  std::string want;
  {
    Unit u;
    ASSERT_FALSE(u.create("rows.txt", "rows.txt"));
    for (int k = 1; k <= 9000; ++k) {  // more than one block
      u.put("(I6)", k);
      u.write("(F10.3)", k / 8.0);
      want += edit_i(k, 6) + edit_f(k / 8.0, 10, 3) + "\n";
    }
    Unit moved;
    moved = std::move(u);
    moved.line("last");
    want += "last\n";
  }  // written out when the unit goes
  EXPECT_EQ(orbicutter::testing::read_file("rows.txt"), want);
}

TEST(FormatUnit, WriteEndsTheRecordPutDoesNot) {
  std::ostringstream os;
  Unit u = Unit::memory(os);
  u.put("(A,I3)", "n =", 4);
  u.write("(A,F6.2)", " x =", 0.5);
  u.write("(2I2)", 1, 2, 3);
  u.line("done");
  EXPECT_EQ(os.str(), "n =  4 x =  0.50\n 1 2\n 3\ndone\n");
}
