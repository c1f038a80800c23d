// Symmetry operators: the text form of the input file, its writer, and the
// regularisation of translations near thirds.
#include <cmath>
#include <cstdio>
#include <string>

#include "input/input.hpp"

namespace orbicutter {
namespace {

// The translations the text form knows, as single-precision values.
struct Fraction {
  const char* text;
  real value;
};
constexpr Fraction fractions[] = {
    {"1/2", sp(0.5f)},         {"1/3", sp(0.333333343f)}, {"1/4", sp(0.25f)}, {"1/6", sp(0.166666672f)},
    {"2/3", sp(0.666666687f)}, {"3/4", sp(0.75f)},        {"5/6", sp(0.833333313f)},
};
constexpr real one_third = sp(0.333333343f);
constexpr real two_thirds = sp(0.666666687f);

constexpr std::size_t text_length = 100;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Column of a coordinate letter, 0 for any other character.
int column_of(char c) {
  switch (c) {
    case 'x': return 1;
    case 'y': return 2;
    case 'z': return 3;
    default: return 0;
  }
}

// A rotation coefficient beyond 1 as its nearest integer, halves away from zero.
std::string coefficient_text(real magnitude) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.0f", std::round(static_cast<double>(magnitude)));
  return buf;
}

// A translation none of the fractions describes: up to six decimals, no trailing zeros.
std::string decimal_text(real magnitude) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(magnitude));
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s;
}

}  // namespace

void big2small(char& c) {
  switch (c) {
    case 'A': c = 'a'; break;
    case 'X': c = 'x'; break;
    case 'Y': c = 'y'; break;
    case 'Z': c = 'z'; break;
    default: break;
  }
}

void readsymmop(const std::string& text, Mat3& rot, Vec3& trans) {
  rot = Mat3{};
  trans = Vec3{};

  // The items packed together: blanks and tabs removed, the rest blank-filled.
  std::string s;
  for (std::size_t p = 0; p < text.size() && p < text_length; ++p)
    if (!is_blank(text[p])) s += text[p];
  s.resize(text_length, ' ');
  for (char& c : s) big2small(c);

  // s[p - 1] is position p.
  auto at = [&s](int p) { return s[static_cast<std::size_t>(p - 1)]; };
  int a = 1;  // the component (row) being read
  for (int p = 1; p <= static_cast<int>(text_length); ++p) {
    const char c = at(p);
    if (c == ',') {
      ++a;
      continue;
    }
    if (a > 3) continue;  // a fourth component has no row to go to
    if (const int col = column_of(c); col != 0) {
      if (p == 1) {
        rot(a, col) = 1;
      } else if (at(p - 1) == '+' || at(p - 1) == ',') {
        rot(a, col) = 1;
      } else if (at(p - 1) == '-') {
        rot(a, col) = -1;
      }
    } else if (c == '/') {
      if (p >= 2 && p < static_cast<int>(text_length)) {
        const std::string f = s.substr(static_cast<std::size_t>(p - 2), 3);
        for (const auto& fr : fractions)
          if (f == fr.text) trans(a) = fr.value;
      }
      if (p >= 3 && at(p - 2) == '-') trans(a) = -trans(a);
    }
  }
}

std::string writesymmop(const Mat3& rot, const Vec3& trans) {
  static const char letters[] = {'x', 'y', 'z'};
  std::string out;
  for (int i = 1; i <= 3; ++i) {
    std::string part;
    for (int j = 1; j <= 3; ++j) {
      const real r = rot(i, j);
      if (std::abs(r) > tiny) {
        part += r < 0 ? '-' : '+';
        if (std::abs(r) > 1) part += coefficient_text(std::abs(r));
        part += letters[j - 1];
      }
    }
    const real t = trans(i);
    if (std::abs(t) > tiny) {
      part += t < 0 ? '-' : '+';
      const real m = std::abs(t);
      std::string fraction;
      for (const auto& fr : fractions)
        if (std::abs(m - fr.value) < tiny) {
          fraction = fr.text;
          break;
        }
      part += fraction.empty() ? decimal_text(m) : fraction;
    }
    if (i > 1) out += ", ";
    out += part;
  }
  return fixed_text(out, 50);
}

void regularise_translations(Run& run) {
  for (int k = 1; k <= run.gv.nsym; ++k) {
    for (int i = 1; i <= 3; ++i) {
      real& t = run.geo.trans(k, i);
      const real d3 = std::abs(t) - one_third;
      if (d3 > -tiny && d3 < tiny) {
        t = t > 0 ? one_third : -one_third;
        continue;
      }
      const real d23 = std::abs(t) - two_thirds;
      if (d23 > -tiny && d23 < tiny) t = t > 0 ? two_thirds : -two_thirds;
    }
  }
}

std::string writesymmop(const Run& run, int s) {
  Mat3 r;
  Vec3 t;
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) r(i, j) = run.geo.rot(s, i, j);
    t(i) = run.geo.trans(s, i);
  }
  return writesymmop(r, t);
}

}  // namespace orbicutter
