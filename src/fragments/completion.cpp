// Completion of a molecule by bonded symmetry images, in the order of a scan
// that restarts after every addition.
//
// A scan position is (group, t): group = (k - 1) * nsym + (s - 1) for molecule
// atom k and operator s, t the translation index (tz outermost, tx innermost).
// Within a group a position whose image is atom k itself is passed over, the
// first image that coincides with any molecule atom cuts off the rest of the
// group, and the first image bonded to some molecule atom is added. The scan
// from the start finds the smallest position that is not cut off and bonded.
// Atoms are only ever added, so a position scanned without result can become
// addable only by bonding with an atom added later, and a group's cut can only
// move forward, by an atom added later that coincides with one of its images.
// Both are found from the side of each new atom, among the scanned groups
// whose images can come near it (an index by position), and bonded positions
// wait in a queue ordered as the scan meets them. Each new atom and each
// group thus costs about one look at its neighbourhood, not a rescan.
#include <algorithm>

#include "fragments/fragment_internals.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {
namespace {

real longest_bond_of(const Run& run, const std::vector<std::string>& symbols) {
  BondRules r(run);
  for (const auto& s : symbols) r.add(s);
  return r.longest_bond();
}

}  // namespace

Completion::Completion(const Run& run, const std::vector<Vec3>& positions, const std::vector<std::string>& symbols,
                       int ncells)
    : run_(run),
      rules_(run),
      window_(run.geo.g, ncells, longest_bond_of(run, symbols)),
      pos_(positions),
      nsym_(run.gv.nsym),
      nc_(ncells),
      width_(2 * ncells + 1),
      atoms_(window_),
      groups_(window_) {
  for (const auto& s : symbols) rules_.add(s);
  for (std::size_t i = 0; i < pos_.size(); ++i) atoms_.insert(static_cast<long long>(i), pos_[i]);
}

int Completion::cells_needed() const {
  if (nsym_ <= 0 || nc_ < 0) return nc_;
  std::vector<Vec3> bases;
  bases.reserve(pos_.size() * static_cast<std::size_t>(nsym_));
  for (int k = 1; k <= size(); ++k)
    for (int s = 1; s <= nsym_; ++s) bases.push_back(base(k, s));
  return cells_to_reach(run_.geo.g, rules_.longest_bond(), bases, pos_, nc_);
}

Vec3 Completion::base(int k, int s) const { return image_base(run_, s, pos_[static_cast<std::size_t>(k - 1)]); }

Vec3 Completion::group_base(long long group) const {
  return base(static_cast<int>(group / nsym_) + 1, static_cast<int>(group % nsym_) + 1);
}

int Completion::translation_index(int tx, int ty, int tz) const {
  return ((tz + nc_) * width_ + (ty + nc_)) * width_ + (tx + nc_);
}

Vec3 Completion::at_translation(const Vec3& q, int t) const {
  Vec3 u;
  u(1) = static_cast<real>(t % width_ - nc_);
  u(2) = static_cast<real>((t / width_) % width_ - nc_);
  u(3) = static_cast<real>(t / (width_ * width_) - nc_);
  return translated(q, u);
}

bool Completion::next(Addition& a) {
  if (nsym_ <= 0 || nc_ < 0) return false;
  while (!pending_.empty()) {
    const Pending p = pending_.top();
    pending_.pop();
    if (p.t < dead_from_[static_cast<std::size_t>(p.group)]) {
      take(p.group, p.t, p.m, a);
      return true;
    }
  }
  while (scanned_ < static_cast<long long>(size()) * nsym_) {
    if (scan_group(scanned_, a)) return true;
  }
  return false;
}

bool Completion::scan_group(long long group, Addition& a) {
  const Vec3 q = group_base(group);
  dead_from_.push_back(width_ * width_ * width_);
  ++scanned_;
  scanning_ = group;
  const bool added = scan_positions(group, q, a);
  scanning_ = -1;
  // Filed for the atoms still to come, unless cut off from its first
  // translation on: such a group never yields an atom again.
  if (dead_from_[static_cast<std::size_t>(group)] > 0) groups_.insert(group, q);
  return added;
}

