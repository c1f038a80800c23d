// Fragment search: the input atoms regrouped into fragments of atoms that are
// bonded through symmetry images. Atoms keep their input coordinates.
#include <algorithm>

#include "driver/forms.hpp"
#include "fragments/fragment_internals.hpp"
#include "fragments/fragments.hpp"
#include "input/report.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {

std::vector<std::vector<int>> image_bonds(const Run& run) {
  const int nat = run.gv.nat, nsym = run.gv.nsym, nc = run.gv.ncells;
  const auto& at = run.at;
  std::vector<std::vector<int>> bonds(static_cast<std::size_t>(std::max(nat, 0) + 1));
  if (nat <= 0 || nsym <= 0 || nc < 0) return bonds;

  BondRules rules(run);
  std::vector<Vec3> x(static_cast<std::size_t>(nat) + 1);
  for (int i = 1; i <= nat; ++i) {
    rules.add(at.fatns(i, 1));
    x[static_cast<std::size_t>(i)] = row3(at.fgeom, i);
  }
  const TranslationWindow window(run.geo.g, nc, rules.longest_bond());

  // Images before translation, per atom and operator.
  std::vector<Vec3> base(static_cast<std::size_t>(nat + 1) * static_cast<std::size_t>(nsym));
  auto base_of = [&](int m, int s) -> Vec3& {
    return base[static_cast<std::size_t>(m) * static_cast<std::size_t>(nsym) + static_cast<std::size_t>(s - 1)];
  };
  for (int m = 1; m <= nat; ++m)
    for (int s = 1; s <= nsym; ++s) base_of(m, s) = image_base(run, s, x[static_cast<std::size_t>(m)]);

  for (int j = 1; j <= nat; ++j) {
    const Vec3& xj = x[static_cast<std::size_t>(j)];
    auto& list = bonds[static_cast<std::size_t>(j)];
    for (int m = 1; m <= nat; ++m) {
      if (m == j || rules.excluded(j - 1, m - 1)) continue;
      const real threshold = rules.threshold(j - 1, m - 1);
      bool bonded = false;
      for (int s = 1; s <= nsym && !bonded; ++s) {
        const Vec3& q = base_of(m, s);
        int lo[3], hi[3];
        if (!window.range(q, xj, lo, hi)) continue;
        for (int tx = lo[0]; tx <= hi[0] && !bonded; ++tx)
          for (int ty = lo[1]; ty <= hi[1] && !bonded; ++ty)
            for (int tz = lo[2]; tz <= hi[2] && !bonded; ++tz) {
              bonded = calcdist(run, xj, translated(q, lattice_translation(tx, ty, tz))) <= threshold;
            }
      }
      if (bonded) list.push_back(m);
    }
  }
  return bonds;
}

FragmentOrder fragment_order(const Run& run) {
  const int nat = run.gv.nat;
  FragmentOrder order;
  if (nat <= 0) return order;
  const auto bonds = image_bonds(run);
  std::vector<int> fragment_of(static_cast<std::size_t>(nat) + 1, 0);
  int seed = 1;
  while (true) {
    while (seed <= nat && fragment_of[static_cast<std::size_t>(seed)] != 0) ++seed;
    if (seed > nat) break;
    const int f = ++order.nfrag;
    const std::size_t first = order.atom.size();
    fragment_of[static_cast<std::size_t>(seed)] = f;
    order.atom.push_back(seed);
    for (std::size_t k = first; k < order.atom.size(); ++k) {
      for (int m : bonds[static_cast<std::size_t>(order.atom[k])]) {
        if (fragment_of[static_cast<std::size_t>(m)] != 0) continue;
        fragment_of[static_cast<std::size_t>(m)] = f;
        order.atom.push_back(m);
      }
    }
  }
  for (int a : order.atom) order.fragment.push_back(fragment_of[static_cast<std::size_t>(a)]);
  return order;
}

void fragment_search(Run& run) {
  auto& gv = run.gv;
  auto& at = run.at;
  auto& tmp = run.tmp;
  auto& log = run.sink.log;
  const bool charged = run.kw.kcharge == 1;
  const int nat = gv.nat;

  log.write("(A)", " ** FRAGMENT SEARCH **");
  log.write("(A)", rule_line);

  const FragmentOrder order = fragment_order(run);

  // The collected atoms, in order; info columns 1 and 2 are renumbered below.
  tmp.tatns.allocate(nat, 2, std::string(3, ' '));
  tmp.tinfo.allocate(nat, input_info_columns, 0);
  tmp.tgeom.allocate(nat, 3, 0);
  if (charged) tmp.tcharge.allocate(nat, 0);
  for (int n = 1; n <= static_cast<int>(order.atom.size()); ++n) {
    const int m = order.atom[static_cast<std::size_t>(n - 1)];
    tmp.tatns(n, 1) = at.fatns(m, 1);
    tmp.tatns(n, 2) = at.fatns(m, 2);
    tmp.tinfo(n, fragment_number) = order.fragment[static_cast<std::size_t>(n - 1)];
    for (int c = 1; c <= 3; ++c) tmp.tgeom(n, c) = at.fgeom(m, c);
    if (charged) tmp.tcharge(n) = at.fcharge(m);
  }
  at.fatns = tmp.tatns;
  at.finfo = tmp.tinfo;
  at.fgeom = tmp.tgeom;
  if (charged) at.fcharge = tmp.tcharge;
  tmp.tatns.release();
  tmp.tinfo.release();
  tmp.tgeom.release();
  tmp.tcharge.release();

  gv.nfrag = order.nfrag;
  at.frag.release();
  at.frag.allocate(gv.nfrag, 2, 0);
  for (int i = 1; i <= nat; ++i) at.finfo(i, total_atom) = i;
  std::vector<int> count(static_cast<std::size_t>(gv.nfrag) + 1, 0);
  for (int i = 1; i <= nat; ++i)
    at.finfo(i, fragment_atom) = ++count[static_cast<std::size_t>(at.finfo(i, fragment_number))];
  for (int f = 1; f <= gv.nfrag; ++f) {
    at.frag(f, frag_id) = f;
    at.frag(f, frag_size) = count[static_cast<std::size_t>(f)];
  }

  gv.vstring = digits(gv.nfrag);
  log.write("(A,A)", " Number of fragments after search = ", trim(gv.vstring));
  for (int f = 1; f <= gv.nfrag; ++f)
    log.write("(A,I6,A,I6)", " Fragment number = ", at.frag(f, frag_id),
              "  |  Number of atoms = ", at.frag(f, frag_size));
  log.write("(A)", rule_line);
  for (int i = 1; i <= nat; ++i) {
    if (i > 1 && at.finfo(i, fragment_number) != at.finfo(i - 1, fragment_number)) log.write("(A)", rule_line);
    write_fragment_atom(run, log, i);
  }
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
