// One- to three-dimensional tables indexed from 1, as the crystallographic algorithms count.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace orbicutter {

#ifdef ORBICUTTER_CHECKED
#define ORBICUTTER_INDEX_CHECK(cond) \
  do { if (!(cond)) throw std::out_of_range("table index out of range"); } while (0)
#else
#define ORBICUTTER_INDEX_CHECK(cond) do { } while (0)
#endif

// Vec<T>: a 1-based vector, v(1)..v(n).
template <class T>
class Vec {
 public:
  Vec() = default;
  explicit Vec(int n, T fill = T{}) : data_(static_cast<std::size_t>(n < 0 ? 0 : n), fill) {}

  T& operator()(int i) {
    ORBICUTTER_INDEX_CHECK(i >= 1 && i <= size());
    return data_[static_cast<std::size_t>(i - 1)];
  }
  const T& operator()(int i) const {
    ORBICUTTER_INDEX_CHECK(i >= 1 && i <= size());
    return data_[static_cast<std::size_t>(i - 1)];
  }
  int size() const { return static_cast<int>(data_.size()); }
  bool allocated() const { return allocated_; }
  void allocate(int n, T fill = T{}) {
    data_.assign(static_cast<std::size_t>(n < 0 ? 0 : n), fill);
    allocated_ = true;
  }
  void release() { data_.clear(); data_.shrink_to_fit(); allocated_ = false; }
  // Grow or shrink keeping the leading entries.
  void resize(int n, T fill = T{}) { data_.resize(static_cast<std::size_t>(n < 0 ? 0 : n), fill); allocated_ = true; }
  void fill(T v) { for (auto& x : data_) x = v; }
  std::vector<T>& raw() { return data_; }
  const std::vector<T>& raw() const { return data_; }

 private:
  std::vector<T> data_;
  bool allocated_ = false;
};

// Table<T>: rows x cols, t(row, col) from (1,1); stored row by row so that an
// atom's row is contiguous.
template <class T>
class Table {
 public:
  Table() = default;
  Table(int rows, int cols, T fill = T{}) { allocate(rows, cols, fill); }

  T& operator()(int i, int j) {
    ORBICUTTER_INDEX_CHECK(i >= 1 && i <= rows_ && j >= 1 && j <= cols_);
    return data_[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(j - 1)];
  }
  const T& operator()(int i, int j) const {
    ORBICUTTER_INDEX_CHECK(i >= 1 && i <= rows_ && j >= 1 && j <= cols_);
    return data_[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(j - 1)];
  }
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  bool allocated() const { return allocated_; }
  void allocate(int rows, int cols, T fill = T{}) {
    rows_ = rows < 0 ? 0 : rows;
    cols_ = cols < 0 ? 0 : cols;
    data_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), fill);
    allocated_ = true;
  }
  void release() { data_.clear(); data_.shrink_to_fit(); rows_ = cols_ = 0; allocated_ = false; }
  // Change the number of rows keeping the leading rows (a growable table).
  void resize_rows(int rows, T fill = T{}) {
    rows_ = rows < 0 ? 0 : rows;
    data_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), fill);
    allocated_ = true;
  }
  // Rows that fit without a new allocation, and room for `rows` rows: a table that
  // grows molecule by molecule reserves ahead instead of copying itself each time.
  int capacity_rows() const { return cols_ == 0 ? 0 : static_cast<int>(data_.capacity() / static_cast<std::size_t>(cols_)); }
  void reserve_rows(int rows) { data_.reserve(static_cast<std::size_t>(rows < 0 ? 0 : rows) * static_cast<std::size_t>(cols_)); }
  void fill(T v) { for (auto& x : data_) x = v; }
  // Pointer to the first element of row i (cols() contiguous values).
  T* row(int i) { return &(*this)(i, 1); }
  const T* row(int i) const { return &(*this)(i, 1); }

 private:
  std::vector<T> data_;
  int rows_ = 0, cols_ = 0;
  bool allocated_ = false;
};

// Table3<T>: (n, m, k) from (1,1,1), last index fastest.
template <class T>
class Table3 {
 public:
  Table3() = default;
  T& operator()(int i, int j, int k) {
    ORBICUTTER_INDEX_CHECK(i >= 1 && i <= n1_ && j >= 1 && j <= n2_ && k >= 1 && k <= n3_);
    return data_[(static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(n2_) + static_cast<std::size_t>(j - 1)) * static_cast<std::size_t>(n3_) + static_cast<std::size_t>(k - 1)];
  }
  const T& operator()(int i, int j, int k) const {
    ORBICUTTER_INDEX_CHECK(i >= 1 && i <= n1_ && j >= 1 && j <= n2_ && k >= 1 && k <= n3_);
    return data_[(static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(n2_) + static_cast<std::size_t>(j - 1)) * static_cast<std::size_t>(n3_) + static_cast<std::size_t>(k - 1)];
  }
  int dim1() const { return n1_; }
  int dim2() const { return n2_; }
  int dim3() const { return n3_; }
  bool allocated() const { return allocated_; }
  void allocate(int n1, int n2, int n3, T fill = T{}) {
    n1_ = n1 < 0 ? 0 : n1; n2_ = n2 < 0 ? 0 : n2; n3_ = n3 < 0 ? 0 : n3;
    data_.assign(static_cast<std::size_t>(n1_) * static_cast<std::size_t>(n2_) * static_cast<std::size_t>(n3_), fill);
    allocated_ = true;
  }
  void release() { data_.clear(); data_.shrink_to_fit(); n1_ = n2_ = n3_ = 0; allocated_ = false; }

 private:
  std::vector<T> data_;
  int n1_ = 0, n2_ = 0, n3_ = 0;
  bool allocated_ = false;
};

// A 3-vector indexed from 1 (positions, translations, centres).
template <class T>
struct Vec3T {
  T v[3] = {T{}, T{}, T{}};
  T& operator()(int i) { return v[i - 1]; }
  const T& operator()(int i) const { return v[i - 1]; }
};

// A 3 x 3 matrix indexed from (1,1): m(row, col).
template <class T>
struct Mat3T {
  T m[3][3] = {{T{}, T{}, T{}}, {T{}, T{}, T{}}, {T{}, T{}, T{}}};
  T& operator()(int i, int j) { return m[i - 1][j - 1]; }
  const T& operator()(int i, int j) const { return m[i - 1][j - 1]; }
};

}  // namespace orbicutter
