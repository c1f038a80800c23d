// An output unit: standard output or a file, written record by record through layouts.
#pragma once

#include <array>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "format/layout.hpp"

namespace orbicutter {

class Unit {
 public:
  Unit() = default;
  // Standard output.
  static Unit standard_output() { Unit u; u.os_ = &std::cout; return u; }
  // Writes into a string stream (tests).
  static Unit memory(std::ostream& os) { Unit u; u.os_ = &os; return u; }

  // Creates or replaces the file. False when it cannot be created.
  bool open(const std::string& path) {
    auto f = std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!*f) return false;
    file_ = std::move(f);
    os_ = file_.get();
    return true;
  }
  bool is_open() const { return os_ != nullptr; }
  void close() {
    if (file_) file_->close();
    file_.reset();
    os_ = nullptr;
  }
  void flush() { if (os_) os_->flush(); }

  // One formatted write that ends its last record (advancing).
  template <class... V>
  void write(std::string_view layout, const V&... v) {
    const std::array<Value, sizeof...(V)> vals{Value(v)...};
    emit(format_record(layout, vals), true);
  }
  // The same, but the last record stays open for the next write (non-advancing).
  template <class... V>
  void put(std::string_view layout, const V&... v) {
    const std::array<Value, sizeof...(V)> vals{Value(v)...};
    emit(format_record(layout, vals), false);
  }
  // A whole line of text: write("(A)", text).
  void line(std::string_view text) { emit(std::string(text), true); }

 private:
  void emit(const std::string& s, bool end_record) {
    if (!os_) return;
    *os_ << s;
    if (end_record) *os_ << '\n';
  }
  std::ostream* os_ = nullptr;
  std::unique_ptr<std::ofstream> file_;
};

}  // namespace orbicutter