// Evaluates one group with the molecule as it is; on an addition the rest of
// the group is cut off by the new atom itself.
bool Completion::scan_positions(long long group, const Vec3& q, Addition& a) {
  const int k = static_cast<int>(group / nsym_) + 1;
  // Molecule atoms that some translation of this group can reach, by translation.
  auto& near = near_;
  near.clear();
  found_.clear();
  atoms_.near(q, found_);
  for (long long f : found_) {
    const int i = static_cast<int>(f);
    int lo[3], hi[3];
    if (!window_.range(q, pos_[static_cast<std::size_t>(i)], lo, hi)) continue;
    for (int tz = lo[2]; tz <= hi[2]; ++tz)
      for (int ty = lo[1]; ty <= hi[1]; ++ty)
        for (int tx = lo[0]; tx <= hi[0]; ++tx) near.emplace_back(translation_index(tx, ty, tz), i);
  }
  std::sort(near.begin(), near.end());

  const Vec3& xk = pos_[static_cast<std::size_t>(k - 1)];
  for (std::size_t b = 0; b < near.size();) {
    const int t = near[b].first;
    std::size_t e = b;
    while (e < near.size() && near[e].first == t) ++e;
    const Vec3 p = at_translation(q, t);
    if (calcdist(run_, p, xk) < tiny) {
      b = e;
      continue;
    }
    for (std::size_t c = b; c < e; ++c) {
      if (calcdist(run_, p, pos_[static_cast<std::size_t>(near[c].second)]) < tiny) {
        dead_from_.back() = t;
        return false;
      }
    }
    for (std::size_t c = b; c < e; ++c) {
      const int m = near[c].second;
      if (rules_.excluded(k - 1, m)) continue;
      if (calcdist(run_, p, pos_[static_cast<std::size_t>(m)]) <= rules_.threshold(k - 1, m)) {
        take(group, t, m + 1, a);
        return true;
      }
    }
    b = e;
  }
  return false;
}

void Completion::take(long long group, int t, int m, Addition& a) {
  const int k = static_cast<int>(group / nsym_) + 1, s = static_cast<int>(group % nsym_) + 1;
  const Vec3 p = at_translation(group_base(group), t);
  a.k = k;
  a.s = s;
  a.t[0] = t % width_ - nc_;
  a.t[1] = (t / width_) % width_ - nc_;
  a.t[2] = t / (width_ * width_) - nc_;
  a.p = p;
  a.m = m;
  a.distance = calcdist(run_, p, pos_[static_cast<std::size_t>(m - 1)]);
  a.threshold = rules_.threshold(k - 1, m - 1);

  atoms_.insert(static_cast<long long>(pos_.size()), p);
  pos_.push_back(p);
  const int y = rules_.add_like(k - 1);
  auto& dead = dead_from_[static_cast<std::size_t>(group)];
  dead = std::min(dead, t);

  // Scanned positions that the new atom cuts off or bonds with: a position
  // before the cut of its group that was passed over may now be taken, and a
  // coincidence moves the cut forward, hiding the translations after it.
  found_.clear();
  groups_.near(p, found_);
  if (scanning_ >= 0) found_.push_back(scanning_);
  for (long long h : found_) {
    auto& dead_h = dead_from_[static_cast<std::size_t>(h)];
    if (dead_h == 0) continue;
    const Vec3 q = group_base(h);
    int lo[3], hi[3];
    if (!window_.range(q, p, lo, hi)) continue;
    const int kh = static_cast<int>(h / nsym_);
    const Vec3& xk = pos_[static_cast<std::size_t>(kh)];
    for (int tz = lo[2]; tz <= hi[2]; ++tz)
      for (int ty = lo[1]; ty <= hi[1]; ++ty)
        for (int tx = lo[0]; tx <= hi[0]; ++tx) {
          const int th = translation_index(tx, ty, tz);
          if (th >= dead_h) continue;
          const Vec3 ph = at_translation(q, th);
          if (calcdist(run_, ph, xk) < tiny) continue;
          const real d = calcdist(run_, ph, p);
          if (d < tiny) {
            dead_h = th;
            continue;
          }
          if (!rules_.excluded(kh, y) && d <= rules_.threshold(kh, y)) pending_.push({h, th, y + 1});
        }
  }
}

}  // namespace orbicutter
