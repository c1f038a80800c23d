// After cluster building: the molecule census of the run log, and the warning
// for atoms of different cluster molecules that nearly coincide.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "cluster/cluster.hpp"
#include "format/log_forms.hpp"
#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"
#include "geometry/spatial_index.hpp"
#include "model/check_lines.hpp"

namespace orbicutter {
namespace {

// The central molecule in one line: its fragment, formula and the labels of its
// input atoms in the molecule's order, that of the cluster files (an atom
// completed through symmetry repeats its source's label and adds none).
std::string central_molecule(const Run& run, const std::string& formula, int f) {
  const auto& at = run.at;
  std::map<int, std::string> labels;  // by atom number after the fragment search
  for (int i = 1; i <= run.gv.nat; ++i)
    if (at.allinfo(i, fragment_number) == f) labels.emplace(at.allinfo(i, total_atom), trim(at.allatns(i, 2)));
  std::string list;
  std::size_t shown = 0;
  for (const auto& [n, label] : labels) {
    if (shown == most_listed) {
      list += " ...";
      break;
    }
    list += (shown++ == 0 ? "" : " ") + label;
  }
  return " Central molecule: fragment " + digits(f) + ", " + formula + " (" + list + ")";
}

// Rounding each atom charge to four decimals moves the sum by at most this much per atom.
constexpr double charge_rounding = 0.00005;

// The charges of the cluster's atoms, summed in full precision whatever the reals.
double net_charge(const ClusterModel& cluster) {
  double q = 0;
  for (const ClusterAtom& a : cluster.atoms) q += static_cast<double>(a.charge);
  return q;
}

}  // namespace

// A cluster of whole molecules of a salt seldom holds its ions in the ratio of
// the cell; a point-charge embedding then carries that charge.
bool cluster_is_charged(double net, int atoms) { return std::abs(net) > charge_rounding * atoms; }

void molecule_census(const Run& run, const ClusterModel& cluster, LogSink& sink, Diagnostics& diag) {
  if (!diag.enabled) return;
  const auto& at = run.at;
  const int nfrag = run.gv.nfrag;
  std::vector<std::map<std::string, int>> count(static_cast<std::size_t>(std::max(nfrag, 0)) + 1);
  for (int i = 1; i <= run.gv.nat; ++i) {
    const int f = at.allinfo(i, fragment_number);
    if (f >= 1 && f <= nfrag) ++count[static_cast<std::size_t>(f)][trim(at.allatns(i, 1))];
  }
  std::vector<int> copies(count.size(), 0);
  for (const int first : cluster.molecule_first) {
    const int f = cluster.atom(first).fragment;
    if (f >= 1 && f <= nfrag) ++copies[static_cast<std::size_t>(f)];
  }
  // One line per composition, in the order of their first fragments.
  struct Kind {
    std::string formula;
    std::vector<std::string> fragments;
    int copies = 0;
  };
  std::vector<Kind> kinds;
  for (int f = 1; f <= nfrag; ++f) {
    const std::string formula = hill_formula(count[static_cast<std::size_t>(f)]);
    auto it = std::find_if(kinds.begin(), kinds.end(), [&](const Kind& k) { return k.formula == formula; });
    if (it == kinds.end()) it = kinds.insert(kinds.end(), Kind{formula, {}, 0});
    it->fragments.push_back(digits(f));
    it->copies += copies[static_cast<std::size_t>(f)];
  }
  auto& log = sink.log;
  log.write("(A)", " ** MOLECULE CENSUS **");
  log.write("(A)", rule_line);
  for (const Kind& k : kinds)
    log.write("(A,I6)", " " + k.formula + " x " + digits(static_cast<long long>(k.fragments.size())) +
                            "  |  Fragment" + (k.fragments.size() > 1 ? "s " : " ") + name_list(k.fragments) +
                            "  |  Copies in the cluster = ",
              k.copies);
  // The first molecule of the cluster is the central one: the QM region and the dimers' reference.
  const int central = cluster.size() >= 1 ? cluster.atom(1).fragment : 0;
  if (central >= 1 && central <= nfrag)
    log.line(central_molecule(run, hill_formula(count[static_cast<std::size_t>(central)]), central));
  double net = 0;
  if (run.kw.kcharge == 1) {
    net = net_charge(cluster);
    const double shown = std::abs(net) < 0.0005 ? 0.0 : net;  // no "-0.000"
    log.write("(A,F10.3,A)", " Net charge of the cluster = ", shown, " e");
  }
  log.write("(A)", rule_line);
  if (run.kw.kcharge == 1 && cluster_is_charged(net, cluster.size()))
    warn(sink, diag, "CLUSTER",
         {message_line("The cluster is charged: its atom charges sum to " +
                       trim(format_record("(F10.3)", std::array<Value, 1>{Value(net)})) + " e"),
          message_line("Whole ions within DMAX seldom balance: a point-charge embedding carries it")});
}

void cluster_checks(const Run& run, const ClusterModel& cluster, LogSink& sink, Diagnostics& diag) {
  if (!diag.enabled || !diag.images_close) return;
  const int n = cluster.size();
  struct Pair {
    int a, b;
    real d;
  };
  Shortlist<std::pair<int, int>, Pair> pairs;
  std::vector<int> molecule(static_cast<std::size_t>(std::max(n, 0)) + 1, 0);
  SpatialIndex index(run.geo.g);
  index.reserve(n);
  for (int i = 1; i <= n; ++i) {
    const auto at = static_cast<std::size_t>(i);
    molecule[at] = molecule[at - 1] + (starts_molecule(cluster.atoms, i) ? 1 : 0);
    const Vec3& p = cluster.atom(i).position;
    index.any_within(p, close_limit, [&](int r) {
      if (molecule[static_cast<std::size_t>(r)] == molecule[static_cast<std::size_t>(i)]) return false;
      const real d = calcdist(run, cluster.atom(r).position, p);
      if (d < static_cast<real>(close_limit)) pairs.offer({r, i}, {r, i, d});
      return false;
    });
    index.insert(i, p);
  }
  if (pairs.empty()) return;
  const auto name = [&](int i) { return "cluster atom " + digits(i) + " (" + trim(cluster.atom(i).label) + ")"; };
  std::vector<std::string> m = {message_line("Atoms of different cluster molecules closer than 0.5 A: the cluster holds")};
  m.push_back(message_line("these atoms more than once"));
  listed(
      m, pairs.items(), [&](const Pair& p) { return name(p.a) + " - " + name(p.b) + ": " + angstrom(p.d); },
      pairs.count());
  m.push_back(message_line("An atom near a special position may be given with too few decimals (0.3333 for 1/3)"));
  warn(sink, diag, "CLUSTER", m);
}

}  // namespace orbicutter
