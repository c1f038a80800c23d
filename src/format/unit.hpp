// An output unit: standard output or a file, written record by record through layouts.
#pragma once

#include <array>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "format/layout.hpp"

namespace orbicutter {

class Unit {
 public:
  Unit() = default;
  ~Unit() { drain(); }
  Unit(Unit&& o) noexcept { take(o); }
  Unit& operator=(Unit&& o) noexcept {
    if (this != &o) {
      close();
      take(o);
    }
    return *this;
  }

  // Standard output; every write is passed on at once, so progress shows as it happens.
  static Unit standard_output() { return stream(std::cout); }
  // Writes into a string stream (tests), also at once.
  static Unit memory(std::ostream& os) { return stream(os); }

  // Creates or replaces the file. False when it cannot be created. Records are
  // gathered in memory and written out in large blocks.
  bool open(const std::string& path) {
    auto f = std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!*f) return false;
    close();
    file_ = std::move(f);
    os_ = file_.get();
    immediate_ = false;
    buf_.reserve(block);
    return true;
  }
  bool is_open() const { return os_ != nullptr; }
  void close() {
    drain();
    if (file_) file_->close();
    file_.reset();
    os_ = nullptr;
    buf_ = TextBuffer();
  }
  void flush() {
    drain();
    if (os_) os_->flush();
  }

  // One formatted write that ends its last record (advancing).
  template <class... V>
  void write(LayoutFor<V...> layout, const V&... v) {
    record(layout.parsed(), layout.text(), std::array<Value, sizeof...(V)>{Value(v)...}, true);
  }
  // The same, but the last record stays open for the next write (non-advancing).
  template <class... V>
  void put(LayoutFor<V...> layout, const V&... v) {
    record(layout.parsed(), layout.text(), std::array<Value, sizeof...(V)>{Value(v)...}, false);
  }
  // A whole line of text: write("(A)", text).
  void line(std::string_view text) {
    if (!os_) return;
    buf_.append(text);
    end_write(true);
  }

 private:
  static constexpr std::size_t block = 1 << 16;

  static Unit stream(std::ostream& os) {
    Unit u;
    u.os_ = &os;
    u.immediate_ = true;
    return u;
  }
  void take(Unit& o) {
    buf_ = std::move(o.buf_);
    os_ = std::exchange(o.os_, nullptr);
    file_ = std::move(o.file_);
    immediate_ = o.immediate_;
  }
  template <std::size_t N>
  void record(const ParsedLayout& layout, std::string_view text, const std::array<Value, N>& values,
              bool end_record) {
    if (!os_) return;
    append_record(buf_, layout, text, values);
    end_write(end_record);
  }
  void end_write(bool end_record) {
    if (end_record) buf_.push_back('\n');
    if (immediate_ || buf_.size() >= block) drain();
  }
  // The one place where bytes leave the unit.
  void drain() {
    if (os_ && !buf_.empty()) os_->write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
    buf_.clear();
  }

  TextBuffer buf_;
  std::ostream* os_ = nullptr;
  std::unique_ptr<std::ofstream> file_;
  bool immediate_ = false;
};

}  // namespace orbicutter
