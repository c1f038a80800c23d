// Free-format (list-directed) reading: values separated by blanks, commas or
// line ends, null values, r*c repeats, quoted texts, and a slash that ends the read.
#include "format/listread.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>
#include <string_view>

namespace orbicutter {

namespace {

constexpr int end_of_line = '\n';  // lines never hold '\n'
constexpr int end_of_file = -1;

bool blank(int c) { return c == ' ' || c == '\t' || c == '\r'; }
bool digit(int c) { return c >= '0' && c <= '9'; }
// Characters that end an unquoted value.
bool ends_value(int c) {
  return blank(c) || c == ',' || c == '/' || c == end_of_line || c == end_of_file;
}

// A position in the file; the column past the last character is the line end.
class Cursor {
 public:
  Cursor(const std::vector<std::string>& lines, std::size_t line) : lines_(lines), line_(line) {}

  int peek() const {
    if (line_ >= lines_.size()) return end_of_file;
    const std::string& s = lines_[line_];
    return col_ < s.size() ? static_cast<unsigned char>(s[col_]) : end_of_line;
  }
  void advance() {
    if (line_ >= lines_.size()) return;
    if (col_ < lines_[line_].size()) {
      ++col_;
    } else {
      ++line_;
      col_ = 0;
    }
  }
  // Blanks, tabs and line ends, and so whole blank lines.
  void skip_space() {
    while (blank(peek()) || peek() == end_of_line) advance();
  }
  // The rest of the current line (empty at end of file).
  std::string_view rest() const {
    if (line_ >= lines_.size()) return {};
    return std::string_view(lines_[line_]).substr(col_);
  }
  void skip(std::size_t n) { col_ += n; }
  std::size_t line() const { return line_; }

 private:
  const std::vector<std::string>& lines_;
  std::size_t line_;
  std::size_t col_ = 0;
};

enum class Fault { none, bad_integer, integer_overflow, bad_real, float_read, bad_string };

std::string fault_message(Fault f, std::size_t item) {
  const std::string n = std::to_string(item);
  switch (f) {
    case Fault::bad_integer: return "Bad integer for item " + n + " in list input";
    case Fault::integer_overflow: return "Integer overflow while reading item " + n;
    case Fault::bad_real: return "Bad real number in item " + n + " of list input";
    case Fault::float_read: return "Error during floating point read";
    case Fault::bad_string: return "Invalid string input in item " + n;
    case Fault::none: break;
  }
  return {};
}

// One value as it stands in the file.
struct Token {
  std::string text;
  bool quoted = false;
};

// The value cut or padded with blanks to the variable's length.
std::string fit(std::string_view s, int length) {
  const auto n = static_cast<std::size_t>(std::max(length, 0));
  std::string r(s.substr(0, std::min(s.size(), n)));
  r.resize(n, ' ');
  return r;
}

void read_unquoted(Cursor& c, std::string& out) {
  while (!ends_value(c.peek())) {
    out += static_cast<char>(c.peek());
    c.advance();
  }
}

// From the opening quote. A doubled quote stands for itself; a line end inside
// is dropped; end of file ends the text.
Fault read_quoted(Cursor& c, std::string& out) {
  const int q = c.peek();
  c.advance();
  while (true) {
    const int ch = c.peek();
    if (ch == end_of_file) return Fault::none;
    c.advance();
    if (ch == end_of_line) continue;
    if (ch != q) {
      out += static_cast<char>(ch);
    } else if (c.peek() == q) {
      out += static_cast<char>(q);
      c.advance();
    } else {
      return ends_value(c.peek()) ? Fault::none : Fault::bad_string;
    }
  }
}

bool sign_at(std::string_view t, std::size_t i) { return i < t.size() && (t[i] == '+' || t[i] == '-'); }

// Optional sign and decimal digits only, within the 4-byte range.
Fault to_int(std::string_view t, int& v) {
  std::size_t i = 0;
  const bool neg = sign_at(t, 0) && t[0] == '-';
  if (sign_at(t, 0)) ++i;
  if (i == t.size()) return Fault::bad_integer;
  long long n = 0;
  for (; i < t.size(); ++i) {
    if (!digit(t[i])) return Fault::bad_integer;
    if (n < 10'000'000'000LL) n = n * 10 + (t[i] - '0');  // saturates far beyond the range
  }
  if (neg) n = -n;
  if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) return Fault::integer_overflow;
  v = static_cast<int>(n);
  return Fault::none;
}

bool same_lower(std::string_view a, std::string_view lower) {
  return a.size() == lower.size() && std::equal(a.begin(), a.end(), lower.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? static_cast<char>(x - 'A' + 'a') : x) == y;
         });
}

