// Records from parsed layouts: each value edited straight into the record text.
#include "format/layout.hpp"

#include <stdexcept>

namespace orbicutter {
namespace {

[[noreturn]] void bad_layout(std::string_view text, const char* why) {
  throw std::invalid_argument("malformed layout \"" + std::string(text) + "\": " + why);
}

struct RecordSink {
  static constexpr bool skips_texts = false;
  TextBuffer& out;
  std::string_view layout;
  std::span<const Value> values;
  long long pending = 0;  // X blanks appear only if something follows on the record

  void open_field() {
    if (pending > 0) out.append(static_cast<std::size_t>(pending), ' ');
    pending = 0;
  }
  void data(const LayoutItem& it, std::size_t k) {
    const Value& v = values[k];
    if (v.kind != kind_taken(it.kind)) bad_layout(layout, "value of the wrong kind for its descriptor");
    open_field();
    switch (it.kind) {
      case LayoutItem::Kind::f: return append_f(out, v.r, it.w, it.d);
      case LayoutItem::Kind::i: return append_i(out, v.i, it.w);
      default: return append_a(out, v.t, it.w);
    }
  }
  void text(const LayoutItem& it) {
    open_field();
    const std::string_view t = layout.substr(it.pos, it.len);
    for (std::size_t k = 0; k < t.size(); ++k) {
      out.push_back(t[k]);
      if (t[k] == it.quote) ++k;  // a doubled quote stands for one
    }
  }
  void blanks(std::int32_t n) { pending += n; }
  void record_end() {
    out.push_back('\n');
    pending = 0;
  }
};

}  // namespace

void malformed_layout(const char* why) { throw std::invalid_argument(std::string("malformed layout: ") + why); }
void values_do_not_fit_layout(const char* why) { throw std::invalid_argument(std::string("layout and values: ") + why); }

RuntimeLayout::RuntimeLayout(std::string text) : text_(std::move(text)) {
  if (const char* why = parse_layout(text_, parsed_)) bad_layout(text_, why);
}

void append_record(TextBuffer& out, const ParsedLayout& layout, std::string_view text,
                   std::span<const Value> values) {
  const std::size_t before = out.size();
  try {
    RecordSink sink{out, text, values};
    if (const char* why = LayoutWalk<RecordSink>(layout, values.size(), sink).run()) bad_layout(text, why);
  } catch (...) {
    out.truncate(before);
    throw;
  }
}

std::string format_record(std::string_view layout, std::span<const Value> values) {
  ParsedLayout parsed;
  if (const char* why = parse_layout(layout, parsed)) bad_layout(layout, why);
  TextBuffer out;
  append_record(out, parsed, layout, values);
  return std::string(out.view());
}

std::string format_record(const RuntimeLayout& layout, std::span<const Value> values) {
  TextBuffer out;
  append_record(out, layout.parsed(), layout.text(), values);
  return std::string(out.view());
}

}  // namespace orbicutter
