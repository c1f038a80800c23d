// Symmetry operators in text form: parsing, writing and the regularisation of thirds.
#include <gtest/gtest.h>

#include "input/input.hpp"

using namespace orbicutter;

namespace {

struct Op {
  Mat3 r;
  Vec3 t;
};

Op parse(const std::string& text) {
  Op op;
  readsymmop(text, op.r, op.t);
  return op;
}

Op make(std::initializer_list<real> rows, std::initializer_list<real> t) {
  Op op;
  auto it = rows.begin();
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) op.r(i, j) = *it++;
  auto jt = t.begin();
  for (int i = 1; i <= 3; ++i) op.t(i) = *jt++;
  return op;
}

void expect_op(const Op& got, const Op& want, const std::string& what) {
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(got.r(i, j), want.r(i, j)) << what << " rot(" << i << "," << j << ")";
    EXPECT_EQ(got.t(i), want.t(i)) << what << " trans(" << i << ")";
  }
}

std::string written(const Op& op) { return writesymmop(op.r, op.t); }
// The operator text without the blank fill.
std::string text_of(const Op& op) {
  std::string s = written(op);
  EXPECT_EQ(s.size(), 50u);
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

const real half = sp(0.5f);
const real third = static_cast<real>(0.3333333432674408);
const real two_thirds = static_cast<real>(0.6666666865348816);
const real sixth = static_cast<real>(0.1666666716337204);
const real five_sixths = static_cast<real>(0.8333333134651184);

TEST(ReadSymmOp, CommonSpaceGroupTexts) {
  expect_op(parse("x, y, z"), make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0}), "identity");
  expect_op(parse("-x+1/2, y+1/2, -z"), make({-1, 0, 0, 0, 1, 0, 0, 0, -1}, {half, half, 0}), "21 screw");
  expect_op(parse("-y, x-y, z+1/3"), make({0, -1, 0, 1, -1, 0, 0, 0, 1}, {0, 0, third}), "31 screw");
  expect_op(parse("x, -y-1/2, z-1/2"), make({1, 0, 0, 0, -1, 0, 0, 0, 1}, {0, -half, -half}), "negative fractions");
}

TEST(ReadSymmOp, FractionsHaveTheirSinglePrecisionValues) {
  const Op a = parse("x+1/3, y+2/3, z+1/6");
  EXPECT_EQ(a.t(1), third);
  EXPECT_EQ(a.t(2), two_thirds);
  EXPECT_EQ(a.t(3), sixth);
  const Op b = parse("x+5/6, y+1/4, z+3/4");
  EXPECT_EQ(b.t(1), five_sixths);
  EXPECT_EQ(b.t(2), sp(0.25f));
  EXPECT_EQ(b.t(3), sp(0.75f));
}

TEST(ReadSymmOp, CaseBlanksAndTabsAreIgnored) {
  const Op want = make({-1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0});
  expect_op(parse("- x ,  y , z"), want, "blanks");
  expect_op(parse("   -X,Y,Z"), want, "upper case");
  expect_op(parse("-x,\ty,\tz"), want, "tabs");
  expect_op(parse("\t- x\t,\t\ty ,z  "), want, "tabs and blanks");
}

TEST(ReadSymmOp, FractionFirstAndSignRules) {
  expect_op(parse("1/2+x, y, z"), make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {half, 0, 0}), "fraction first");
  expect_op(parse("-1/2+x, y, z"), make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {-half, 0, 0}), "minus fraction first");
  // Only the seven fractions are known; 1/8 leaves the translation 0.
  expect_op(parse("x+1/8, y-1/8, z"), make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0}), "unknown fraction");
  // A component of a fraction alone; a coefficient 2 is not readable.
  expect_op(parse("1/2, 2y, z"), make({0, 0, 0, 0, 0, 0, 0, 0, 1}, {half, 0, 0}), "fraction alone");
  expect_op(parse("/2, y, z"), make({0, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0}), "slash first");
  // Decimal translations cannot be written in text form.
  expect_op(parse("x+0.5, y, z"), make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0}), "decimal");
}

TEST(ReadSymmOp, OddTextsStayInsideTheOperator) {
  // Components beyond the third are dropped.
  expect_op(parse("x, y, z, -x+1/2, -y"), make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0}), "five components");
  expect_op(parse(",,,,,,,x+1/2"), make({0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}), "commas only");
  expect_op(parse(""), make({0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}), "blank line");
  // Only the first 100 characters count; the slash at the end matches nothing.
  expect_op(parse(std::string(98, ' ') + "x+1/2, y, z"), make({1, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}),
            "cut at 100");
  expect_op(parse(std::string(97, 'q') + "1/2"), make({0, 0, 0, 0, 0, 0, 0, 0, 0}, {half, 0, 0}),
            "slash at position 99");
  expect_op(parse(std::string(98, 'q') + "1/2"), make({0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}),
            "slash at position 100");
  expect_op(parse("\x01\xff/x\xfe\x80,\x7f-y"), make({0, 0, 0, 0, -1, 0, 0, 0, 0}, {0, 0, 0}), "binary");
}

