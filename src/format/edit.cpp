// Single edit descriptors written straight into a record: Fw.d, Iw and Aw.
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "format/layout.hpp"

namespace orbicutter {
namespace {

constexpr std::uint64_t pow10[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL,
                                   100000000ULL, 1000000000ULL, 10000000000ULL, 100000000000ULL,
                                   1000000000000ULL, 10000000000000ULL, 100000000000000ULL, 1000000000000000ULL,
                                   10000000000000000ULL, 100000000000000000ULL, 1000000000000000000ULL};

// Fields are short: plain loops instead of library calls.
char* fill(char* p, char c, std::size_t n) {
  for (; n > 0; --n) *p++ = c;
  return p;
}
char* copy(char* p, const char* s, std::size_t n) {
  for (; n > 0; --n) *p++ = *s++;
  return p;
}

// `s` right-aligned in w columns, or w asterisks when it does not fit.
void right(TextBuffer& out, std::string_view s, std::size_t w) {
  char* p = out.extend(w);
  if (s.size() > w) {
    fill(p, '*', w);
    return;
  }
  copy(fill(p, ' ', w - s.size()), s.data(), s.size());
}

// |x| rounded to d decimals as a count of 10^-d, by exact integer arithmetic on
// its binary value (ties to even), when that count stays below 10^18.
bool scaled(double a, int d, std::uint64_t& q) {
  if (d > 17 || !(a < 1e18 / static_cast<double>(pow10[d]))) return false;
  // a = m * 2^e exactly, from the fields of the binary value.
  const auto bits = std::bit_cast<std::uint64_t>(a);
  const auto biased = static_cast<int>(bits >> 52);  // a is not negative
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  q = 0;
  if (m == 0) return true;
  const unsigned __int128 n = static_cast<unsigned __int128>(m) * pow10[d];
  if (e >= 0) {
    q = static_cast<std::uint64_t>(n << e);
    return true;
  }
  const int s = -e;
  if (s >= 120) return true;  // n < 2^113: less than half a unit
  const unsigned __int128 one = 1;
  q = static_cast<std::uint64_t>(n >> s);
  const unsigned __int128 rest = n & ((one << s) - 1);
  const unsigned __int128 half = one << (s - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return true;
}

// Fw.d from the count q of 10^-d, written into the field from its right end.
void fixed_field(TextBuffer& out, std::uint64_t q, bool minus, std::size_t w, std::size_t d) {
  static constexpr char pairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  // Digits of q: about log10(2) times its bits, then one comparison.
  std::size_t n = (static_cast<std::size_t>(std::bit_width(q)) * 1233) >> 12;
  if (q >= pow10[n]) ++n;
  if (n == 0) n = 1;
  const std::size_t whole = n > d ? n - d : 0;
  // The zero before the point is optional when d > 0.
  bool zero = whole == 0;
  std::size_t len = (zero ? 1 : whole) + 1 + d + (minus ? 1 : 0);
  if (zero && d > 0 && len > w) {
    zero = false;
    --len;
  }
  char* const field = out.extend(w);
  if (len > w) {
    fill(field, '*', w);
    return;
  }
  char* c = field + w;
  // The d decimals (zeros once q runs out), then the point and the whole digits.
  std::size_t k = d;
  for (; k >= 2; k -= 2) {
    const auto r = static_cast<std::size_t>(q % 100);
    q /= 100;
    *--c = pairs[2 * r + 1];
    *--c = pairs[2 * r];
  }
  if (k == 1) {
    *--c = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  *--c = '.';
  for (; q >= 100; q /= 100) {
    const auto r = static_cast<std::size_t>(q % 100);
    *--c = pairs[2 * r + 1];
    *--c = pairs[2 * r];
  }
  if (q >= 10) {
    *--c = pairs[2 * q + 1];
    *--c = pairs[2 * q];
  } else if (whole > 0 || zero) {
    *--c = static_cast<char>('0' + q);
  }
  if (minus) *--c = '-';
  fill(field, ' ', static_cast<std::size_t>(c - field));
}

// The same from the digits of printf's "%.*f" (no point when d = 0).
void fixed_field(TextBuffer& out, std::string_view body, bool minus, std::size_t w, std::size_t d) {
  if (body.size() + (d == 0 ? 1 : 0) + (minus ? 1 : 0) > w && d > 0 && body[0] == '0') body.remove_prefix(1);
  const std::size_t len = body.size() + (d == 0 ? 1 : 0) + (minus ? 1 : 0);
  char* p = out.extend(w);
  if (len > w) {
    fill(p, '*', w);
    return;
  }
  p = fill(p, ' ', w - len);
  if (minus) *p++ = '-';
  p = copy(p, body.data(), body.size());
  if (d == 0) *p = '.';
}

}  // namespace

void append_f(TextBuffer& out, double x, int w, int d) {
  if (w <= 0 || d < 0) throw std::invalid_argument("bad F descriptor");
  const auto width = static_cast<std::size_t>(w);
  if (std::isnan(x)) return right(out, "NaN", width);
  if (std::isinf(x)) {
    if (x > 0) return right(out, width >= 8 ? "Infinity" : "Inf", width);
    return right(out, width >= 9 ? "-Infinity" : "-Inf", width);
  }
  const double a = std::fabs(x);
  const bool minus = std::signbit(x);  // also for -0.0 and values rounding to zero
  std::uint64_t q = 0;
  if (scaled(a, d, q)) return fixed_field(out, q, minus, width, static_cast<std::size_t>(d));
  // Large values and many decimals: the exact binary value rounded to d decimals,
  // ties to even; the largest double has 309 digits before the point.
  std::string digits(static_cast<std::size_t>(d) + 330, ' ');
  const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), a, std::chars_format::fixed, d).ptr;
  fixed_field(out, std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())), minus, width,
              static_cast<std::size_t>(d));
}

void append_i(TextBuffer& out, long long n, int w) {
  if (w <= 0) throw std::invalid_argument("bad I descriptor");
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  right(out, std::string_view(digits, static_cast<std::size_t>(end - digits)), static_cast<std::size_t>(w));
}

void append_a(TextBuffer& out, std::string_view s, int w) {
  if (w < 0) return out.append(s);
  const auto width = static_cast<std::size_t>(w);
  if (s.size() >= width) return out.append(s.substr(0, width));
  right(out, s, width);
}

std::string edit_f(double x, int w, int d) {
  TextBuffer t;
  append_f(t, x, w, d);
  return std::string(t.view());
}

std::string edit_i(long long n, int w) {
  TextBuffer t;
  append_i(t, n, w);
  return std::string(t.view());
}

std::string edit_a(std::string_view s, int w) {
  TextBuffer t;
  append_a(t, s, w);
  return std::string(t.view());
}

}  // namespace orbicutter
