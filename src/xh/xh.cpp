// X-H bond standardisation: X-ray positions put hydrogen atoms too close to
// their parent atoms, so each H is moved along its bond to a standard length,
// chosen by the chemical category of the bond or taken from the user's list.
#include "xh/xh.hpp"

#include <cstdlib>
#include <string>

#include "format/log_forms.hpp"
#include "geometry/geometry.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

// Automatic categories for one run: element symbols compared as 3-character texts.
class Categories {
 public:
  Categories(const XhMolecules& molecules, const Table<real>& positions, const Mat3& g, bool long_c_h)
      : m_(molecules), g_(g), long_c_h_(long_c_h), nat_(molecules.atoms) {
    result_.positions = positions;
    symbol_.reserve(static_cast<std::size_t>(nat_) + 1);
    symbol_.emplace_back();
    for (int i = 1; i <= nat_; ++i) symbol_.push_back(text3(m_.names(i, 1)));
  }

  XhResult run_all() {
    for (int h = 1; h <= nat_; ++h) {
      if (!is(h, hydrogen)) continue;
      for (int x = 1; x <= nat_; ++x) {
        if (m_.bonded(h, x) != 1) continue;
        const std::string& e = symbol_[static_cast<std::size_t>(x)];
        if (e == oxygen) oxygen_h(x, h);
        else if (e == nitrogen) nitrogen_h(x, h);
        else if (e == carbon) carbon_h(x, h);
        else if (e == boron) shiftxh(x, h, sp(1.185f), "B-H");
        else if (e == sulfur) shiftxh(x, h, sp(1.338f), "S-H");
        else if (e == silicon) shiftxh(x, h, sp(1.506f), "Si-H");
      }
    }
    return std::move(result_);
  }

 private:
  inline static const std::string hydrogen = text3("H"), boron = text3("B"), carbon = text3("C"),
                                  nitrogen = text3("N"), oxygen = text3("O"), sulfur = text3("S"),
                                  silicon = text3("Si");

  void shiftxh(int x, int h, real target, const char* category) {
    result_.moves.push_back(shift_hydrogen(result_.positions, g_, x, h, target, category));
  }

  bool is(int atom, const std::string& symbol) const { return symbol_[static_cast<std::size_t>(atom)] == symbol; }

  int degree(int a) const {
    int n = 0;
    for (int j = 1; j <= nat_; ++j) n += m_.bonded(a, j);
    return n;
  }

  // Neighbour list of X for the pair X-H: H first, then the other atoms bonded
  // to X in ascending order. Returns its length.
  int neighbours(int x, int h) {
    neighbour_.assign(1, h);
    for (int j = 1; j <= nat_; ++j)
      if (j != h && m_.bonded(j, x) == 1) neighbour_.push_back(j);
    return static_cast<int>(neighbour_.size());
  }
  // Entry k (from 1) of the neighbour list.
  int entry(int k) const { return neighbour_[static_cast<std::size_t>(k - 1)]; }
  const std::string& entry_symbol(int k) const { return symbol_[static_cast<std::size_t>(entry(k))]; }

  // Ring r lists the atom by its total atom number, so an image belongs to the
  // rings of the atom it was generated from.
  bool lists(int r, int atom) const {
    const int number = m_.info(atom, total_atom);
    const int size = std::min(m_.ring_sizes(r), m_.ring_atoms.cols());
    for (int c = 1; c <= size; ++c)
      if (m_.ring_atoms(r, c) == number) return true;
    return false;
  }
  // The first planar ring that lists the atom, 0 when none does.
  int flagged_ring(int atom) const {
    for (int r = 1; r <= m_.rings; ++r)
      if (m_.planar_rings(r) == 1 && lists(r, atom)) return r;
    return 0;
  }
  bool in_any_ring(int atom) const {
    for (int r = 1; r <= m_.rings; ++r)
      if (lists(r, atom)) return true;
    return false;
  }
  int bonded_oxygens(int c) const {
    int n = 0;
    for (int j = 1; j <= m_.bond_lists.cols(); ++j) {
      const int b = m_.bond_lists(c, j);
      if (b != 0 && is(b, oxygen)) ++n;
    }
    return n;
  }

  void oxygen_h(int x, int h) {
    const int n = neighbours(x, h);
    if (n < 2) return;  // hydroxide or lone O-H: no category
    if (entry_symbol(2) == hydrogen) {
      shiftxh(x, h, sp(0.958f), "water");
      return;
    }
    if (entry_symbol(2) != carbon) return;
    const int c = entry(2);
    const int dc = degree(c);
    if (dc == 4) {
      shiftxh(x, h, sp(0.970f), "C4-O-H");
    } else if (dc == 3) {
      if (flagged_ring(c) != 0) shiftxh(x, h, sp(0.992f), "with aromatic C");
      if (bonded_oxygens(c) == 2) shiftxh(x, h, sp(1.018f), "acid");
    } else {
      shiftxh(x, h, sp(0.980f), "any");
    }
  }

