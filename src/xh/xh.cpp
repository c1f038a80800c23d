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
  explicit Categories(Run& run) : run_(run), at_(run.at), nat_(run.gv.nat) {
    symbol_.reserve(static_cast<std::size_t>(nat_) + 1);
    symbol_.emplace_back();
    for (int i = 1; i <= nat_; ++i) symbol_.push_back(text3(at_.allatns(i, 1)));
  }

  void run_all() {
    for (int h = 1; h <= nat_; ++h) {
      if (!is(h, hydrogen)) continue;
      for (int x = 1; x <= nat_; ++x) {
        if (at_.allcont(h, x) != 1) continue;
        const std::string& e = symbol_[static_cast<std::size_t>(x)];
        if (e == oxygen) oxygen_h(x, h);
        else if (e == nitrogen) nitrogen_h(x, h);
        else if (e == carbon) carbon_h(x, h);
        else if (e == boron) shiftxh(run_, x, h, sp(1.185f), "B-H");
        else if (e == sulfur) shiftxh(run_, x, h, sp(1.338f), "S-H");
        else if (e == silicon) shiftxh(run_, x, h, sp(1.506f), "Si-H");
      }
    }
  }

 private:
  inline static const std::string hydrogen = text3("H"), boron = text3("B"), carbon = text3("C"),
                                  nitrogen = text3("N"), oxygen = text3("O"), sulfur = text3("S"),
                                  silicon = text3("Si");

  bool is(int atom, const std::string& symbol) const { return symbol_[static_cast<std::size_t>(atom)] == symbol; }

  int degree(int a) const {
    int n = 0;
    for (int j = 1; j <= nat_; ++j) n += at_.allcont(a, j);
    return n;
  }

  // Neighbour list of X for the pair X-H: H first, then the other atoms bonded
  // to X in ascending order. Returns its length.
  int neighbours(int x, int h) {
    neighbour_.assign(1, h);
    for (int j = 1; j <= nat_; ++j)
      if (j != h && at_.allcont(j, x) == 1) neighbour_.push_back(j);
    return static_cast<int>(neighbour_.size());
  }
  // Entry k (from 1) of the neighbour list.
  int entry(int k) const { return neighbour_[static_cast<std::size_t>(k - 1)]; }
  const std::string& entry_symbol(int k) const { return symbol_[static_cast<std::size_t>(entry(k))]; }

  // Ring r lists the atom by its total atom number, so an image belongs to the
  // rings of the atom it was generated from.
  bool lists(int r, int atom) const {
    const int number = at_.allinfo(atom, total_atom);
    const int size = std::min(at_.rings(r), at_.ringatoms.cols());
    for (int c = 1; c <= size; ++c)
      if (at_.ringatoms(r, c) == number) return true;
    return false;
  }
  // The first planar ring that lists the atom, 0 when none does.
  int flagged_ring(int atom) const {
    for (int r = 1; r <= run_.gv.nrings; ++r)
      if (at_.specrings(r) == 1 && lists(r, atom)) return r;
    return 0;
  }
  bool in_any_ring(int atom) const {
    for (int r = 1; r <= run_.gv.nrings; ++r)
      if (lists(r, atom)) return true;
    return false;
  }
  int bonded_oxygens(int c) const {
    int n = 0;
    for (int j = 1; j <= at_.allbonds.cols(); ++j) {
      const int b = at_.allbonds(c, j);
      if (b != 0 && is(b, oxygen)) ++n;
    }
    return n;
  }

  void oxygen_h(int x, int h) {
    const int n = neighbours(x, h);
    if (n < 2) return;  // hydroxide or lone O-H: no category
    if (entry_symbol(2) == hydrogen) {
      shiftxh(run_, x, h, sp(0.958f), "water");
      return;
    }
    if (entry_symbol(2) != carbon) return;
    const int c = entry(2);
    const int dc = degree(c);
    if (dc == 4) {
      shiftxh(run_, x, h, sp(0.970f), "C4-O-H");
    } else if (dc == 3) {
      if (flagged_ring(c) != 0) shiftxh(run_, x, h, sp(0.992f), "with aromatic C");
      if (bonded_oxygens(c) == 2) shiftxh(run_, x, h, sp(1.018f), "acid");
    } else {
      shiftxh(run_, x, h, sp(0.980f), "any");
    }
  }

  void nitrogen_h(int x, int h) {
    const int n = neighbours(x, h);
    if (n == 4) {
      shiftxh(run_, x, h, sp(1.036f), "NH4+");
      return;
    }
    if (n == 1) {
      shiftxh(run_, x, h, sp(1.027f), "Z2-n-H");
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
      if (nc == 2) shiftxh(run_, x, h, sp(1.030f), "C2-n-H");
      else shiftxh(run_, x, h, sp(1.027f), "Z2-n-H");
      return;
    }
    if (nc == 0) {
      shiftxh(run_, x, h, sp(1.027f), "Z-n-H");
      return;
    }
    const int dc = degree(c);
    if (dc == 4) {
      shiftxh(run_, x, h, sp(1.002f), "Csp3-n-H2");
    } else if (dc == 3) {
      if (!in_any_ring(c)) {
        if (bonded_oxygens(c) == 0) shiftxh(run_, x, h, sp(1.012f), "Csp2-N-H2 not amido");
        else shiftxh(run_, x, h, sp(1.010f), "amido");
      } else if (flagged_ring(c) != 0) {
        if (at_.planaratoms(x) == 1) shiftxh(run_, x, h, sp(1.010f), "C(ar)-n-H2(pl)");
        else shiftxh(run_, x, h, sp(1.024f), "C(ar)-n-H2(py)");
      }
    }
  }

  void carbon_h(int x, int h) {
    const int n = neighbours(x, h);
    if (n == 2) {
      shiftxh(run_, x, h, sp(1.042f), "alkine");
    } else if (n == 3) {
      shiftxh(run_, x, h, run_.kw.kchover == 1 ? sp(1.083f) : sp(1.082f), "any other");
      const int r = flagged_ring(entry(2));
      if (r != 0) {
        if (at_.rings(r) == 3) shiftxh(run_, x, h, sp(1.080f), "cyclopropyl");
        else shiftxh(run_, x, h, sp(1.083f), "aromatic");
      }
    } else if (n == 4) {
      int nh = 0, nc = 0;
      for (int k = 2; k <= 4; ++k) {
        if (entry_symbol(k) == hydrogen) ++nh;
        if (entry_symbol(k) == carbon) ++nc;
      }
      if (nh == 3) shiftxh(run_, x, h, sp(1.087f), "methane");
      else if (nh == 2) shiftxh(run_, x, h, sp(1.077f), nc == 1 ? "H2C-c(sp3)-H" : "H2Z-c(sp3)-H");
      else if (nh == 1) {
        if (nc == 2) shiftxh(run_, x, h, sp(1.092f), "HC2-c(sp3)-H");
        else shiftxh(run_, x, h, sp(1.091f), "HZ2-c(sp3)-H");
      } else {
        if (nc == 3) shiftxh(run_, x, h, sp(1.099f), "C3-c(sp3)-H");
        else shiftxh(run_, x, h, sp(1.098f), "Z3-c(sp3)-H");
      }
    }
  }

  Run& run_;
  Atoms& at_;
  int nat_;
  std::vector<std::string> symbol_;  // from index 1
  std::vector<int> neighbour_;       // the neighbour list of the pair at hand
};

}  // namespace

