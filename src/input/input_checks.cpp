// The reader's warnings after the input report, and the cleaning of atom names.
#include <array>
#include <cmath>
#include <unordered_map>

#include "geometry/geometry.hpp"
#include "input/checks.hpp"
#include "model/warning.hpp"

namespace orbicutter {
namespace {

// Closer than this no two atoms of a molecular crystal can be (H-H in H2 is 0.74 A).
constexpr double overlap = 0.5;

bool control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

std::string atom_name(const Run& run, int t) { return digits(t) + " (" + trim(run.at.fatns(t, 2)) + ")"; }

void warn_renamed(Run& run, const std::vector<int>& renamed) {
  if (renamed.empty()) return;
  std::vector<std::string> names;
  for (int t : renamed) names.push_back(atom_name(run, t));
  warn(run.sink, run.diag, "READINP",
       {message_line("Control characters in atom names, written as ?: atom " + name_list(names)),
        message_line("Check these atom lines for stray bytes")});
}

// Every input atom lies within `overlap` of another one, as given (no symmetry):
// a cell in nm instead of angstrom, or every atom line given twice.
bool every_atom_overlaps(const Run& run) {
  const int n = run.gv.nat;
  if (n < 2) return false;
  const Mat3 mt = orthogonalisation(run.geo);
  std::vector<std::array<double, 3>> r(static_cast<std::size_t>(n));
  for (int t = 1; t <= n; ++t)
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j)
        r[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(i - 1)] +=
            static_cast<double>(mt(i, j)) * static_cast<double>(run.at.fgeom(t, j));

  // Cubes of `overlap` on a side: a partner lies in the atom's cube or a neighbouring one.
  using Key = std::array<long long, 3>;
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return static_cast<std::size_t>(k[0] * 73856093LL ^ k[1] * 19349663LL ^ k[2] * 83492791LL);
    }
  };
  const auto cube = [&](const std::array<double, 3>& p, int di, int dj, int dk) {
    return Key{static_cast<long long>(std::floor(p[0] / overlap)) + di,
               static_cast<long long>(std::floor(p[1] / overlap)) + dj,
               static_cast<long long>(std::floor(p[2] / overlap)) + dk};
  };
  std::unordered_map<Key, std::vector<std::size_t>, KeyHash> cubes;
  for (std::size_t a = 0; a < r.size(); ++a) cubes[cube(r[a], 0, 0, 0)].push_back(a);

  const auto has_partner = [&](std::size_t a) {
    for (int di = -1; di <= 1; ++di)
      for (int dj = -1; dj <= 1; ++dj)
        for (int dk = -1; dk <= 1; ++dk) {
          const auto it = cubes.find(cube(r[a], di, dj, dk));
          if (it == cubes.end()) continue;
          for (std::size_t b : it->second) {
            if (b == a) continue;
            const double dx = r[a][0] - r[b][0], dy = r[a][1] - r[b][1], dz = r[a][2] - r[b][2];
            if (dx * dx + dy * dy + dz * dz < overlap * overlap) return true;
          }
        }
    return false;
  };
  for (std::size_t a = 0; a < r.size(); ++a)
    if (!has_partner(a)) return false;
  return true;
}

bool fits(std::string_view layout, real v) {
  return format_record(layout, std::array<Value, 1>{Value(v)}).find('*') == std::string::npos;
}