TEST(Big2Small, OnlyTheOperatorLettersAreLowered) {
  std::string s = "AXYZBxyzW-,1";
  for (char& c : s) big2small(c);
  EXPECT_EQ(s, "axyzBxyzW-,1");
}

TEST(WriteSymmOp, SignsFractionsAndFill) {
  EXPECT_EQ(written(parse("x,y,z")), "+x, +y, +z" + std::string(40, ' '));
  EXPECT_EQ(text_of(parse("-x+1/2, y+1/2, -z")), "-x+1/2, +y+1/2, -z");
  EXPECT_EQ(text_of(parse("-y, x-y, z+1/3")), "-y, +x-y, +z+1/3");
  EXPECT_EQ(text_of(make({0, -1, 0, 1, -1, 0, 0, 0, 1}, {0, 0, two_thirds})), "-y, +x-y, +z+2/3");
  EXPECT_EQ(text_of(make({1, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0})), "+x, , +z");
  EXPECT_EQ(text_of(make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {sixth, -five_sixths, sp(0.75f)})), "+x+1/6, +y-5/6, +z+3/4");
  EXPECT_EQ(text_of(make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {-sp(0.25f), 0, 0})), "+x-1/4, +y, +z");
}

TEST(WriteSymmOp, CoefficientsBeyondOneAreRounded) {
  EXPECT_EQ(text_of(make({2, 0, 0, 0, -3, 0, 0, 0, 1}, {0, 0, 0})), "+2x, -3y, +z");
  EXPECT_EQ(text_of(make({sp(1.5f), 0, 0, 0, sp(-2.5f), 0, 0, 0, sp(0.5f)}, {0, 0, 0})), "+2x, -3y, +z");
  // Below the tolerance an element writes nothing.
  EXPECT_EQ(text_of(make({1, sp(5e-6f), 0, 0, 1, 0, 0, 0, 1}, {sp(-9e-6f), 0, 0})), "+x, +y, +z");
}

TEST(WriteSymmOp, OtherTranslationsAsDecimals) {
  EXPECT_EQ(text_of(make({1, 0, 0, 0, -1, 0, 0, 0, 1}, {sp(0.1f), sp(-0.125f), sp(0.333f)})),
            "+x+0.1, -y-0.125, +z+0.333");
  EXPECT_EQ(text_of(make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {1, sp(-2.5f), sp(0.0000204f)})), "+x+1, +y-2.5, +z+0.00002");
  // Within the tolerance of a fraction the fraction is written.
  EXPECT_EQ(text_of(make({1, 0, 0, 0, 1, 0, 0, 0, 1}, {sp(0.333333f), sp(0.500009f), 0})), "+x+1/3, +y+1/2, +z");
}

TEST(WriteSymmOp, LongTextIsCutAtFifty) {
  const Op op = make({-12345, 23456, -34567, 45678, 56789, 67890, 1, 1, 1}, {sp(0.123456f), 0, 0});
  const std::string s = written(op);
  EXPECT_EQ(s, std::string("-12345x+23456y-34567z+0.123456, +45678x+56789y+67890z, +x+y+z").substr(0, 50));
}

TEST(WriteSymmOp, TextFormRoundTrips) {
  for (const char* text : {"+x, +y, +z", "-x+1/2, -y, +z+1/2", "-x, +y+1/2, -z+1/2", "+x+1/2, -y+1/2, -z",
                           "+x-1/2, +y, -z-1/2", "-y, +x-y, +z+1/3", "-x+y, -x, +z+2/3", "+y+1/4, -x+3/4, +z-1/6"}) {
    const Op op = parse(text);
    EXPECT_EQ(text_of(op), text);
    expect_op(parse(written(op)), op, text);
  }
}

TEST(RegulariseTranslations, ThirdsSnapToTheirFractions) {
  orbicutter::Run run;
  run.gv.nsym = 2;
  run.geo.rot.allocate(2, 3, 3, 0);
  run.geo.trans.allocate(2, 3, 0);
  const real in[2][3] = {{sp(0.333333f), sp(-0.333335f), sp(0.666667f)}, {sp(-0.66666f), sp(0.3334f), sp(0.5f)}};
  for (int k = 1; k <= 2; ++k)
    for (int i = 1; i <= 3; ++i) run.geo.trans(k, i) = in[k - 1][i - 1];
  regularise_translations(run);
  EXPECT_EQ(run.geo.trans(1, 1), third);
  EXPECT_EQ(run.geo.trans(1, 2), -third);
  EXPECT_EQ(run.geo.trans(1, 3), two_thirds);
  EXPECT_EQ(run.geo.trans(2, 1), -two_thirds);
  EXPECT_EQ(run.geo.trans(2, 2), sp(0.3334f)) << "more than 1e-5 away stays";
  EXPECT_EQ(run.geo.trans(2, 3), half);
}

}  // namespace
