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

// The molecule being built from one fragment.
struct Molecule {
  Table<std::string> names;  // (n, 2)
  Table<int> info;           // (n, moved_info_columns)
  Table<real> positions;     // (n, 3)
  Vec<real> charges;         // (n), with charges
};

// Moves the fragment by whole cells so that its centre lies in [0, 1) along
// each axis; the translation columns keep describing the input position.
void shift_into_cell(Molecule& mol, Vec3& c, int n, Unit& log) {
  bool moved = false;
  for (int k = 1; k <= 3; ++k) {
    if (c(k) < 0 || c(k) >= 1) {
      const real cells = std::floor(c(k));
      for (int i = 1; i <= n; ++i) mol.positions(i, k) = mol.positions(i, k) - cells;
      moved = true;
    }
  }
  if (!moved) return;
  c = centre(mol.positions, n);
  log.write("(A)", " Fragment geometrical center is outside unit cell");
  log.write("(A,3F10.6)", " New fragment geometrical center after shift  = ", c(1), c(2), c(3));
}

void molecule_atom_line(Unit& log, const char* lead, const Molecule& mol, int i) {
  log.write("(A,2A4,7I6,3F10.6)", lead, mol.names(i, 1), mol.names(i, 2), mol.info(i, total_atom),
            mol.info(i, fragment_atom), mol.info(i, fragment_number), mol.info(i, symmetry_operation),
            mol.info(i, translation_a), mol.info(i, translation_b), mol.info(i, translation_c), mol.positions(i, 1),
            mol.positions(i, 2), mol.positions(i, 3));
}

[[noreturn]] void too_many_atoms(int fragment) {
  throw GrowthError(fragment, {" --> Too many atoms generated <--", " --> for a fragment           <--"});
}

// Adds bonded images until none is left; n grows with every addition.
void complete(const Run& run, Molecule& mol, int fragment, int& n, long long limit, Unit& log) {
  const bool charged = run.kw.kcharge == 1;
  std::vector<Vec3> positions;
  std::vector<std::string> symbols;
  for (int i = 1; i <= n; ++i) {
    positions.push_back(row3(mol.positions, i));
    symbols.push_back(mol.names(i, 1));
  }
  // The window starts at ncells cells and widens until it covers the
  // molecule: a molecule long beside a cell edge needs more.
  for (int cells = run.gv.ncells;;) {
    Completion completion(run, positions, symbols, cells);
    Addition a;
    while (completion.next(a)) {
      const int r = n + 1;
      mol.names.resize_rows(r, std::string(3, ' '));
      mol.info.resize_rows(r, 0);
      mol.positions.resize_rows(r, 0);
      mol.names(r, 1) = mol.names(a.k, 1);
      mol.names(r, 2) = mol.names(a.k, 2);
      for (int c = total_atom; c <= fragment_number; ++c) mol.info(r, c) = mol.info(a.k, c);
      mol.info(r, symmetry_operation) = a.s;
      mol.info(r, translation_a) = a.t[0];
      mol.info(r, translation_b) = a.t[1];
      mol.info(r, translation_c) = a.t[2];
      set_row3(mol.positions, r, a.p);
      // An image carries the charge of the atom it was generated from.
      if (charged) {
        mol.charges.resize(r, 0);
        mol.charges(r) = mol.charges(a.k);
      }
      log.write("(4A)", " New bond has been detected = ", mol.names(a.m, 1), " - ", mol.names(r, 1));
      molecule_atom_line(log, "   -- 1st atom = ", mol, a.m);
      molecule_atom_line(log, "   -- 2nd atom = ", mol, r);
      log.write("(A,F10.4,A,F10.4)", "   -- Distance between atoms = ", a.distance, "  |  Assumed bonding distance = ",
                a.threshold);
      n = r;
      // A chain or network through the crystal would grow without end.
      if (n > limit) too_many_atoms(fragment);
      positions.push_back(a.p);
      symbols.push_back(mol.names(r, 1));
    }
    const int wider = completion.cells_needed();
    if (wider <= cells) break;
    cells = wider;
  }
  log.write("(A)", " No more new atoms found");
}

