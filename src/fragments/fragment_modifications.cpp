// Fragment modifications: each fragment becomes a molecule of the all-atom
// tables, with its identity operator recorded, its centre brought into the
// unit cell and, on request, completed by bonded symmetry images.
#include <cmath>

#include "format/log_forms.hpp"
#include "fragments/fragment_internals.hpp"
#include "fragments/fragments.hpp"
#include "geometry/geometry.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

// The last operator that is the identity; 0 when none is.
int identity_operator(const Run& run) {
  int id = 0;
  for (int s = 1; s <= run.gv.nsym; ++s) {
    Mat3 r;
    Vec3 t;
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) r(i, j) = run.geo.rot(s, i, j);
      t(i) = run.geo.trans(s, i);
    }
    if (matdist(r, run.par.runitmat3) < tiny && matdist(t, run.par.rzero3) < tiny) id = s;
  }
  return id;
}

Vec3 centre(const Table<real>& geom, int n) {
  Vec3 c;
  for (int i = 1; i <= n; ++i)
    for (int k = 1; k <= 3; ++k) c(k) += geom(i, k);
  for (int k = 1; k <= 3; ++k) c(k) = c(k) / static_cast<real>(n);
  return c;
}

// Moves the fragment by whole cells so that its centre lies in [0, 1) along
// each axis; the translation columns keep describing the input position.
void shift_into_cell(Run& run, int n) {
  auto& at = run.at;
  auto& log = run.sink.log;
  bool moved = false;
  for (int k = 1; k <= 3; ++k) {
    const real c = run.geo.geomcent(k);
    if (c < 0 || c >= 1) {
      const real cells = std::floor(c);
      for (int i = 1; i <= n; ++i) at.molgeom(i, k) = at.molgeom(i, k) - cells;
      moved = true;
    }
  }
  if (!moved) return;
  run.geo.geomcent = centre(at.molgeom, n);
  const Vec3& c = run.geo.geomcent;
  log.write("(A)", " Fragment geometrical center is outside unit cell");
  log.write("(A,3F10.6)", " New fragment geometrical center after shift  = ", c(1), c(2), c(3));
}

void molecule_atom_line(Unit& log, const char* lead, const Run& run, int i) {
  const auto& at = run.at;
  log.write("(A,2A4,7I6,3F10.6)", lead, at.molatns(i, 1), at.molatns(i, 2), at.molinfo(i, total_atom),
            at.molinfo(i, fragment_atom), at.molinfo(i, fragment_number), at.molinfo(i, symmetry_operation),
            at.molinfo(i, translation_a), at.molinfo(i, translation_b), at.molinfo(i, translation_c), at.molgeom(i, 1),
            at.molgeom(i, 2), at.molgeom(i, 3));
}

[[noreturn]] void too_many_atoms(int fragment) {
  throw GrowthError(fragment, {" --> Too many atoms generated <--", " --> for a fragment           <--"});
}

// Adds bonded images until none is left; n grows with every addition.
void complete(Run& run, int fragment, int& n, long long limit) {
  auto& at = run.at;
  auto& log = run.sink.log;
  const bool charged = run.kw.kcharge == 1;
  std::vector<Vec3> positions;
  std::vector<std::string> symbols;
  for (int i = 1; i <= n; ++i) {
    positions.push_back(row3(at.molgeom, i));
    symbols.push_back(at.molatns(i, 1));
  }
  // The window starts at ncells cells and widens until it covers the
  // molecule: a molecule long beside a cell edge needs more.
  for (int cells = run.gv.ncells;;) {
    Completion completion(run, positions, symbols, cells);
    Addition a;
    while (completion.next(a)) {
      const int r = n + 1;
      at.molatns.resize_rows(r, std::string(3, ' '));
      at.molinfo.resize_rows(r, 0);
      at.molgeom.resize_rows(r, 0);
      at.molatns(r, 1) = at.molatns(a.k, 1);
      at.molatns(r, 2) = at.molatns(a.k, 2);
      for (int c = total_atom; c <= fragment_number; ++c) at.molinfo(r, c) = at.molinfo(a.k, c);
      at.molinfo(r, symmetry_operation) = a.s;
      at.molinfo(r, translation_a) = a.t[0];
      at.molinfo(r, translation_b) = a.t[1];
      at.molinfo(r, translation_c) = a.t[2];
      set_row3(at.molgeom, r, a.p);
      // An image carries the charge of the atom it was generated from.
      if (charged) {
        at.molcharge.resize(r, 0);
        at.molcharge(r) = at.molcharge(a.k);
      }
      log.write("(4A)", " New bond has been detected = ", at.molatns(a.m, 1), " - ", at.molatns(r, 1));
      molecule_atom_line(log, "   -- 1st atom = ", run, a.m);
      molecule_atom_line(log, "   -- 2nd atom = ", run, r);
      log.write("(A,F10.4,A,F10.4)", "   -- Distance between atoms = ", a.distance, "  |  Assumed bonding distance = ",
                a.threshold);
      n = r;
      // A chain or network through the crystal would grow without end.
      if (n > limit) too_many_atoms(fragment);
      positions.push_back(a.p);
      symbols.push_back(at.molatns(r, 1));
    }
    const int wider = completion.cells_needed();
    if (wider <= cells) break;
    cells = wider;
  }
  log.write("(A)", " No more new atoms found");
}

