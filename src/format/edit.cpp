// Single edit descriptors written straight into a record: Fw.d, Iw and Aw.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "format/layout.hpp"

namespace orbicutter {
namespace {

// Room for w more characters at the end of `out`.
char* extend(std::string& out, std::size_t w) {
  const std::size_t at = out.size();
  out.resize(at + w);
  return out.data() + at;
}

// `s` right-aligned in w columns, or w asterisks when it does not fit.
void right(std::string& out, std::string_view s, std::size_t w) {
  char* p = extend(out, w);
  if (s.size() > w) {
    std::memset(p, '*', w);
    return;
  }
  std::memset(p, ' ', w - s.size());
  std::memcpy(p + (w - s.size()), s.data(), s.size());
}

// |x| rounded to d decimals as a count of 10^-d, by exact integer arithmetic on
// its binary value (ties to even), when that count stays below 10^18.
bool scaled(double a, int d, std::uint64_t& q) {
  static constexpr std::uint64_t pow10[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL,
                                            10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL,
                                            100000000000ULL, 1000000000000ULL, 10000000000000ULL,
                                            100000000000000ULL, 1000000000000000ULL, 10000000000000000ULL,
                                            100000000000000000ULL};
  if (d > 17 || !(a < 1e18 / static_cast<double>(pow10[d]))) return false;
  q = 0;
  if (a == 0) return true;
  int e = 0;
  const double fraction = std::frexp(a, &e);  // a = fraction * 2^e, fraction in [0.5, 1)
  const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  e -= 53;  // a = m * 2^e exactly
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

// The digits of |x| with d decimals, as printf's %.*f writes them, into [first, last).
char* fixed_digits(char* first, char* last, double a, int d) {
  std::uint64_t q = 0;
  if (!scaled(a, d, q)) return std::to_chars(first, last, a, std::chars_format::fixed, d).ptr;
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, q).ptr;
  auto n = static_cast<std::size_t>(end - digits);
  const auto decimals = static_cast<std::size_t>(d);
  char* p = first;
  if (n <= decimals) {
    *p++ = '0';
    if (decimals > 0) *p++ = '.';
    std::memset(p, '0', decimals - n);
    p += decimals - n;
    std::memcpy(p, digits, n);
    return p + n;
  }
  std::memcpy(p, digits, n - decimals);
  p += n - decimals;
  if (decimals > 0) {
    *p++ = '.';
    std::memcpy(p, end - decimals, decimals);
    p += decimals;
  }
  return p;
}

}  // namespace

void append_f(std::string& out, double x, int w, int d) {
  if (w <= 0 || d < 0) throw std::invalid_argument("bad F descriptor");
  const auto width = static_cast<std::size_t>(w);
  if (std::isnan(x)) return right(out, "NaN", width);
  if (std::isinf(x)) {
    if (x > 0) return right(out, width >= 8 ? "Infinity" : "Inf", width);
    return right(out, width >= 9 ? "-Infinity" : "-Inf", width);
  }
  // The exact binary value rounded to d decimals, ties to even: the largest
  // double has 309 digits before the point.
  const double a = std::fabs(x);
  char local[400];
  std::string big;
  char* first = local;
  char* last = local + sizeof local - 1;  // one spare for the point of F w.0
  if (d > 64) {
    big.resize(static_cast<std::size_t>(d) + 330);
    first = big.data();
    last = first + big.size() - 1;
  }
  char* end = fixed_digits(first, last, a, d);
  if (d == 0) *end++ = '.';
  const char* body = first;
  auto n = static_cast<std::size_t>(end - first);
  const bool minus = std::signbit(x);  // also for -0.0 and values rounding to zero
  // The zero before the point is optional when d > 0.
  if (n + minus > width && d > 0 && body[0] == '0') {
    ++body;
    --n;
  }
  char* p = extend(out, width);
  if (n + minus > width) {
    std::memset(p, '*', width);
    return;
  }
  std::memset(p, ' ', width - n - minus);
  p += width - n - minus;
  if (minus) *p++ = '-';
  std::memcpy(p, body, n);
}

void append_i(std::string& out, long long n, int w) {
  if (w <= 0) throw std::invalid_argument("bad I descriptor");
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  right(out, std::string_view(digits, static_cast<std::size_t>(end - digits)), static_cast<std::size_t>(w));
}

void append_a(std::string& out, std::string_view s, int w) {
  if (w < 0) {
    out += s;
    return;
  }
  const auto width = static_cast<std::size_t>(w);
  if (s.size() >= width) {
    out.append(s.data(), width);
    return;
  }
  char* p = extend(out, width);
  std::memset(p, ' ', width - s.size());
  std::memcpy(p + (width - s.size()), s.data(), s.size());
}

std::string edit_f(double x, int w, int d) {
  std::string s;
  append_f(s, x, w, d);
  return s;
}

std::string edit_i(long long n, int w) {
  std::string s;
  append_i(s, n, w);
  return s;
}

std::string edit_a(std::string_view s, int w) {
  std::string r;
  append_a(r, s, w);
  return r;
}

}  // namespace orbicutter
