// The parsed form of a Fortran-style layout, its parser and the walk that hands
// values to its descriptors; all usable at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

namespace orbicutter {

// One item of a layout, in a flat array in reading order: a group is followed by
// its items, and `next` is the index of the item after the group (after the item
// itself for anything else). `count` repeats data descriptors, texts, slashes and
// groups; for X it is the number of blanks.
struct LayoutItem {
  enum class Kind : std::uint8_t { group, i, f, a, x, text, slash, colon };
  Kind kind = Kind::group;
  bool data = false;       // a data descriptor, or a group holding one
  char quote = 0;          // text: its quote, which stands doubled inside
  std::int32_t count = 1;
  std::int32_t w = -1;     // A without a width: -1
  std::int32_t d = 0;
  std::uint16_t next = 0;
  std::uint16_t pos = 0;   // text: its characters in the layout, between the quotes
  std::uint16_t len = 0;
};

// Far more items than any layout of the program has.
inline constexpr int max_layout_items = 24;

struct ParsedLayout {
  std::array<LayoutItem, max_layout_items> item{};
  int count = 0;   // items in use; the top level runs from 0 along `next`
  int revert = 0;  // where the layout starts again: the last top-level group, or 0
};

namespace layout_parsing {

// Blanks are insignificant and, as many runtimes allow, a comma between two items
// may be left out. Each function returns the reason when the layout is malformed.
class Parser {
 public:
  constexpr Parser(std::string_view s, ParsedLayout& out) : s_(s), out_(out) {}

  constexpr const char* parse() {
    if (s_.size() > std::numeric_limits<std::uint16_t>::max()) return "layout too long";
    if (!eat('(')) return "must start with '('";
    if (const char* why = group_body()) return why;
    skip_blanks();
    if (pos_ != s_.size()) return "text after the closing ')'";
    int revert = 0;
    for (int k = 0; k < out_.count; k = out_.item[k].next)
      if (out_.item[k].kind == LayoutItem::Kind::group) revert = k;
    out_.revert = revert;
    return nullptr;
  }