// Appends the molecule's n rows to the all-atom tables.
void append_molecule(Run& run, int n) {
  auto& at = run.at;
  const bool charged = run.kw.kcharge == 1;
  const int old = at.allinfo.allocated() ? at.allinfo.rows() : 0;
  if (!at.allinfo.allocated()) {
    at.allatns.allocate(0, 2, std::string(3, ' '));
    at.allinfo.allocate(0, all_info_columns, 0);
    at.allgeom.allocate(0, 3, 0);
    if (charged) at.allcharge.allocate(0, 0);
  }
  at.allatns.resize_rows(old + n, std::string(3, ' '));
  at.allinfo.resize_rows(old + n, 0);
  at.allgeom.resize_rows(old + n, 0);
  if (charged) at.allcharge.resize(old + n, 0);
  for (int i = 1; i <= n; ++i) {
    const int r = old + i;
    at.allatns(r, 1) = at.molatns(i, 1);
    at.allatns(r, 2) = at.molatns(i, 2);
    for (int c = total_atom; c <= translation_c; ++c) at.allinfo(r, c) = at.molinfo(i, c);
    at.allinfo(r, molecule_atom) = r;
    for (int c = 1; c <= 3; ++c) at.allgeom(r, c) = at.molgeom(i, c);
    if (charged) at.allcharge(r) = at.molcharge(i);
  }
}

}  // namespace

void fragment_modifications(Run& run) {
  auto& gv = run.gv;
  auto& kw = run.kw;
  auto& at = run.at;
  auto& log = run.sink.log;
  const bool charged = kw.kcharge == 1;

  if (kw.kfragbld == 1 || kw.kfragsft == 1) {
    log.write("(A)", " ** FRAGMENT MODIFICATIONS **");
    log.write("(A)", rule_line);
  }

  const int nat = gv.nat;
  const long long limit = static_cast<long long>(nat) * static_cast<long long>(gv.nsym);
  const int identity = identity_operator(run);
  at.allatns.release();
  at.allinfo.release();
  at.allgeom.release();
  at.allcharge.release();

  // Fragment f is the f-th block of rows of the atom tables (the input blocks,
  // or the regrouped atoms of the search), whatever number its header gave.
  int first = 1;
  for (int f = 1; f <= gv.nfrag; ++f) {
    int n = at.frag(f, frag_size);
    log.write("(A,I6)", " Fragment number = ", f);

    at.molatns.allocate(n, 2, std::string(3, ' '));
    at.molinfo.allocate(n, moved_info_columns, 0);
    at.molgeom.allocate(n, 3, 0);
    if (charged) at.molcharge.allocate(n, 0);
    for (int k = 1; k <= n; ++k) {
      const int j = first + k - 1;
      at.molatns(k, 1) = at.fatns(j, 1);
      at.molatns(k, 2) = at.fatns(j, 2);
      at.molinfo(k, total_atom) = at.finfo(j, total_atom);
      at.molinfo(k, fragment_atom) = k;
      at.molinfo(k, fragment_number) = f;
      at.molinfo(k, symmetry_operation) = identity;
      // An atom the search moved to an image, to keep its molecule connected.
      if (kw.kfragmentize == 1 && at.fimage.allocated() && at.fimage.rows() >= j && at.fimage(j, 1) != 0) {
        at.molinfo(k, symmetry_operation) = at.fimage(j, 1);
        at.molinfo(k, translation_a) = at.fimage(j, 2);
        at.molinfo(k, translation_b) = at.fimage(j, 3);
        at.molinfo(k, translation_c) = at.fimage(j, 4);
      }
      for (int c = 1; c <= 3; ++c) at.molgeom(k, c) = at.fgeom(j, c);
      if (charged) at.molcharge(k) = at.fcharge(j);
    }
    first += n;

    if (n > 0) {
      run.geo.geomcent = centre(at.molgeom, n);
      const Vec3& c = run.geo.geomcent;
      log.write("(A,3F10.6)", " Fragment geometrical center = ", c(1), c(2), c(3));
      if (kw.kfragsft == 1) shift_into_cell(run, n);
      if (kw.kfragbld == 1) complete(run, f, n, limit);
    }
    if (n > limit) too_many_atoms(f);
    at.frag(f, frag_size) = n;
    append_molecule(run, n);

    at.molatns.release();
    at.molinfo.release();
    at.molgeom.release();
    at.molcharge.release();
  }

  log.write("(A)", rule_line);
  int total = 0;
  for (int f = 1; f <= gv.nfrag; ++f) total += at.frag(f, frag_size);
  gv.nat = total;
}

}  // namespace orbicutter