// Appends the molecule's n rows to the all-atom tables.
void append_molecule(WholeMolecules& all, const Molecule& mol, int n, bool charged) {
  const int old = all.info.allocated() ? all.info.rows() : 0;
  if (!all.info.allocated()) {
    all.names.allocate(0, 2, std::string(3, ' '));
    all.info.allocate(0, all_info_columns, 0);
    all.positions.allocate(0, 3, 0);
    if (charged) all.charges.allocate(0, 0);
  }
  all.names.resize_rows(old + n, std::string(3, ' '));
  all.info.resize_rows(old + n, 0);
  all.positions.resize_rows(old + n, 0);
  if (charged) all.charges.resize(old + n, 0);
  for (int i = 1; i <= n; ++i) {
    const int r = old + i;
    all.names(r, 1) = mol.names(i, 1);
    all.names(r, 2) = mol.names(i, 2);
    for (int c = total_atom; c <= translation_c; ++c) all.info(r, c) = mol.info(i, c);
    all.info(r, molecule_atom) = r;
    for (int c = 1; c <= 3; ++c) all.positions(r, c) = mol.positions(i, c);
    if (charged) all.charges(r) = mol.charges(i);
  }
}

}  // namespace

WholeMolecules whole_molecules(const Run& run, Unit& log) {
  const auto& gv = run.gv;
  const auto& kw = run.kw;
  const auto& at = run.at;
  const bool charged = kw.kcharge == 1;

  if (kw.kfragbld == 1 || kw.kfragsft == 1) {
    log.write("(A)", " ** FRAGMENT MODIFICATIONS **");
    log.write("(A)", rule_line);
  }

  const int nat = gv.nat;
  const long long limit = static_cast<long long>(nat) * static_cast<long long>(gv.nsym);
  const int identity = identity_operator(run);
  WholeMolecules all;

  // Fragment f is the f-th block of rows of the atom tables (the input blocks,
  // or the regrouped atoms of the search), whatever number its header gave.
  int first = 1;
  for (int f = 1; f <= gv.nfrag; ++f) {
    int n = at.frag(f, frag_size);
    log.write("(A,I6)", " Fragment number = ", f);

    Molecule mol;
    mol.names.allocate(n, 2, std::string(3, ' '));
    mol.info.allocate(n, moved_info_columns, 0);
    mol.positions.allocate(n, 3, 0);
    if (charged) mol.charges.allocate(n, 0);
    for (int k = 1; k <= n; ++k) {
      const int j = first + k - 1;
      mol.names(k, 1) = at.fatns(j, 1);
      mol.names(k, 2) = at.fatns(j, 2);
      mol.info(k, total_atom) = at.finfo(j, total_atom);
      mol.info(k, fragment_atom) = k;
      mol.info(k, fragment_number) = f;
      mol.info(k, symmetry_operation) = identity;
      // An atom the search moved to an image, to keep its molecule connected.
      if (kw.kfragmentize == 1 && at.fimage.allocated() && at.fimage.rows() >= j && at.fimage(j, 1) != 0) {
        mol.info(k, symmetry_operation) = at.fimage(j, 1);
        mol.info(k, translation_a) = at.fimage(j, 2);
        mol.info(k, translation_b) = at.fimage(j, 3);
        mol.info(k, translation_c) = at.fimage(j, 4);
      }
      for (int c = 1; c <= 3; ++c) mol.positions(k, c) = at.fgeom(j, c);
      if (charged) mol.charges(k) = at.fcharge(j);
    }
    first += n;

    if (n > 0) {
      Vec3 c = centre(mol.positions, n);
      log.write("(A,3F10.6)", " Fragment geometrical center = ", c(1), c(2), c(3));
      if (kw.kfragsft == 1) shift_into_cell(mol, c, n, log);
      if (kw.kfragbld == 1) complete(run, mol, f, n, limit, log);
    }
    if (n > limit) too_many_atoms(f);
    all.fragment_sizes.push_back(n);
    append_molecule(all, mol, n, charged);
  }

  log.write("(A)", rule_line);
  return all;
}

}  // namespace orbicutter