// inf, infinity, nan and nan(...) in any case.
template <class T>
bool special(std::string_view t, bool neg, T& v) {
  const T sign = neg ? T(-1) : T(1);
  if (same_lower(t, "inf") || same_lower(t, "infinity")) {
    v = sign * std::numeric_limits<T>::infinity();
    return true;
  }
  bool nan = same_lower(t, "nan");
  if (!nan && t.size() >= 5 && same_lower(t.substr(0, 4), "nan(") && t.back() == ')') {
    const auto inside = t.substr(4, t.size() - 5);
    nan = std::all_of(inside.begin(), inside.end(), [](char c) {
      return digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    });
  }
  if (nan) v = std::copysign(std::numeric_limits<T>::quiet_NaN(), sign);
  return nan;
}

// Decimal exponent of the leading nonzero digit of int.frac * 10^ex.
long long leading_exponent(std::string_view ip, std::string_view fp, long long ex) {
  const auto p = ip.find_first_not_of('0');
  if (p != std::string_view::npos) return static_cast<long long>(ip.size() - 1 - p) + ex;
  const auto q = fp.find_first_not_of('0');
  return q == std::string_view::npos ? -1 : ex - static_cast<long long>(q) - 1;
}

// Sign, digits with an optional point, then an exponent (e, E, d, D, or just a
// sign). Rounded correctly and directly to T: a 4-byte read never goes
// through an 8-byte value.
template <class T>
Fault to_real(std::string_view t, T& v) {
  std::size_t i = 0;
  const bool neg = sign_at(t, 0) && t[0] == '-';
  if (sign_at(t, 0)) ++i;
  if (special(t.substr(i), neg, v)) return Fault::none;
  const std::size_t i0 = i;
  while (i < t.size() && digit(t[i])) ++i;
  const std::string_view ip = t.substr(i0, i - i0);
  std::string_view fp;
  bool point = false;
  if (i < t.size() && t[i] == '.') {
    point = true;
    const std::size_t f0 = ++i;
    while (i < t.size() && digit(t[i])) ++i;
    fp = t.substr(f0, i - f0);
  }
  long long ex = 0;
  if (i < t.size()) {
    const char c = t[i];
    const bool letter = c == 'e' || c == 'E' || c == 'd' || c == 'D';
    if (!letter && c != '+' && c != '-') return Fault::bad_real;
    if (letter) ++i;
    const bool eneg = sign_at(t, i) && t[i] == '-';
    if (sign_at(t, i)) ++i;
    if (i == t.size()) return Fault::bad_real;
    for (; i < t.size(); ++i) {
      if (!digit(t[i])) return Fault::bad_real;
      if (ex < 1'000'000'000'000'000LL) ex = ex * 10 + (t[i] - '0');
    }
    if (eneg) ex = -ex;
  }
  if (ip.empty() && fp.empty()) return point ? Fault::float_read : Fault::bad_real;

  std::string s = neg ? "-" : "";
  s += ip.empty() ? std::string_view("0") : ip;
  s += '.';
  s += fp;
  s += 'e';
  s += std::to_string(ex);
  T x{};
  const auto r = std::from_chars(s.data(), s.data() + s.size(), x);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large becomes infinity, too small zero.
    x = leading_exponent(ip, fp, ex) >= 0 ? std::numeric_limits<T>::infinity() : T(0);
    if (neg) x = -x;
  } else if (r.ec != std::errc() || r.ptr != s.data() + s.size()) {
    return Fault::float_read;
  }
  v = x;
  return Fault::none;
}

Fault assign(const ReadItem& it, const Token& tok) {
  switch (it.kind) {
    case ReadItem::Kind::integer: {
      int v = 0;
      const Fault f = tok.quoted ? Fault::bad_integer : to_int(tok.text, v);
      if (f == Fault::none) *static_cast<int*>(it.target) = v;
      return f;
    }
    case ReadItem::Kind::real4: {
      float v = 0;
      const Fault f = tok.quoted ? Fault::bad_real : to_real(tok.text, v);
      if (f == Fault::none) *static_cast<float*>(it.target) = v;
      return f;
    }
    case ReadItem::Kind::real8: {
      double v = 0;
      const Fault f = tok.quoted ? Fault::bad_real : to_real(tok.text, v);
      if (f == Fault::none) *static_cast<double*>(it.target) = v;
      return f;
    }
    case ReadItem::Kind::text:
      *static_cast<std::string*>(it.target) = fit(tok.text, it.length);
      return Fault::none;
  }
  return Fault::none;
}

