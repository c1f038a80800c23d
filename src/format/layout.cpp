// Fortran-style layouts (to be written).
#include "format/layout.hpp"

namespace orbicutter {
std::string format_record(std::string_view, std::span<const Value> values) {
  std::string s;
  for (const auto& v : values) if (v.kind == Value::Kind::text) s += v.t;
  return s;
}
std::string edit_f(double, int w, int) { return std::string(static_cast<std::size_t>(w), '*'); }
std::string edit_i(long long, int w) { return std::string(static_cast<std::size_t>(w), '*'); }
std::string edit_a(std::string_view s, int) { return std::string(s); }
}  // namespace orbicutter
