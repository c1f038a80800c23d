// Records written from Fortran-style layouts such as "(2A4,3I6,3F10.6)".
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "format/parsed_layout.hpp"
#include "format/text_buffer.hpp"

namespace orbicutter {

// One value handed to a layout: an integer (I), a real (F) or a text (A).
// A 4-byte real is passed as its exact value widened to 8 bytes.
struct Value {
  enum class Kind { integer, real, text };
  Kind kind;
  long long i = 0;
  double r = 0;
  std::string_view t;

  Value(int v) : kind(Kind::integer), i(v) {}
  Value(long v) : kind(Kind::integer), i(v) {}
  Value(long long v) : kind(Kind::integer), i(v) {}
  Value(unsigned v) : kind(Kind::integer), i(v) {}
  Value(std::size_t v) : kind(Kind::integer), i(static_cast<long long>(v)) {}
  Value(float v) : kind(Kind::real), r(static_cast<double>(v)) {}
  Value(double v) : kind(Kind::real), r(v) {}
  Value(const char* s) : kind(Kind::text), t(s) {}
  Value(std::string_view s) : kind(Kind::text), t(s) {}
  Value(const std::string& s) : kind(Kind::text), t(s) {}
};

// The kind of value that a C++ type hands to a layout.
template <class T>
constexpr Value::Kind value_kind() {
  static_assert(!std::is_same_v<T, bool> && !std::is_same_v<T, char>, "no edit descriptor takes this type");
  if constexpr (std::is_floating_point_v<T>) return Value::Kind::real;
  else if constexpr (std::is_integral_v<T>) return Value::Kind::integer;
  else return Value::Kind::text;
}

// The kind of value that a data descriptor (I, F or A) takes.
constexpr Value::Kind kind_taken(LayoutItem::Kind descriptor) {
  return descriptor == LayoutItem::Kind::i   ? Value::Kind::integer
         : descriptor == LayoutItem::Kind::f ? Value::Kind::real
                                             : Value::Kind::text;
}

namespace layout_parsing {

// Follows which descriptor takes which value and notes a kind that does not match.
struct KindCheck {
  static constexpr bool skips_texts = true;
  const Value::Kind* kinds;
  bool wrong = false;
  constexpr void data(const LayoutItem& it, std::size_t v) {
    if (kinds[v] != kind_taken(it.kind)) wrong = true;
  }
  constexpr void text(const LayoutItem&) {}
  constexpr void blanks(std::int32_t) {}
  constexpr void record_end() {}
};

}  // namespace layout_parsing

// A layout compared against the value kinds of its write. The reason when the
// write cannot take them, else nullptr.
template <Value::Kind... K>
constexpr const char* layout_takes(const ParsedLayout& p) {
  const Value::Kind kinds[sizeof...(K) + 1] = {K..., Value::Kind::integer};  // one spare: never empty
  layout_parsing::KindCheck check{kinds};
  if (const char* why = LayoutWalk<layout_parsing::KindCheck>(p, sizeof...(K), check).run()) return why;
  return check.wrong ? "value of the wrong kind for its descriptor" : nullptr;
}

// Reached only during constant evaluation, where they stop the build: the layout
// text is malformed, or the values written with it do not fit its descriptors.
void malformed_layout(const char* why);
void values_do_not_fit_layout(const char* why);

// A layout written in the program text, for values of kinds K: parsed, and checked
// against those kinds, while the program is compiled.
template <Value::Kind... K>
class Layout {
 public:
  template <class S>
    requires std::is_convertible_v<const S&, std::string_view>
  consteval Layout(const S& text) : text_(text) {
    if (const char* why = parse_layout(text_, parsed_)) malformed_layout(why);
    if (const char* why = layout_takes<K...>(parsed_)) values_do_not_fit_layout(why);
  }
  const ParsedLayout& parsed() const { return parsed_; }
  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
  ParsedLayout parsed_;
};

// The layout of a write of values of the types V.
template <class... V>
using LayoutFor = Layout<value_kind<std::decay_t<V>>()...>;

// A layout made while the program runs (field counts that depend on the crystal):
// parsed once, when it is made. Throws std::invalid_argument when malformed.
class RuntimeLayout {
 public:
  explicit RuntimeLayout(std::string text);
  const ParsedLayout& parsed() const { return parsed_; }
  std::string_view text() const { return text_; }

 private:
  std::string text_;
  ParsedLayout parsed_;
};

// Appends the records of a formatted write to `out`, separated by '\n', without
// a '\n' after the last one. Throws std::invalid_argument, leaving `out` as it
// was, for a value of the wrong kind for its descriptor.
void append_record(TextBuffer& out, const ParsedLayout& layout, std::string_view text,
                   std::span<const Value> values);

// The same as a text. The layout is parsed here, so a malformed one throws too.
std::string format_record(std::string_view layout, std::span<const Value> values);
std::string format_record(const RuntimeLayout& layout, std::span<const Value> values);

// Single edit descriptors, appended to `out`: Fw.d, Iw, Aw (w < 0: A, the whole text).
void append_f(TextBuffer& out, double x, int w, int d);
void append_i(TextBuffer& out, long long n, int w);
void append_a(TextBuffer& out, std::string_view s, int w);

// The same as texts, for callers and tests.
std::string edit_f(double x, int w, int d);
std::string edit_i(long long n, int w);
std::string edit_a(std::string_view s, int w);

}  // namespace orbicutter
