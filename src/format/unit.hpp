// An output unit: standard output or a file, written record by record through layouts.
// Every write, flush and close is checked: the first failure stops the run with
// an Error that names the file and the system error.
#pragma once

#include <array>
#include <cerrno>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "format/layout.hpp"
#include "orbicutter/error.hpp"

namespace orbicutter {

class Unit {
 public:
  Unit() = default;
  // A unit that goes without close() is on a failure path: what it still holds
  // is written if it can be, and any error is left to the close that never came.
  ~Unit() { release(); }
  Unit(Unit&& o) noexcept { take(o); }
  Unit& operator=(Unit&& o) noexcept {
    if (this != &o) {
      release();
      take(o);
    }
    return *this;
  }

  // Standard output; every write is passed on at once, so progress shows as it happens.
  static Unit standard_output() { return stream(stdout, "standard output"); }
  // Standard error, for the box when standard output has failed.
  static Unit standard_error() { return stream(stderr, "standard error"); }
  // Writes into a string stream (tests), also at once.
  static Unit memory(std::ostream& os) {
    Unit u;
    u.os_ = &os;
    u.immediate_ = true;
    u.name_ = "the output stream";
    return u;
  }

  // Creates the file, which must not exist yet; `name` is how error boxes call it.
  // The system error when it cannot be created. Records are gathered in memory and
  // written out in large blocks.
  std::error_code create(const std::string& path, const std::string& name) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "wbx");
    if (f == nullptr) return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    std::setvbuf(f, nullptr, _IONBF, 0);  // the unit's own blocks go straight to the file
    release();
    file_ = f;
    owned_ = true;
    immediate_ = false;
    name_ = name;
    error_ = {};
    buf_.reserve(block);
    return {};
  }
  bool is_open() const { return file_ != nullptr || os_ != nullptr; }
  // A write, flush or close of this unit has failed; later writes are dropped.
  bool failed() const { return static_cast<bool>(error_); }
  // Writes out what is held and closes the file. A failure, now or before, is an
  // Error naming the file and the system error.
  void close() {
    drain();
    if (owned_) {
      std::FILE* f = std::exchange(file_, nullptr);
      owned_ = false;
      errno = 0;
      if (std::fclose(f) != 0 && !error_) fault();
    }
    file_ = nullptr;
    os_ = nullptr;
    buf_ = TextBuffer();
    if (error_) throw_error();
  }
  void flush() {
    drain();
    if (error_) throw_error();
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
    if (!is_open()) return;
    buf_.append(text);
    end_write(true);
  }

 private:
  static constexpr std::size_t block = 1 << 16;

  static Unit stream(std::FILE* f, const char* name) {
    Unit u;
    u.file_ = f;
    u.immediate_ = true;
    u.name_ = name;
    return u;
  }
  void take(Unit& o) {
    buf_ = std::move(o.buf_);
    file_ = std::exchange(o.file_, nullptr);
    owned_ = std::exchange(o.owned_, false);
    os_ = std::exchange(o.os_, nullptr);
    immediate_ = o.immediate_;
    name_ = std::move(o.name_);
    error_ = std::exchange(o.error_, {});
  }
  template <std::size_t N>
  void record(const ParsedLayout& layout, std::string_view text, const std::array<Value, N>& values,
              bool end_record) {
    if (!is_open()) return;
    append_record(buf_, layout, text, values);
    end_write(end_record);
  }
  void end_write(bool end_record) {
    if (end_record) buf_.push_back('\n');
    if (immediate_ || buf_.size() >= block) {
      drain();
      if (error_) throw_error();
    }
  }
  // The one place where bytes leave the unit. The first failure is kept, and
  // nothing more is written after it.
  void drain() {
    if (!buf_.empty() && !error_) {
      if (file_ != nullptr) {
        errno = 0;
        if (std::fwrite(buf_.data(), 1, buf_.size(), file_) != buf_.size() ||
            (immediate_ && std::fflush(file_) != 0))
          fault();
      } else if (os_ != nullptr) {
        os_->write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        if (immediate_) os_->flush();
        if (!*os_) error_ = std::make_error_code(std::errc::io_error);
      }
    }
    buf_.clear();
  }
  void fault() { error_ = std::error_code(errno != 0 ? errno : EIO, std::generic_category()); }
  [[noreturn]] void throw_error() const {
    throw Error(Error::Origin::run, {" --> Cannot write " + name_ + ": " + error_.message() + " <--"});
  }
  // Closes without a word: the failure paths, where the first error is what counts.
  void release() noexcept {
    drain();
    if (owned_ && file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    owned_ = false;
    os_ = nullptr;
  }

  TextBuffer buf_;
  std::FILE* file_ = nullptr;  // a file, or standard output or error
  bool owned_ = false;         // file_ is this unit's file, closed with it
  std::ostream* os_ = nullptr;
  bool immediate_ = false;
  std::string name_;
  std::error_code error_;
};

}  // namespace orbicutter