// Values the reader accepts but an output file cannot print: charges in the
// charge fields; probe points, hydrogen atoms moved to manual X-H distances and
// a far fixed centre in the coordinate fields.
void warn_field_overflow(Run& run) {
  const auto& kw = run.kw;
  const auto& gv = run.gv;
  if (kw.ktestmol != 0) return;
  const std::string base = trim(gv.outf);
  std::vector<std::string> found;

  struct Field {
    bool asked;
    std::string file;
    const char* charge;      // the charge's layout, nullptr when the file has no charges
    bool magnitude;          // the charge is printed without its sign
    const char* coordinate;  // the Cartesian coordinates' layout
    bool probes;             // the NICS probe points are written too
  };
  const Field fields[] = {
      {kw.kxyz == 1 || kw.kxyz == 2, base + ".xyz", nullptr, false, "(F15.6)", true},
      {kw.kgaussian == 1, base + ".gjf", "(F8.6)", true, "(F15.7)", true},
      {kw.kadf == 1, base + ".adf", "(F8.2)", false, "(F15.7)", false},
      {kw.korca == 1, base + ".orca.inp", nullptr, false, "(F15.7)", false},
      {kw.korca == 1 && kw.kcharge == 1, base + ".orca.pc", "(F12.6)", false, "(F15.7)", false},
      {kw.kdimer == 1, "the dimer files", nullptr, false, "(F15.6)", false},
  };

  // The central molecule, shifted into the cell, about the fixed centre.
  Vec3 offset;
  if (kw.kgecr == 1 && gv.nfrag >= 1) {
    const int n = run.at.frag(1, frag_size);
    for (int k = 1; k <= 3; ++k) {
      real mean = 0;
      for (int t = 1; t <= n; ++t) mean += run.at.fgeom(t, k);
      mean /= static_cast<real>(n);
      if (kw.kfragsft == 1) mean -= std::floor(mean);
      offset(k) = mean - run.geo.geomcentfix(k);
    }
    offset = cartesian(orthogonalisation(run.geo), offset);
  }

  for (const auto& f : fields) {
    if (!f.asked) continue;
    if (f.charge != nullptr && kw.kcharge == 1)
      for (int t = 1; t <= gv.nat; ++t) {
        const real q = run.at.fcharge(t);
        if (!fits(f.charge, f.magnitude ? std::abs(q) : q))
          found.push_back("charge of atom " + atom_name(run, t) + " in " + f.file);
      }
    if (f.probes && kw.knics == 1 && !fits(f.coordinate, -std::abs(gv.dnics)))
      found.push_back("NICS distance in " + f.file);
    if (kw.kstxh == 1)
      for (int i = 1; i <= gv.dxh.size(); ++i)
        if (!fits(f.coordinate, -std::abs(gv.dxh(i))))
          found.push_back("X-H distance " + digits(i) + " (STXH) in " + f.file);
    if (kw.kgecr == 1)
      for (int k = 1; k <= 3; ++k)
        if (!fits(f.coordinate, -std::abs(offset(k)))) {
          found.push_back("coordinates about the fixed centre (GECR) in " + f.file);
          break;
        }
  }
  if (found.empty()) return;
  warn(run.sink, run.diag, "READINP",
       {message_line("Values too large for their fields (printed as asterisks): " + name_list(found, 10, "; ")),
        message_line("Check these values")});
}

void warn_dmax(Run& run) {
  if (run.kw.ktestmol != 0 || run.geo.dmax > 0) return;
  const std::string dmax = trim(format_record("(F10.2)", std::array<Value, 1>{Value(run.geo.dmax)}));
  // The radius and shape methods add the central molecule's own reach.
  const bool reach = run.kw.kbuild == 2 || run.kw.kbuild == 3;
  warn(run.sink, run.diag, "READINP",
       {message_line("DMAX is " + dmax + " (0 when it is missing): the cluster will hold the central molecule " +
                     (reach ? "and only molecules within its own reach" : "alone")),
        message_line("Give DMAX, the cluster radius in angstrom (for example DMAX 12.0)")});
}

}  // namespace

void warn_skipped_lines(Run& run, const SkippedLines& skipped) {
  if (skipped.count == 0) return;
  std::vector<std::string> m{message_line("Lines passed over although they look like input:")};
  for (const auto& line : skipped.first)
    m.push_back(message_line("line " + digits(static_cast<long long>(line.number)) + ": " + line.text + " (" +
                             line.reason + ")"));
  if (skipped.count > skipped.first.size())
    m.push_back(message_line("and " + digits(static_cast<long long>(skipped.count - skipped.first.size())) + " more"));
  m.push_back(message_line("Correct them, or begin them with ! to keep them as remarks"));
  warn(run.sink, run.diag, "READINP", m);
}

std::vector<int> clean_atom_names(Run& run) {
  std::vector<int> renamed;
  for (int t = 1; t <= run.gv.nat; ++t) {
    bool changed = false;
    for (int c = 1; c <= 2; ++c)
      for (char& ch : run.at.fatns(t, c))
        if (control(ch)) {
          ch = '?';
          changed = true;
        }
    if (changed) renamed.push_back(t);
  }
  return renamed;
}

void input_warnings(Run& run, const SkippedLines& skipped, const std::vector<int>& renamed) {
  warn_skipped_lines(run, skipped);
  operator_warnings(run);
  warn_renamed(run, renamed);
  if (every_atom_overlaps(run))
    warn(run.sink, run.diag, "READINP",
         {message_line("Every atom lies within 0.5 A of another atom of the input"),
          message_line("Check that the cell edges are in angstrom and that no atom line is given twice")});
  warn_field_overflow(run);
  warn_dmax(run);
}

}  // namespace orbicutter
