// A growing run of characters written in place: the text of the records being made.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace orbicutter {

class TextBuffer {
 public:
  TextBuffer() = default;
  TextBuffer(TextBuffer&& o) noexcept
      : data_(std::move(o.data_)), size_(std::exchange(o.size_, 0)), capacity_(std::exchange(o.capacity_, 0)) {}
  TextBuffer& operator=(TextBuffer&& o) noexcept {
    data_ = std::move(o.data_);
    size_ = std::exchange(o.size_, 0);
    capacity_ = std::exchange(o.capacity_, 0);
    return *this;
  }

  // Room for n more characters at the end, which the caller writes.
  char* extend(std::size_t n) {
    if (capacity_ - size_ < n) grow(n);
    char* p = data_.get() + size_;
    size_ += n;
    return p;
  }
  void append(std::string_view s) {
    if (!s.empty()) std::memcpy(extend(s.size()), s.data(), s.size());
  }
  void append(std::size_t n, char c) { std::memset(extend(n), c, n); }
  void push_back(char c) { *extend(1) = c; }
  // Back to the first n characters.
  void truncate(std::size_t n) { size_ = std::min(size_, n); }
  void clear() { size_ = 0; }
  void reserve(std::size_t n) {
    if (n > capacity_) grow(n - size_);
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const char* data() const { return data_.get(); }
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  void grow(std::size_t n) {
    const std::size_t capacity = std::max({2 * capacity_, size_ + n, std::size_t{256}});
    std::unique_ptr<char[]> fresh(new char[capacity]);  // left uninitialised: every byte is written before use
    if (size_ > 0) std::memcpy(fresh.get(), data_.get(), size_);
    data_ = std::move(fresh);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0, capacity_ = 0;
};

}  // namespace orbicutter
