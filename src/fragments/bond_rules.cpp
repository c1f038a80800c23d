// Radii, excluded pairs and the translation window of the fragment phases.
#include "fragments/bond_rules.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/elements.hpp"

namespace orbicutter {

bool excluded_elements(const Run& run, const std::string& e1, const std::string& e2) {
  if (run.kw.kexbd != 1) return false;
  const std::string a = text3(e1), b = text3(e2);
  for (int e = 1; e <= run.gv.nex; ++e) {
    const std::string x = text3(run.gv.aex(e, 1)), y = text3(run.gv.aex(e, 2));
    if ((a == x && b == y) || (a == y && b == x)) return true;
  }
  return false;
}

int BondRules::add(const std::string& symbol) {
  const std::string s = text3(symbol);
  auto it = std::find(symbols_.begin(), symbols_.end(), s);
  int e = static_cast<int>(it - symbols_.begin());
  if (it == symbols_.end()) {
    symbols_.push_back(s);
    for (std::size_t p = 0; p < pair_.size(); ++p)
      pair_[p].push_back(excluded_elements(*run_, symbols_[p], s) ? 1 : 0);
    std::vector<char> row;
    for (const auto& other : symbols_) row.push_back(excluded_elements(*run_, s, other) ? 1 : 0);
    pair_.push_back(row);
  }
  // An element outside every table has radius 0 (its bonds reach tol1 only).
  radius_.push_back(covalent_radius(s));
  element_.push_back(e);
  return size() - 1;
}

int BondRules::add_like(int i) {
  radius_.push_back(radius(i));
  element_.push_back(element_[static_cast<std::size_t>(i)]);
  return size() - 1;
}

bool BondRules::excluded(int i, int j) const {
  return pair_[static_cast<std::size_t>(element_[static_cast<std::size_t>(i)])]
              [static_cast<std::size_t>(element_[static_cast<std::size_t>(j)])] != 0;
}

real BondRules::longest_bond() const {
  real r = 0;
  for (real x : radius_) r = std::max(r, x);
  return (r + r) + run_->gv.tol1;
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

}  // namespace orbicutter
