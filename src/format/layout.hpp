// Records written from Fortran-style layouts such as "(2A4,3I6,3F10.6)".
#pragma once

#include <span>
#include <string>
#include <string_view>

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

// The text that a formatted write of `values` with `layout` produces: records
// separated by '\n', no '\n' after the last one. When the values outrun the
// layout, it starts again on a new record (reversion to the last top-level group,
// or to the start). The write ends at the first data descriptor left without a
// value. Throws std::invalid_argument for a malformed layout or a value of the
// wrong kind for its descriptor.
std::string format_record(std::string_view layout, std::span<const Value> values);

// Single edit descriptors, for callers and tests.
std::string edit_f(double x, int w, int d);       // Fw.d
std::string edit_i(long long n, int w);           // Iw
std::string edit_a(std::string_view s, int w);    // Aw (w < 0: A, the whole text)

}  // namespace orbicutter