void automatic_xh(Run& run) {
  run.sink.log.write("(A)", " ** AUTOMATIC X-H BONDS STANDARDIZATION **");
  run.sink.log.write("(A)", rule_line);
  Categories(run).run_all();
  run.sink.log.write("(A)", rule_line);
}

void check_manual_xh(const Run& run) {
  const int count = std::abs(run.gv.nxh);
  const int nat = run.gv.nat;
  for (int k = 1; k <= count; ++k) {
    const int x = run.gv.axh(k, 1), h = run.gv.axh(k, 2);
    if (x < 1 || x > nat || h < 1 || h > nat || x == h) fail({" --> Wrong atom number in manual X-H list <--"});
  }
}

void manual_xh(Run& run) {
  auto& gv = run.gv;
  run.sink.log.write("(A)", gv.nxh > 0 ? " ** MANUAL X-H BONDS STANDARDISATION **"
                                       : " ** ADDITIONAL MANUAL X-H BONDS STANDARDISATION **");
  run.sink.log.write("(A)", rule_line);
  const int count = std::abs(gv.nxh);
  for (int k = 1; k <= count; ++k) shiftxh(run, gv.axh(k, 1), gv.axh(k, 2), gv.dxh(k), "manual");
  run.sink.log.write("(A)", rule_line);
}

void shiftxh(Run& run, int x, int h, real target, const std::string& label) {
  auto& geom = run.at.allgeom;
  const real d0 = calcdist(run, row3(geom, x), row3(geom, h));
  run.sink.log.write("(A,I6,A,I6,A,F8.4,A,F8.4,2A)", " X = ", x, "  |  H = ", h, "  |  Initial distance = ", d0,
                     "  |  Target distance = ", target, " ", trim(fixed_text(label, 20)));
  // An H on top of its X has no bond direction to move along.
  if (!(d0 > 0)) return;
  for (int k = 1; k <= 3; ++k) geom(h, k) = geom(x, k) + (target / d0) * (geom(h, k) - geom(x, k));
}

}  // namespace orbicutter
