// Fortran-style layouts: a small parser into a tree of items, and a writer that
// walks the tree the way a Fortran runtime processes a format.
#include "format/layout.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <vector>

namespace orbicutter {

namespace {

std::string stars(int w) { return std::string(static_cast<std::size_t>(w), '*'); }

std::string right(std::string_view s, int w) {
  std::string r(static_cast<std::size_t>(w) - s.size(), ' ');
  r += s;
  return r;
}

}  // namespace

std::string edit_f(double x, int w, int d) {
  if (w <= 0 || d < 0) throw std::invalid_argument("bad F descriptor");
  if (std::isnan(x)) return w >= 3 ? right("NaN", w) : stars(w);
  if (std::isinf(x)) {
    if (x > 0) return w >= 8 ? right("Infinity", w) : w >= 3 ? right("Inf", w) : stars(w);
    return w >= 9 ? right("-Infinity", w) : w >= 4 ? right("-Inf", w) : stars(w);
  }
  // glibc prints the exact binary value rounded to nearest, ties to even.
  const double a = std::fabs(x);
  const int n = std::snprintf(nullptr, 0, "%.*f", d, a);
  if (n <= 0) throw std::invalid_argument("F descriptor: no digits");
  std::vector<char> buf(static_cast<std::size_t>(n) + 1);
  std::snprintf(buf.data(), buf.size(), "%.*f", d, a);
  std::string body(buf.data(), static_cast<std::size_t>(n));
  if (d == 0) body += '.';
  const bool minus = std::signbit(x);  // also for -0.0 and values rounding to zero
  std::size_t len = body.size() + (minus ? 1 : 0);
  const auto width = static_cast<std::size_t>(w);
  // The zero before the point is optional when d > 0.
  if (len > width && d > 0 && body[0] == '0') {
    body.erase(0, 1);
    --len;
  }
  if (len > width) return stars(w);
  return right((minus ? "-" : "") + body, w);
}

std::string edit_i(long long n, int w) {
  if (w <= 0) throw std::invalid_argument("bad I descriptor");
  const std::string s = std::to_string(n);
  if (s.size() > static_cast<std::size_t>(w)) return stars(w);
  return right(s, w);
}

std::string edit_a(std::string_view s, int w) {
  if (w < 0) return std::string(s);
  if (s.size() >= static_cast<std::size_t>(w)) return std::string(s.substr(0, static_cast<std::size_t>(w)));
  return right(s, w);
}

namespace {

// One item of a layout. `count` repeats data descriptors, texts, slashes and
// groups; for X it is the number of blanks.
struct Item {
  enum class Kind { group, i, f, a, x, text, slash, colon };
  Kind kind = Kind::group;
  long long count = 1;
  int w = -1;
  int d = 0;
  std::string text;
  std::vector<Item> items;
};

[[noreturn]] void bad_layout(std::string_view layout, const char* why) {
  throw std::invalid_argument("malformed layout \"" + std::string(layout) + "\": " + why);
}

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  Item parse() {
    skip_blanks();
    if (!eat('(')) fail("must start with '('");
    Item top = group_body();
    skip_blanks();
    if (pos_ != s_.size()) fail("text after the closing ')'");
    return top;
  }

 private:
  [[noreturn]] void fail(const char* why) { bad_layout(s_, why); }