  void nitrogen_h(int x, int h) {
    const int n = neighbours(x, h);
    if (n == 4) {
      shiftxh(x, h, sp(1.036f), "NH4+");
      return;
    }
    if (n == 1) {
      shiftxh(x, h, sp(1.027f), "Z2-n-H");
      return;
    }
    int nh = 0, nc = 0, c = 0;
    for (int k = 2; k <= n; ++k) {
      if (entry_symbol(k) == hydrogen) ++nh;
      if (entry_symbol(k) == carbon) {
        ++nc;
        if (c == 0) c = entry(k);
      }
    }
    if (nh == 0) {
      if (nc == 2) shiftxh(x, h, sp(1.030f), "C2-n-H");
      else shiftxh(x, h, sp(1.027f), "Z2-n-H");
      return;
    }
    if (nc == 0) {
      shiftxh(x, h, sp(1.027f), "Z-n-H");
      return;
    }
    const int dc = degree(c);
    if (dc == 4) {
      shiftxh(x, h, sp(1.002f), "Csp3-n-H2");
    } else if (dc == 3) {
      if (!in_any_ring(c)) {
        if (bonded_oxygens(c) == 0) shiftxh(x, h, sp(1.012f), "Csp2-N-H2 not amido");
        else shiftxh(x, h, sp(1.010f), "amido");
      } else if (flagged_ring(c) != 0) {
        if (m_.planar_atoms(x) == 1) shiftxh(x, h, sp(1.010f), "C(ar)-n-H2(pl)");
        else shiftxh(x, h, sp(1.024f), "C(ar)-n-H2(py)");
      }
    }
  }

  void carbon_h(int x, int h) {
    const int n = neighbours(x, h);
    if (n == 2) {
      shiftxh(x, h, sp(1.042f), "alkine");
    } else if (n == 3) {
      shiftxh(x, h, long_c_h_ ? sp(1.083f) : sp(1.082f), "any other");
      const int r = flagged_ring(entry(2));
      if (r != 0) {
        if (m_.ring_sizes(r) == 3) shiftxh(x, h, sp(1.080f), "cyclopropyl");
        else shiftxh(x, h, sp(1.083f), "aromatic");
      }
    } else if (n == 4) {
      int nh = 0, nc = 0;
      for (int k = 2; k <= 4; ++k) {
        if (entry_symbol(k) == hydrogen) ++nh;
        if (entry_symbol(k) == carbon) ++nc;
      }
      if (nh == 3) shiftxh(x, h, sp(1.087f), "methane");
      else if (nh == 2) shiftxh(x, h, sp(1.077f), nc == 1 ? "H2C-c(sp3)-H" : "H2Z-c(sp3)-H");
      else if (nh == 1) {
        if (nc == 2) shiftxh(x, h, sp(1.092f), "HC2-c(sp3)-H");
        else shiftxh(x, h, sp(1.091f), "HZ2-c(sp3)-H");
      } else {
        if (nc == 3) shiftxh(x, h, sp(1.099f), "C3-c(sp3)-H");
        else shiftxh(x, h, sp(1.098f), "Z3-c(sp3)-H");
      }
    }
  }

  const XhMolecules& m_;
  const Mat3& g_;
  bool long_c_h_;
  int nat_;
  XhResult result_;
  std::vector<std::string> symbol_;  // from index 1
  std::vector<int> neighbour_;       // the neighbour list of the pair at hand
};

}  // namespace

XhResult automatic_xh(const XhMolecules& molecules, const Table<real>& positions, const Mat3& g, bool long_c_h) {
  return Categories(molecules, positions, g, long_c_h).run_all();
}

void check_manual_xh(const Table<int>& pairs, int count, int atoms) {
  for (int k = 1; k <= count; ++k) {
    const int x = pairs(k, 1), h = pairs(k, 2);
    if (x < 1 || x > atoms || h < 1 || h > atoms || x == h) fail({" --> Wrong atom number in manual X-H list <--"});
  }
}

XhResult manual_xh(const Table<int>& pairs, const Vec<real>& targets, int count, const Table<real>& positions,
                   const Mat3& g) {
  XhResult r{positions, {}};
  for (int k = 1; k <= count; ++k)
    r.moves.push_back(shift_hydrogen(r.positions, g, pairs(k, 1), pairs(k, 2), targets(k), "manual"));
  return r;
}

XhMove shift_hydrogen(Table<real>& positions, const Mat3& g, int x, int h, real target, const std::string& category) {
  const real d0 = calcdist(g, row3(positions, x), row3(positions, h));
  // An H on top of its X has no bond direction to move along.
  if (d0 > 0)
    for (int k = 1; k <= 3; ++k)
      positions(h, k) = positions(x, k) + (target / d0) * (positions(h, k) - positions(x, k));
  return {x, h, d0, target, category};
}

void write_xh_log(Unit& log, const std::string& heading, const std::vector<XhMove>& moves) {
  log.write("(A)", heading);
  log.write("(A)", rule_line);
  for (const auto& m : moves)
    log.write("(A,I6,A,I6,A,F8.4,A,F8.4,2A)", " X = ", m.x, "  |  H = ", m.h, "  |  Initial distance = ", m.initial,
              "  |  Target distance = ", m.target, " ", trim(fixed_text(m.category, 20)));
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
