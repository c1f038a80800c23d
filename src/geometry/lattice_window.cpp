// The lattice translations within reach of a point, and the points a window can join.
#include "geometry/lattice_window.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/geometry.hpp"

namespace orbicutter {

int cells_to_reach(const Mat3& g, real reach, const std::vector<Vec3>& bases, const std::vector<Vec3>& targets,
                   int at_least) {
  const TranslationWindow window(g, at_least, reach);
  if (!window.prunes() || bases.empty() || targets.empty()) return at_least;
  double need = at_least;
  for (int i = 0; i < 3; ++i) {
    double blo = 0, bhi = 0, tlo = 0, thi = 0;
    bool first = true;
    for (const Vec3& b : bases) {
      const double v = static_cast<double>(b.v[i]);
      blo = first ? v : std::min(blo, v);
      bhi = first ? v : std::max(bhi, v);
      first = false;
    }
    first = true;
    for (const Vec3& t : targets) {
      const double v = static_cast<double>(t.v[i]);
      tlo = first ? v : std::min(tlo, v);
      thi = first ? v : std::max(thi, v);
      first = false;
    }
    // A position that is not a number reaches nothing; the exact test decides.
    if (!std::isfinite(blo) || !std::isfinite(bhi) || !std::isfinite(tlo) || !std::isfinite(thi)) continue;
    const double far = std::max(std::fabs(thi - blo), std::fabs(tlo - bhi)) + window.half_width(i);
    need = std::max(need, std::floor(far));
  }
  return need >= max_window_cells ? std::max(at_least, max_window_cells) : static_cast<int>(need);
}

TranslationWindow::TranslationWindow(const Mat3& g, int ncells, real reach) : ncells_(ncells) {
  // Squared reciprocal lengths: the diagonal of the inverse metric tensor.
  const double g11 = g(1, 1), g22 = g(2, 2), g33 = g(3, 3), g12 = g(1, 2), g13 = g(1, 3), g23 = g(2, 3);
  const double c11 = g22 * g33 - g23 * g23, c22 = g11 * g33 - g13 * g13, c33 = g11 * g22 - g12 * g12;
  const double det = g11 * c11 - g12 * (g12 * g33 - g23 * g13) + g13 * (g12 * g23 - g22 * g13);
  const double cof[3] = {c11, c22, c33};
  // Generous against the rounding of the exact test, even in 4-byte arithmetic.
  const double screen = static_cast<double>(reach < 0 ? real(0) : reach) * 1.001 + 0.5;
  prune_ = std::isfinite(screen) && std::isfinite(det) && det > 0;
  for (int i = 0; i < 3 && prune_; ++i) {
    const double inv = cof[i] / det;
    half_width_[i] = screen * std::sqrt(inv);
    prune_ = inv > 0 && std::isfinite(half_width_[i]);
  }
}

bool TranslationWindow::range(const Vec3& base, const Vec3& target, int lo[3], int hi[3]) const {
  const int nc = ncells_;
  for (int i = 0; i < 3; ++i) {
    if (!prune_) {
      lo[i] = -nc;
      hi[i] = nc;
      continue;
    }
    const double d = static_cast<double>(target.v[i]) - static_cast<double>(base.v[i]);
    // A position that is not a number passes no distance test.
    if (std::isnan(d)) return false;
    const double l = std::ceil(d - half_width_[i]), h = std::floor(d + half_width_[i]);
    lo[i] = l < -nc ? -nc : (l > nc ? nc + 1 : static_cast<int>(l));
    hi[i] = h > nc ? nc : (h < -nc ? -nc - 1 : static_cast<int>(h));
    if (lo[i] > hi[i]) return false;
  }
  return nc >= 0;
}

WindowIndex::WindowIndex(const TranslationWindow& window) {
  usable_ = window.prunes() && window.ncells() >= 0;
  for (int i = 0; i < 3 && usable_; ++i) {
    // A query reaches ncells + half width either way: at most three boxes per axis.
    reach_[i] = window.half_width(i);
    width_[i] = static_cast<double>(window.ncells()) + reach_[i];
    usable_ = std::isfinite(width_[i]) && width_[i] > 0;
    // Slices at least as wide as the window, so that a query meets two per axis.
    const double n = std::floor(1 / (2 * reach_[i]));
    slices_[i] = n >= 8 ? 8 : (n >= 1 ? static_cast<int>(n) : 1);
  }
  slots_ = slices_[0] * slices_[1] * slices_[2];
}

bool WindowIndex::box_of(const double x[3], long long b[3]) const {
  for (int i = 0; i < 3; ++i) {
    const double f = std::floor(x[i] / width_[i]);
    if (!(f > static_cast<double>(-limit_) && f < static_cast<double>(limit_))) return false;
    b[i] = static_cast<long long>(f);
  }
  return true;
}

int WindowIndex::slot_of(const double x[3]) const {
  int slot = 0;
  for (int i = 0; i < 3; ++i) {
    const double f = x[i] - std::floor(x[i]);
    const int s = static_cast<int>(f * slices_[i]);
    slot = slot * slices_[i] + (s < 0 ? 0 : (s >= slices_[i] ? slices_[i] - 1 : s));
  }
  return slot;
}

std::uint64_t WindowIndex::key(const long long b[3]) {
  std::uint64_t k = 0;
  for (int i = 0; i < 3; ++i) k = (k << 21) | static_cast<std::uint64_t>(b[i] + limit_);
  return k;
}

namespace {
// Every bit of the key reaches the low bits of the place (boxes of a chain
// differ along one axis only).
std::size_t place_of(std::uint64_t key, std::size_t places) {
  key ^= key >> 30;
  key *= 0xBF58476D1CE4E5B9ULL;
  key ^= key >> 27;
  key *= 0x94D049BB133111EBULL;
  key ^= key >> 31;
  return static_cast<std::size_t>(key) & (places - 1);
}
}  // namespace

int WindowIndex::find_box(std::uint64_t key) const {
  if (keys_.empty()) return -1;
  for (std::size_t p = place_of(key, keys_.size());; p = (p + 1) & (keys_.size() - 1)) {
    if (keys_[p] == key) return box_[p];
    if (keys_[p] == 0) return -1;
  }
}

int WindowIndex::add_box(std::uint64_t key) {
  if (2 * (static_cast<std::size_t>(boxes_) + 1) > keys_.size()) {
    std::vector<std::uint64_t> keys(keys_.empty() ? 64 : 2 * keys_.size(), 0);
    std::vector<int> box(keys.size(), -1);
    for (std::size_t q = 0; q < keys_.size(); ++q) {
      if (keys_[q] == 0) continue;
      std::size_t p = place_of(keys_[q], keys.size());
      while (keys[p] != 0) p = (p + 1) & (keys.size() - 1);
      keys[p] = keys_[q];
      box[p] = box_[q];
    }
    keys_.swap(keys);
    box_.swap(box);
  }
  std::size_t p = place_of(key, keys_.size());
  while (keys_[p] != 0) p = (p + 1) & (keys_.size() - 1);
  keys_[p] = key;
  box_[p] = boxes_;
  list_.push_back(-1);
  count_.push_back(0);
  sorted_.push_back(-1);
  return boxes_++;
}

void WindowIndex::insert(long long id, const Vec3& x) {
  const double d[3] = {static_cast<double>(x.v[0]), static_cast<double>(x.v[1]), static_cast<double>(x.v[2])};
  long long b[3];
  if (!usable_ || !box_of(d, b)) {
    loose_.push_back(id);
    return;
  }
  const std::uint64_t k = key(b);
  int box = find_box(k);
  if (box < 0) box = add_box(k);
  const auto bx = static_cast<std::size_t>(box);
  const int e = static_cast<int>(id_.size());
  id_.push_back(id);
  slot_.push_back(slot_of(d));
  next_.push_back(-1);
  // A box keeps a plain list until it holds enough points to pay for a head
  // per slot; sparse boxes (most, in a chain) stay small.
  if (sorted_[bx] < 0 && ++count_[bx] > sort_from_) {
    sorted_[bx] = static_cast<int>(head_.size());
    head_.resize(head_.size() + static_cast<std::size_t>(slots_), -1);
    for (int f = list_[bx]; f >= 0;) {
      const int g = next_[static_cast<std::size_t>(f)];
      int& head = head_[static_cast<std::size_t>(sorted_[bx] + slot_[static_cast<std::size_t>(f)])];
      next_[static_cast<std::size_t>(f)] = head;
      head = f;
      f = g;
    }
    list_[bx] = -1;
  }
  int& head = sorted_[bx] < 0 ? list_[bx] : head_[static_cast<std::size_t>(sorted_[bx] + slot_.back())];
  next_[static_cast<std::size_t>(e)] = head;
  head = e;
}

void WindowIndex::near(const Vec3& c, std::vector<long long>& ids) const {
  ids.insert(ids.end(), loose_.begin(), loose_.end());
  long long lo[3], hi[3];
  // Per axis, the slices that a translate of the window around c meets.
  int slice[3][8], nslice[3] = {0, 0, 0};
  bool named = usable_;
  for (int i = 0; i < 3 && named; ++i) {
    const double x = static_cast<double>(c.v[i]);
    // Well beyond the rounding of the window's own difference.
    const double margin = 1e-6 * (1 + std::fabs(x) + width_[i]);
    const double f = std::floor((x - width_[i] - margin) / width_[i]);
    const double g = std::floor((x + width_[i] + margin) / width_[i]);
    named = f > static_cast<double>(-limit_) && g < static_cast<double>(limit_);
    if (!named) break;
    lo[i] = static_cast<long long>(f);
    hi[i] = static_cast<long long>(g);
    const int n = slices_[i];
    const double r = x - std::floor(x);
    const double first = std::floor((r - reach_[i] - margin) * n), last = std::floor((r + reach_[i] + margin) * n);
    if (last - first + 1 >= n) {
      for (int s = 0; s < n; ++s) slice[i][nslice[i]++] = s;
    } else {
      for (double s = first; s <= last; ++s) slice[i][nslice[i]++] = ((static_cast<int>(s) % n) + n) % n;
    }
  }
  if (!named) {
    ids.insert(ids.end(), id_.begin(), id_.end());
    return;
  }
  long long b[3];
  for (b[0] = lo[0]; b[0] <= hi[0]; ++b[0])
    for (b[1] = lo[1]; b[1] <= hi[1]; ++b[1])
      for (b[2] = lo[2]; b[2] <= hi[2]; ++b[2]) {
        const int box = find_box(key(b));
        if (box < 0) continue;
        const auto bx = static_cast<std::size_t>(box);
        if (sorted_[bx] < 0) {
          for (int e = list_[bx]; e >= 0; e = next_[static_cast<std::size_t>(e)])
            ids.push_back(id_[static_cast<std::size_t>(e)]);
          continue;
        }
        const int* heads = &head_[static_cast<std::size_t>(sorted_[bx])];
        for (int u = 0; u < nslice[0]; ++u)
          for (int v = 0; v < nslice[1]; ++v)
            for (int w = 0; w < nslice[2]; ++w) {
              const int slot = (slice[0][u] * slices_[1] + slice[1][v]) * slices_[2] + slice[2][w];
              for (int e = heads[slot]; e >= 0; e = next_[static_cast<std::size_t>(e)])
                ids.push_back(id_[static_cast<std::size_t>(e)]);
            }
      }
}

}  // namespace orbicutter
