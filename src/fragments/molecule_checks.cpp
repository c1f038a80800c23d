// Checks of the rebuilt molecules after the fragment phases: molecules left
// incomplete, contacts that the bond tolerance just misses, atoms that nearly
// coincide, H atoms bonded to nothing and elements without a radius. They only
// warn; no table is changed.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <tuple>

#include "fragments/fragment_internals.hpp"
#include "fragments/fragments.hpp"
#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"
#include "model/check_lines.hpp"

namespace orbicutter {
namespace {

// A contact not bonded but within this much of its bond threshold is decided by the tolerance.
constexpr double near_band = 0.15;

// The one place that reads the bond lists of the all-atom tables.
bool has_bond(const Run& run, int i) { return run.at.allbonds.cols() >= 1 && run.at.allbonds(i, 1) != 0; }

std::string atom_name(const Run& run, int i) { return "atom " + digits(i) + " (" + trim(run.at.allatns(i, 2)) + ")"; }

// Atom j, or its image under operation s and translation t (s = 0: as it stands).
struct Partner {
  int j = 0, s = 0;
  int t[3] = {0, 0, 0};
};

std::string partner_name(const Run& run, const Partner& p) {
  if (p.s == 0) return atom_name(run, p.j);
  return atom_name(run, p.j) + " by operation " + digits(p.s) + ", translation " + digits(p.t[0]) + " " +
         digits(p.t[1]) + " " + digits(p.t[2]);
}

struct Contact {
  int i = 0;
  Partner p;
  real d = 0, threshold = 0, radii = 0;
};

// The first TOLS value, in hundredths, with which the bond test takes the contact.
std::string bonding_tolerance(const Contact& c) {
  double t = std::ceil((static_cast<double>(c.d) - static_cast<double>(c.radii)) * 100.0 - 1e-6) / 100.0;
  while (c.radii + static_cast<real>(t) < c.d) t += 0.01;
  return trim(format_record("(F10.2)", std::array<Value, 1>{Value(t)}));
}

struct Findings {
  std::map<int, Contact> incomplete;                  // by fragment: its first bond to an image left out
  // By the pair of input atoms and the distance in 0.1 mA: symmetry-equivalent contacts once.
  std::map<std::tuple<int, int, long long>, Contact> near;
  Shortlist<std::pair<int, int>, Contact> close;     // pairs of molecule atoms closer than close_limit
  std::vector<char> image_bonded;                     // per atom (from 0): bonded to an image
  bool images_close = false;
};

// Every atom of the molecules against every symmetry image of every atom
// within reach, through the fragment phases' translation window and index.
Findings survey(const Run& run) {
  const int nat = run.gv.nat, nsym = run.gv.nsym, nc = run.gv.ncells;
  const auto& at = run.at;
  Findings f;
  f.image_bonded.assign(static_cast<std::size_t>(std::max(nat, 0)), 0);
  if (nat <= 0 || nsym <= 0 || nc < 0) return f;

  BondRules rules(run);
  std::vector<Vec3> x(static_cast<std::size_t>(nat));
  std::vector<char> covalent(static_cast<std::size_t>(nat));
  for (int i = 1; i <= nat; ++i) {
    rules.add(at.allatns(i, 1));
    covalent[static_cast<std::size_t>(i - 1)] = is_covalent_element(at.allatns(i, 1)) ? 1 : 0;
    x[static_cast<std::size_t>(i - 1)] = row3(at.allgeom, i);
  }
  const real reach = std::max(rules.longest_bond() + static_cast<real>(near_band), static_cast<real>(close_limit));
  // Images as far as the fragment phases seek them (as many cells as the
  // molecules reach), so the survey costs about what the fragment search costs.
  std::vector<Vec3> bases;
  bases.reserve(x.size() * static_cast<std::size_t>(nsym));
  for (int j = 0; j < nat; ++j)
    for (int s = 1; s <= nsym; ++s) bases.push_back(image_base(run, s, x[static_cast<std::size_t>(j)]));
  const TranslationWindow window(run.geo.g, cells_to_reach(run.geo.g, reach, bases, x, nc), reach);
  WindowIndex index(window);
  for (int i = 0; i < nat; ++i) index.insert(i, x[static_cast<std::size_t>(i)]);

  std::vector<long long> found;
  struct Near {
    int t[3];
    int i;
    bool operator<(const Near& o) const {
      return std::tie(t[2], t[1], t[0], i) < std::tie(o.t[2], o.t[1], o.t[0], o.i);
    }
  };
  std::vector<Near> near;
  // Group s = 0 is atom j as it stands, met by the other atoms of the
  // molecules; s = 1..nsym are its images, where an image that is a molecule
  // atom itself is left to that atom's own group.
  for (int j = 0; j < nat; ++j)
    for (int s = 0; s <= nsym; ++s) {
      const bool own = s == 0;
      const Vec3 q = own ? x[static_cast<std::size_t>(j)]
                         : bases[static_cast<std::size_t>(j) * static_cast<std::size_t>(nsym) + static_cast<std::size_t>(s - 1)];
      found.clear();
      index.near(q, found);
      near.clear();
      for (long long id : found) {
        const int i = static_cast<int>(id);
        int lo[3], hi[3];
        if (!window.range(q, x[static_cast<std::size_t>(i)], lo, hi)) continue;
        if (own) {
          if (i != j && lo[0] <= 0 && hi[0] >= 0 && lo[1] <= 0 && hi[1] >= 0 && lo[2] <= 0 && hi[2] >= 0)
            near.push_back({{0, 0, 0}, i});
          continue;
        }
        for (int tz = lo[2]; tz <= hi[2]; ++tz)
          for (int ty = lo[1]; ty <= hi[1]; ++ty)
            for (int tx = lo[0]; tx <= hi[0]; ++tx) near.push_back({{tx, ty, tz}, i});
      }
      std::sort(near.begin(), near.end());
      for (std::size_t b = 0; b < near.size();) {
        std::size_t e = b;
        while (e < near.size() && std::equal(near[e].t, near[e].t + 3, near[b].t)) ++e;
        const int* t = near[b].t;
        const Vec3 p = translated(q, lattice_translation(t[0], t[1], t[2]));
        bool same = false;
        for (std::size_t c = b; c < e && !own && !same; ++c)
          same = calcdist(run, p, x[static_cast<std::size_t>(near[c].i)]) < tiny;
        if (same) {
          b = e;
          continue;
        }
        for (std::size_t c = b; c < e; ++c) {
          const int i = near[c].i;
          Contact k;
          k.i = i + 1;
          k.p.j = j + 1;
          k.p.s = s;
          std::copy(t, t + 3, k.p.t);
          k.d = calcdist(run, x[static_cast<std::size_t>(i)], p);
          k.radii = rules.radius(i) + rules.radius(j);
          k.threshold = rules.threshold(i, j);
          if (k.d < static_cast<real>(close_limit)) {
            if (own && i < j) f.close.offer({k.i, k.p.j}, k);
            if (!own) f.images_close = true;
            continue;
          }
          if (rules.excluded(i, j)) continue;
          if (k.d <= k.threshold) {
            if (own) continue;
            f.image_bonded[static_cast<std::size_t>(i)] = 1;
            f.incomplete.emplace(at.allinfo(i + 1, fragment_number), k);
          } else if (k.d < k.threshold + static_cast<real>(near_band) && covalent[static_cast<std::size_t>(i)] &&
                     covalent[static_cast<std::size_t>(j)]) {
            const int ti = at.allinfo(i + 1, total_atom), tj = at.allinfo(j + 1, total_atom);
            f.near.emplace(std::make_tuple(std::min(ti, tj), std::max(ti, tj), std::llround(static_cast<double>(k.d) * 1e4)), k);
          }
        }
        b = e;
      }
    }
  return f;
}

void warn_incomplete(std::vector<WarningBox>& boxes, const Run& run, const Findings& f) {
  if (run.kw.kfragbld == 1 || f.incomplete.empty()) return;
  std::vector<Contact> bonds;
  for (const auto& [fragment, c] : f.incomplete) bonds.push_back(c);
  std::vector<std::string> m = {message_line("Incomplete molecules: atoms bonded to symmetry images of atoms that their"),
                                message_line("molecules do not hold (a molecule on a symmetry element, or cut in pieces)")};
  listed(m, bonds, [&](const Contact& c) {
    return "fragment " + digits(run.at.allinfo(c.i, fragment_number)) + ": " + atom_name(run, c.i) + " - " +
           partner_name(run, c.p) + ", " + angstrom(c.d);
  });
  m.push_back(message_line("Switch on fragment completion (FRGM 1 1 1) for whole molecules"));
  boxes.push_back(WarningBox{"FRAGMENTS", m});
}

void warn_near(std::vector<WarningBox>& boxes, const Run& run, const Findings& f) {
  if (f.near.empty()) return;
  std::vector<Contact> pairs;
  for (const auto& [key, c] : f.near) pairs.push_back(c);
  std::vector<std::string> m = {message_line("Contacts just beyond the bond threshold, not bonded: the tolerance decides")};
  listed(m, pairs, [&](const Contact& c) {
    return atom_name(run, c.i) + " - " + partner_name(run, c.p) + ": " + angstrom(c.d) + ", threshold " +
           angstrom(c.threshold) + ", bonded from TOLS " + bonding_tolerance(c);
  });
  m.push_back(message_line("If these are bonds, raise the first TOLS value; a molecule may be split"));
  boxes.push_back(WarningBox{"FRAGMENTS", m});
}

void warn_close(std::vector<WarningBox>& boxes, const Run& run, const Findings& f) {
  if (f.close.empty()) return;
  std::vector<std::string> m = {message_line("Atoms of the molecules closer than 0.5 A, not merged as one")};
  listed(
      m, f.close.items(),
      [&](const Contact& c) { return atom_name(run, c.i) + " - " + atom_name(run, c.p.j) + ": " + angstrom(c.d); },
      f.close.count());
  m.push_back(message_line("An atom near a special position may be given with too few decimals (0.3333 for 1/3)"));
  boxes.push_back(WarningBox{"FRAGMENTS", m});
}

// H (and D) atoms bonded to nothing, and elements without a covalent radius; each
// input atom named once (images added by completion share its number).
void warn_lone(std::vector<WarningBox>& boxes, const Run& run, const Findings& f) {
  const auto& at = run.at;
  std::vector<int> lone, unknown;
  std::vector<char> seen_lone, seen_unknown;
  auto first_time = [](std::vector<char>& seen, int t) {
    if (t < 1) return true;
    if (static_cast<int>(seen.size()) <= t) seen.resize(static_cast<std::size_t>(t) + 1, 0);
    if (seen[static_cast<std::size_t>(t)]) return false;
    seen[static_cast<std::size_t>(t)] = 1;
    return true;
  };
  for (int i = 1; i <= run.gv.nat; ++i) {
    const std::string e = trim(at.allatns(i, 1));
    const int t = at.allinfo(i, total_atom);
    if (!(covalent_radius(at.allatns(i, 1)) > 0) && first_time(seen_unknown, t)) unknown.push_back(i);
    if ((e == "H" || e == "D") && !has_bond(run, i) && !f.image_bonded[static_cast<std::size_t>(i - 1)] &&
        first_time(seen_lone, t))
      lone.push_back(i);
  }
  const auto named = [&](const std::vector<int>& list) {
    std::vector<std::string> names;
    for (int i : list) names.push_back(atom_name(run, i));
    return names;
  };
  if (!lone.empty())
    boxes.push_back(WarningBox{"FRAGMENTS", {message_line("H atoms bonded to nothing, each a molecule of its own: " + name_list(named(lone), most_listed)),
          message_line("Check their coordinates, or the atom they belong to")}});
  if (!unknown.empty())
    boxes.push_back(WarningBox{"FRAGMENTS", {message_line("Elements not in the element table, without a covalent radius: " +
                       name_list(named(unknown), most_listed)),
          message_line("They bond to nothing; check the element symbols of these atom lines (Cl, not CL)")}});
}

// A fragment of the search whose own bonds leave it in pieces: the molecule
// census would count two molecules as one. Each part by its formula and
// first atom.
void warn_disconnected(std::vector<WarningBox>& boxes, const Run& run) {
  if (run.kw.kfragmentize != 1) return;
  const auto& at = run.at;
  const int nat = run.gv.nat;
  std::vector<int> part(static_cast<std::size_t>(std::max(nat, 0)) + 1, 0);
  std::vector<std::string> pieces;
  int fragments = 0;
  for (int first = 1; first <= nat;) {
    const int f = at.allinfo(first, fragment_number);
    int last = first;
    while (last < nat && at.allinfo(last + 1, fragment_number) == f) ++last;
    std::vector<std::string> parts;
    for (int i = first; i <= last; ++i) {
      if (part[static_cast<std::size_t>(i)] != 0) continue;
      const int p = static_cast<int>(parts.size()) + 1;
      std::map<std::string, int> count;
      std::vector<int> stack{i};
      part[static_cast<std::size_t>(i)] = p;
      while (!stack.empty()) {
        const int a = stack.back();
        stack.pop_back();
        ++count[trim(at.allatns(a, 1))];
        for (int c = 1; c <= at.allbonds.cols() && at.allbonds(a, c) != 0; ++c) {
          const int b = at.allbonds(a, c);
          if (b < first || b > last || part[static_cast<std::size_t>(b)] != 0) continue;
          part[static_cast<std::size_t>(b)] = p;
          stack.push_back(b);
        }
      }
      parts.push_back(hill_formula(count) + " from " + atom_name(run, i));
    }
    if (parts.size() > 1) {
      ++fragments;
      if (pieces.size() < most_listed) pieces.push_back("fragment " + digits(f) + ": " + name_list(parts, most_listed));
    }
    first = last + 1;
  }
  if (pieces.empty()) return;
  std::vector<std::string> m = {message_line("Fragments that their own bonds do not join into one molecule:")};
  listed(m, pieces, [](const std::string& p) { return p; }, static_cast<std::size_t>(fragments));
  m.push_back(message_line("Each part is a molecule of its own; the census counts them as one"));
  boxes.push_back(WarningBox{"FRAGMENTS", m});
}

}  // namespace

MoleculeFindings molecule_checks(const Run& run) {
  MoleculeFindings found;
  if (!run.diag.enabled) return found;
  const Findings f = survey(run);
  found.images_close = f.images_close;
  warn_incomplete(found.warnings, run, f);
  warn_near(found.warnings, run, f);
  warn_close(found.warnings, run, f);
  warn_lone(found.warnings, run, f);
  warn_disconnected(found.warnings, run);
  return found;
}

}  // namespace orbicutter
