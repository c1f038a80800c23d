// Fragment search: the input atoms regrouped into fragments of atoms that are
// bonded through symmetry images. Atoms keep their input coordinates.
#include <algorithm>

#include "format/log_forms.hpp"
#include "fragments/fragment_internals.hpp"
#include "fragments/fragments.hpp"
#include "input/report.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {

namespace {

// The input atoms with their radii, and their images before translation.
struct InputImages {
  explicit InputImages(const Run& run) : rules(run), nsym(run.gv.nsym) {
    const int nat = run.gv.nat;
    for (int i = 1; i <= nat; ++i) {
      rules.add(run.at.fatns(i, 1));
      x.push_back(row3(run.at.fgeom, i));
    }
    base.resize(x.size() * static_cast<std::size_t>(std::max(nsym, 0)));
    for (int m = 1; m <= nat; ++m)
      for (int s = 1; s <= nsym; ++s) base_of(m, s) = image_base(run, s, x[static_cast<std::size_t>(m - 1)]);
  }
  Vec3& base_of(int m, int s) {
    return base[static_cast<std::size_t>(m - 1) * static_cast<std::size_t>(nsym) + static_cast<std::size_t>(s - 1)];
  }
  const Vec3& at(int m) const { return x[static_cast<std::size_t>(m - 1)]; }
  BondRules rules;
  int nsym;
  std::vector<Vec3> x;     // input positions, atom m at m - 1
  std::vector<Vec3> base;  // per atom and operator
};

// The window of the search: every translation that can bring an image within
// bonding reach (no fixed count of cells), unless the cell is degenerate.
TranslationWindow search_window(const Run& run, const BondRules& rules) {
  const TranslationWindow probe(run.geo.g, run.gv.ncells, rules.longest_bond());
  return TranslationWindow(run.geo.g, probe.prunes() ? max_window_cells : run.gv.ncells, rules.longest_bond());
}

// The first image of input atom m, in the search's order (operators, then
// tx, ty, tz with tz innermost), bonded to the point y as atom j.
bool first_bonded_image(const Run& run, InputImages& in, const TranslationWindow& window, int j, const Vec3& y, int m,
                        Placement& found) {
  const real threshold = in.rules.threshold(j - 1, m - 1);
  for (int s = 1; s <= in.nsym; ++s) {
    const Vec3& q = in.base_of(m, s);
    int lo[3], hi[3];
    if (!window.range(q, y, lo, hi)) continue;
    for (int tx = lo[0]; tx <= hi[0]; ++tx)
      for (int ty = lo[1]; ty <= hi[1]; ++ty)
        for (int tz = lo[2]; tz <= hi[2]; ++tz) {
          const Vec3 p = translated(q, lattice_translation(tx, ty, tz));
          if (calcdist(run, y, p) <= threshold) {
            found.s = s;
            found.t[0] = tx;
            found.t[1] = ty;
            found.t[2] = tz;
            found.p = p;
            return true;
          }
        }
  }
  return false;
}

std::vector<std::vector<int>> bonds_through_images(const Run& run, InputImages& in) {
  const int nat = run.gv.nat;
  std::vector<std::vector<int>> bonds(static_cast<std::size_t>(std::max(nat, 0) + 1));
  if (nat <= 0 || in.nsym <= 0 || run.gv.ncells < 0) return bonds;
  const TranslationWindow window = search_window(run, in.rules);
  Placement ignored;
  for (int j = 1; j <= nat; ++j)
    for (int m = 1; m <= nat; ++m) {
      if (m == j || in.rules.excluded(j - 1, m - 1)) continue;
      if (first_bonded_image(run, in, window, j, in.at(j), m, ignored)) bonds[static_cast<std::size_t>(j)].push_back(m);
    }
  return bonds;
}

// Places the atoms of each fragment so that it is one connected molecule.
// Atoms bonded as they stand in the input stay there together; a group of them
// that joins the fragment only through an image is moved, whole, to the first
// such image of the atom that joins it, bonded to an atom already placed.
void place_fragments(const Run& run, InputImages& in, const std::vector<std::vector<int>>& bonds,
                     FragmentOrder& order) {
  const int nat = run.gv.nat;
  const std::size_t n = order.atom.size();
  order.place.assign(n, Placement{});
  std::vector<int> row(static_cast<std::size_t>(nat) + 1, -1);
  for (std::size_t r = 0; r < n; ++r) row[static_cast<std::size_t>(order.atom[r])] = static_cast<int>(r);
  // Bonds between the input positions as they are.
  std::vector<std::vector<int>> direct(static_cast<std::size_t>(nat) + 1);
  for (int j = 1; j <= nat; ++j)
    for (int m : bonds[static_cast<std::size_t>(j)])
      if (calcdist(run, in.at(j), in.at(m)) <= in.rules.threshold(j - 1, m - 1))
        direct[static_cast<std::size_t>(j)].push_back(m);
  std::vector<char> placed(static_cast<std::size_t>(nat) + 1, 0);
  std::vector<int> group;
  // Atom m and the input atoms bonded to it as they stand, put where `how` says.
  auto place_group = [&](int m, const Placement& how) {
    group.assign(1, m);
    placed[static_cast<std::size_t>(m)] = 1;
    for (std::size_t g = 0; g < group.size(); ++g) {
      const int c = group[g];
      Placement& p = order.place[static_cast<std::size_t>(row[static_cast<std::size_t>(c)])];
      p.s = how.s;
      std::copy(how.t, how.t + 3, p.t);
      p.p = how.s == 0 ? in.at(c) : translated(in.base_of(c, how.s), lattice_translation(how.t[0], how.t[1], how.t[2]));
      for (int d : direct[static_cast<std::size_t>(c)])
        if (!placed[static_cast<std::size_t>(d)]) {
          placed[static_cast<std::size_t>(d)] = 1;
          group.push_back(d);
        }
    }
  };
  const TranslationWindow window = search_window(run, in.rules);
  for (std::size_t first = 0; first < n;) {
    std::size_t last = first;
    while (last < n && order.fragment[last] == order.fragment[first]) ++last;
    place_group(order.atom[first], Placement{});
    for (bool progress = true; progress;) {
      progress = false;
      for (std::size_t r = first; r < last; ++r) {
        const int k = order.atom[r];
        if (!placed[static_cast<std::size_t>(k)]) continue;
        for (int m : bonds[static_cast<std::size_t>(k)]) {
          Placement how;
          if (placed[static_cast<std::size_t>(m)] || !first_bonded_image(run, in, window, k, order.place[r].p, m, how))
            continue;
          place_group(m, how);
          progress = true;
        }
      }
    }
    // An atom no image joins (an operator set that is no group) stays as given.
    for (std::size_t r = first; r < last; ++r)
      if (!placed[static_cast<std::size_t>(order.atom[r])]) place_group(order.atom[r], Placement{});
    first = last;
  }
}

}  // namespace

