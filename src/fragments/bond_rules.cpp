// Radii and excluded pairs of the fragment phases.
#include "fragments/bond_rules.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"

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
  metal_.push_back(is_metal(s) ? 1 : 0);
  element_.push_back(e);
  return size() - 1;
}

int BondRules::add_like(int i) {
  radius_.push_back(radius(i));
  metal_.push_back(metal_[static_cast<std::size_t>(i)]);
  element_.push_back(element_[static_cast<std::size_t>(i)]);
  return size() - 1;
}

bool BondRules::excluded(int i, int j) const {
  return pair_[static_cast<std::size_t>(element_[static_cast<std::size_t>(i)])]
              [static_cast<std::size_t>(element_[static_cast<std::size_t>(j)])] != 0;
}

real BondRules::longest_bond() const {
  real r = 0;
  bool metal = false;
  for (std::size_t i = 0; i < radius_.size(); ++i) {
    r = std::max(r, radius_[i]);
    metal = metal || metal_[i];
  }
  const real tol = metal_tolerance_ && metal ? std::max(run_->gv.tol1, run_->gv.mtol) : run_->gv.tol1;
  return (r + r) + tol;
}

}  // namespace orbicutter