  void skip_blanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }
  bool eat(char c) {
    skip_blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  char peek() {
    skip_blanks();
    return pos_ < s_.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(s_[pos_]))) : '\0';
  }
  bool digit_next() { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }

  long long number() {
    if (!digit_next()) fail("number expected");
    long long n = 0;
    while (digit_next()) {
      n = n * 10 + (s_[pos_++] - '0');
      if (n > std::numeric_limits<int>::max()) fail("number too large");
    }
    return n;
  }

  // Items up to and including the matching ')'. Blanks are insignificant and,
  // as many runtimes allow, a comma between two items may be left out.
  Item group_body() {
    Item g;
    bool need_item = false;  // after a comma
    while (true) {
      if (eat(')')) {
        if (need_item) fail("empty item");
        return g;
      }
      if (pos_ >= s_.size()) fail("missing ')'");
      g.items.push_back(item());
      need_item = eat(',');
    }
  }

  Item item() {
    Item it;
    const bool counted = digit_next();
    if (counted) {
      it.count = number();
      if (it.count == 0) fail("zero repeat count");
    }
    const char c = peek();
    if (c == '\'' || c == '"') {
      if (counted) fail("repeat count before a quoted text");
      it.kind = Item::Kind::text;
      it.text = quoted();
      return it;
    }
    ++pos_;
    switch (c) {
      case '(': {
        const long long n = it.count;
        it = group_body();
        it.count = n;
        break;
      }
      case 'I':
        it.kind = Item::Kind::i;
        it.w = width();
        break;
      case 'F':
        it.kind = Item::Kind::f;
        it.w = width();
        if (!eat('.')) fail("F needs w.d");
        it.d = static_cast<int>(number());
        break;
      case 'A':
        it.kind = Item::Kind::a;
        if (digit_next()) it.w = width();
        break;
      case 'X':
        it.kind = Item::Kind::x;
        break;
      case '/':
        it.kind = Item::Kind::slash;
        break;
      case ':':
        if (counted) fail("repeat count before ':'");
        it.kind = Item::Kind::colon;
        break;
      default:
        fail("unknown descriptor");
    }
    return it;
  }

  int width() {
    const long long w = number();
    if (w == 0) fail("zero width");
    return static_cast<int>(w);
  }

  // '...' or "..." with the quote doubled inside.
  std::string quoted() {
    const char q = s_[pos_++];
    std::string t;
    while (true) {
      if (pos_ >= s_.size()) fail("unterminated text");
      const char c = s_[pos_++];
      if (c != q) {
        t += c;
      } else if (pos_ < s_.size() && s_[pos_] == q) {
        t += q;
        ++pos_;
      } else {
        return t;
      }
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

bool has_data(const Item& it) {
  switch (it.kind) {
    case Item::Kind::i:
    case Item::Kind::f:
    case Item::Kind::a:
      return true;
    case Item::Kind::group:
      for (const auto& c : it.items)
        if (has_data(c)) return true;
      return false;
    default:
      return false;
  }
}

// Walks the tree; every run function returns false once the write has ended.
class Writer {
 public:
  Writer(std::string_view layout, std::span<const Value> values) : layout_(layout), values_(values) {}

  std::string write(const Item& top) {
    // Reversion goes back to the last top-level group, with its repeat count.
    std::size_t revert = 0;
    for (std::size_t k = 0; k < top.items.size(); ++k)
      if (top.items[k].kind == Item::Kind::group) revert = k;
    std::size_t from = 0;
    while (true) {
      bool any = false;
      for (std::size_t k = from; k < top.items.size(); ++k) any = any || has_data(top.items[k]);
      if (!any && next_ < values_.size()) bad_layout(layout_, "no data descriptor for the values");
      for (std::size_t k = from; k < top.items.size(); ++k)
        if (!run(top.items[k])) return out_;
      if (next_ == values_.size()) return out_;
      new_record();
      from = revert;
    }
  }

 private:
  bool run(const Item& it) {
    switch (it.kind) {
      case Item::Kind::group:
        for (long long r = 0; r < it.count; ++r)
          for (const auto& c : it.items)
            if (!run(c)) return false;
        return true;
      case Item::Kind::i:
      case Item::Kind::f:
      case Item::Kind::a:
        for (long long r = 0; r < it.count; ++r) {
          if (next_ == values_.size()) return false;
          emit(edit(it, values_[next_++]));
        }
        return true;
      case Item::Kind::x:
        pending_ += it.count;  // blanks appear only if something follows on the record
        return true;
      case Item::Kind::text:
        emit(it.text);
        return true;
      case Item::Kind::slash:
        for (long long r = 0; r < it.count; ++r) new_record();
        return true;
      case Item::Kind::colon:
        return next_ < values_.size();
    }
    return true;
  }

  std::string edit(const Item& it, const Value& v) {
    const auto kind_needed = it.kind == Item::Kind::i   ? Value::Kind::integer
                             : it.kind == Item::Kind::f ? Value::Kind::real
                                                        : Value::Kind::text;
    if (v.kind != kind_needed)
      bad_layout(layout_, "value of the wrong kind for its descriptor");
    switch (it.kind) {
      case Item::Kind::i: return edit_i(v.i, it.w);
      case Item::Kind::f: return edit_f(v.r, it.w, it.d);
      default: return edit_a(v.t, it.w);
    }
  }

  void emit(std::string_view s) {
    out_.append(static_cast<std::size_t>(pending_), ' ');
    pending_ = 0;
    out_ += s;
  }

  void new_record() {
    out_ += '\n';
    pending_ = 0;
  }

  std::string_view layout_;
  std::span<const Value> values_;
  std::size_t next_ = 0;
  long long pending_ = 0;
  std::string out_;
};

}  // namespace

std::string format_record(std::string_view layout, std::span<const Value> values) {
  const Item top = Parser(layout).parse();
  return Writer(layout, values).write(top);
}

}  // namespace orbicutter