std::vector<std::vector<int>> image_bonds(const Run& run) {
  InputImages in(run);
  return bonds_through_images(run, in);
}

FragmentOrder fragment_order(const Run& run) {
  const int nat = run.gv.nat;
  FragmentOrder order;
  if (nat <= 0) return order;
  InputImages in(run);
  const auto bonds = bonds_through_images(run, in);
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
  place_fragments(run, in, bonds, order);
  return order;
}

FragmentSearch search_fragments(const Run& run) {
  const auto& at = run.at;
  const bool charged = run.kw.kcharge == 1;
  const int nat = run.gv.nat;
  const FragmentOrder order = fragment_order(run);

  // The collected atoms, in order.
  FragmentSearch found;
  found.names.allocate(nat, 2, std::string(3, ' '));
  found.info.allocate(nat, input_info_columns, 0);
  found.positions.allocate(nat, 3, 0);
  if (charged) found.charges.allocate(nat, 0);
  for (int n = 1; n <= static_cast<int>(order.atom.size()); ++n) {
    const int m = order.atom[static_cast<std::size_t>(n - 1)];
    found.names(n, 1) = at.fatns(m, 1);
    found.names(n, 2) = at.fatns(m, 2);
    found.info(n, fragment_number) = order.fragment[static_cast<std::size_t>(n - 1)];
    // Where the search placed it: a fragment is one connected molecule.
    set_row3(found.positions, n, order.place[static_cast<std::size_t>(n - 1)].p);
    if (charged) found.charges(n) = at.fcharge(m);
  }
  // Operator and translation of the atoms that the search moved to an image.
  found.images.allocate(nat, 4, 0);
  for (int n = 1; n <= static_cast<int>(order.place.size()); ++n) {
    const Placement& p = order.place[static_cast<std::size_t>(n - 1)];
    found.images(n, 1) = p.s;
    for (int c = 0; c < 3; ++c) found.images(n, c + 2) = p.t[c];
  }

  // Input numbers follow the new order; fragment atoms count within each fragment.
  const int nfrag = order.nfrag;
  found.fragments.allocate(nfrag, 2, 0);
  for (int i = 1; i <= nat; ++i) found.info(i, total_atom) = i;
  std::vector<int> count(static_cast<std::size_t>(nfrag) + 1, 0);
  for (int i = 1; i <= nat; ++i)
    found.info(i, fragment_atom) = ++count[static_cast<std::size_t>(found.info(i, fragment_number))];
  for (int f = 1; f <= nfrag; ++f) {
    found.fragments(f, frag_id) = f;
    found.fragments(f, frag_size) = count[static_cast<std::size_t>(f)];
  }
  return found;
}

void write_fragment_search_head(Unit& log) {
  log.write("(A)", " ** FRAGMENT SEARCH **");
  log.write("(A)", rule_line);
}

void write_fragment_search(const Run& run, Unit& log) {
  const auto& gv = run.gv;
  const auto& at = run.at;
  log.write("(A,A)", " Number of fragments after search = ", digits(gv.nfrag));
  for (int f = 1; f <= gv.nfrag; ++f)
    log.write("(A,I6,A,I6)", " Fragment number = ", at.frag(f, frag_id),
              "  |  Number of atoms = ", at.frag(f, frag_size));
  log.write("(A)", rule_line);
  for (int i = 1; i <= gv.nat; ++i) {
    if (i > 1 && at.finfo(i, fragment_number) != at.finfo(i - 1, fragment_number)) log.write("(A)", rule_line);
    write_fragment_atom(run, log, i);
  }
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