struct Outcome {
  ReadStatus status;
  std::size_t line;  // the last line touched
  std::string message;
};

// A count r in front of "r*": 0 when there is none, -1 when it is zero, -2 when too large.
long long repeat_count(std::string_view rest, std::size_t& length) {
  std::size_t j = 0;
  while (j < rest.size() && digit(rest[j])) ++j;
  if (j == 0 || j >= rest.size() || rest[j] != '*') return 0;
  long long n = 0;
  for (std::size_t p = 0; p < j; ++p) {
    n = n * 10 + (rest[p] - '0');
    if (n > std::numeric_limits<int>::max()) return -2;
  }
  length = j + 1;
  return n == 0 ? -1 : n;
}

Outcome list_read(const std::vector<std::string>& lines, std::size_t start, std::span<const ReadItem> items) {
  Cursor c(lines, start);
  const auto done = [&] { return Outcome{ReadStatus::ok, c.line(), {}}; };
  const auto error = [&](std::string m) { return Outcome{ReadStatus::error, c.line(), std::move(m)}; };
  std::size_t k = 0;
  bool after_value = false;  // a separator is due before the next value
  while (k < items.size()) {
    if (after_value) {
      c.skip_space();
      if (c.peek() == ',') c.advance();
    }
    c.skip_space();
    const int ch = c.peek();
    if (ch == end_of_file) return {ReadStatus::end_of_file, lines.size(), "End of file"};
    if (ch == '/') {
      c.advance();
      return done();
    }
    if (ch == ',') {  // null value
      c.advance();
      ++k;
      after_value = false;
      continue;
    }
    after_value = true;
    std::size_t prefix = 0;
    long long count = repeat_count(c.rest(), prefix);
    if (count == -1) return error("Zero repeat count in item " + std::to_string(k + 1) + " of list input");
    if (count == -2) return error("Repeat count overflow in item " + std::to_string(k + 1) + " of list input");
    c.skip(prefix);
    if (count > 0 && ends_value(c.peek())) {  // r null values
      k += static_cast<std::size_t>(std::min<long long>(count, static_cast<long long>(items.size() - k)));
      continue;
    }
    Token tok;
    const int q = c.peek();
    if ((q == '\'' || q == '"') && items[k].kind == ReadItem::Kind::text) {
      tok.quoted = true;
      if (read_quoted(c, tok.text) != Fault::none) return error(fault_message(Fault::bad_string, k + 1));
    } else {
      read_unquoted(c, tok.text);
    }
    for (long long r = 0; r < std::max(count, 1LL) && k < items.size(); ++r, ++k) {
      const Fault f = assign(items[k], tok);
      if (f != Fault::none) return error(fault_message(f, k + 1));
    }
  }
  return done();
}

}  // namespace

ListReader::ListReader(const std::string& contents) {
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

ReadStatus ListReader::finish(ReadStatus status, std::size_t line, std::string message) {
  message_ = std::move(message);
  const std::size_t n = lines_.size();
  if (status == ReadStatus::end_of_file) {
    next_ = last_start_ = n;  // BACKSPACE then finds the end of file again
  } else if (line >= n) {     // a quoted text ran to the end of the file
    next_ = n;
    last_start_ = n > 0 ? n - 1 : 0;
  } else {
    last_start_ = line;
    next_ = line + 1;  // the rest of the line is skipped
  }
  return status;
}

ReadStatus ListReader::read(std::initializer_list<ReadItem> items) {
  const Outcome o = list_read(lines_, next_, std::span(items.begin(), items.size()));
  return finish(o.status, o.line, o.message);
}

ReadStatus ListReader::read(const std::vector<ReadItem>& items) {
  const Outcome o = list_read(lines_, next_, items);
  return finish(o.status, o.line, o.message);
}

ReadStatus ListReader::read_line(std::string& text, int length) {
  if (next_ >= lines_.size()) return finish(ReadStatus::end_of_file, lines_.size(), "End of file");
  text = fit(lines_[next_], length);
  return finish(ReadStatus::ok, next_, {});
}

void ListReader::backspace() {
  next_ = last_start_;
  if (last_start_ > 0) --last_start_;
}

}  // namespace orbicutter