 private:
  constexpr void skip_blanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }
  constexpr bool eat(char c) {
    skip_blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  constexpr char peek() {
    skip_blanks();
    if (pos_ >= s_.size()) return '\0';
    const char c = s_[pos_];
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  constexpr bool digit_next() {
    const char c = peek();
    return c >= '0' && c <= '9';
  }

  constexpr const char* number(std::int32_t& n) {
    if (!digit_next()) return "number expected";
    long long v = 0;
    while (digit_next()) {
      v = v * 10 + (s_[pos_++] - '0');
      if (v > std::numeric_limits<std::int32_t>::max()) return "number too large";
    }
    n = static_cast<std::int32_t>(v);
    return nullptr;
  }
  constexpr const char* width(std::int32_t& w) {
    if (const char* why = number(w)) return why;
    return w == 0 ? "zero width" : nullptr;
  }

  // Items up to and including the matching ')'; `data` is set when one of them
  // holds a data descriptor.
  constexpr const char* group_body(bool* data = nullptr) {
    bool need_item = false;  // after a comma
    while (true) {
      if (eat(')')) return need_item ? "empty item" : nullptr;
      if (pos_ >= s_.size()) return "missing ')'";
      int k = 0;
      if (const char* why = item(k)) return why;
      if (data && out_.item[k].data) *data = true;
      need_item = eat(',');
    }
  }

  // One item, stored at index k.
  constexpr const char* item(int& k) {
    if (out_.count == max_layout_items) return "too many items";
    k = out_.count++;
    LayoutItem it;
    const bool counted = digit_next();
    if (counted) {
      if (const char* why = number(it.count)) return why;
      if (it.count == 0) return "zero repeat count";
    }
    const char c = peek();
    if (c == '\'' || c == '"') {
      if (counted) return "repeat count before a quoted text";
      it.kind = LayoutItem::Kind::text;
      if (const char* why = quoted(it)) return why;
    } else {
      ++pos_;
      switch (c) {
        case '(':
          if (const char* why = group_body(&it.data)) return why;
          break;
        case 'I':
          it.kind = LayoutItem::Kind::i;
          if (const char* why = width(it.w)) return why;
          break;
        case 'F':
          it.kind = LayoutItem::Kind::f;
          if (const char* why = width(it.w)) return why;
          if (!eat('.')) return "F needs w.d";
          if (const char* why = number(it.d)) return why;
          break;
        case 'A':
          it.kind = LayoutItem::Kind::a;
          if (digit_next())
            if (const char* why = width(it.w)) return why;
          break;
        case 'X':
          it.kind = LayoutItem::Kind::x;
          break;
        case '/':
          it.kind = LayoutItem::Kind::slash;
          break;
        case ':':
          if (counted) return "repeat count before ':'";
          it.kind = LayoutItem::Kind::colon;
          break;
        default:
          return "unknown descriptor";
      }
    }
    if (it.kind == LayoutItem::Kind::i || it.kind == LayoutItem::Kind::f || it.kind == LayoutItem::Kind::a)
      it.data = true;
    it.next = static_cast<std::uint16_t>(out_.count);
    out_.item[k] = it;
    return nullptr;
  }

  // '...' or "..." with the quote doubled inside.
  constexpr const char* quoted(LayoutItem& it) {
    it.quote = s_[pos_++];
    it.pos = static_cast<std::uint16_t>(pos_);
    while (true) {
      if (pos_ >= s_.size()) return "unterminated text";
      if (s_[pos_++] != it.quote) continue;
      if (pos_ < s_.size() && s_[pos_] == it.quote) {
        ++pos_;
        continue;
      }
      it.len = static_cast<std::uint16_t>(pos_ - 1 - it.pos);
      return nullptr;
    }
  }

  std::string_view s_;
  ParsedLayout& out_;
  std::size_t pos_ = 0;
};

}  // namespace layout_parsing

// Parses `text` into `out`; the reason when it is malformed, else nullptr.
constexpr const char* parse_layout(std::string_view text, ParsedLayout& out) {
  out = ParsedLayout{};
  return layout_parsing::Parser(text, out).parse();
}

// Whether `text` is a well-formed layout.
constexpr bool valid_layout(std::string_view text) {
  ParsedLayout p;
  return parse_layout(text, p) == nullptr;
}

// Processes a layout the way a Fortran runtime processes a format for a write of
// `nvalues` values. The sink gets data(item, value number), text(item),
// blanks(n) and record_end(). When the values outrun the layout it starts again on
// a new record (reversion to the last top-level group with its repeat count, or to
// the start). The write ends at the first data descriptor left without a value.
// Returns the reason when the values cannot be written with this layout.
// A sink with `skips_texts` true only follows which descriptor takes which value.
template <class Sink>
class LayoutWalk {
 public:
  constexpr LayoutWalk(const ParsedLayout& p, std::size_t nvalues, Sink& sink) : p_(p), n_(nvalues), sink_(sink) {}

  constexpr const char* run() {
    int from = 0;
    while (true) {
      bool any = false;
      for (int k = from; k < p_.count; k = p_.item[k].next) any = any || p_.item[k].data;
      if (!any && next_ < n_) return "no data descriptor for the values";
      for (int k = from; k < p_.count; k = p_.item[k].next)
        if (!item(k)) return nullptr;
      if (next_ == n_) return nullptr;
      sink_.record_end();
      from = p_.revert;
    }
  }

 private:
  // False once the write has ended.
  constexpr bool item(int k) {
    const LayoutItem& it = p_.item[k];
    switch (it.kind) {
      case LayoutItem::Kind::group:
        if (Sink::skips_texts && !it.data) return true;
        for (std::int32_t r = 0; r < it.count; ++r)
          for (int c = k + 1; c < it.next; c = p_.item[c].next)
            if (!item(c)) return false;
        return true;
      case LayoutItem::Kind::i:
      case LayoutItem::Kind::f:
      case LayoutItem::Kind::a:
        for (std::int32_t r = 0; r < it.count; ++r) {
          if (next_ == n_) return false;
          sink_.data(it, next_++);
        }
        return true;
      case LayoutItem::Kind::x:
        sink_.blanks(it.count);
        return true;
      case LayoutItem::Kind::text:
        sink_.text(it);
        return true;
      case LayoutItem::Kind::slash:
        for (std::int32_t r = 0; r < it.count; ++r) sink_.record_end();
        return true;
      case LayoutItem::Kind::colon:
        return next_ < n_;
    }
    return true;
  }

  const ParsedLayout& p_;
  std::size_t n_;
  Sink& sink_;
  std::size_t next_ = 0;
};

}  // namespace orbicutter
