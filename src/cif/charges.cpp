#include "cif/charges.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <gemmi/elem.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "cif/atomic_file.hpp"
#include "cif/centre.hpp"
#include "cif/error.hpp"
#include "cif/scratch.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace fs = std::filesystem;
namespace {

std::string find_xtb() {
  if (const char* path = std::getenv("PATH")) {
    std::stringstream ss(path);
    for (std::string dir; std::getline(ss, dir, ':');) {
      const fs::path p = fs::path(dir.empty() ? "." : dir) / "xtb";
      std::error_code ec;
      if (fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0) return p.string();
    }
  }
  throw ConversionError("--charges xtb needs the program xtb (Debian package xtb), which is not on PATH");
}

// The formal charge of a molecule: the moiety formula's ion charge, else
// --molecule-charge, else 0.
int formal_charge(const Composition& c, const Conversion& cv, const Options& o) {
  for (const auto& [composition, q] : moiety_charges(cv.formula_moiety))
    if (same_composition(composition, c)) return q;
  for (const auto& [formula, q] : o.molecule_charges)
    if (const auto parsed = parse_formula(formula); parsed && parsed->size() == 1 && same_composition(parsed->front().composition, c))
      return q;
  return 0;
}

// One GFN2-xTB single point in a private scratch folder; the charges in atom order.
std::vector<double> xtb_charges(const std::string& exe, const UnitMolecule& m, int charge) {
  const ScratchFolder scratch("orbicutter-xtb");
  const fs::path& folder = scratch.path;
  std::ostringstream xyz;
  int electrons = -charge;
  xyz << m.atoms.size() << "\nmolecule\n";
  for (const auto& a : m.atoms) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%-2s %14.8f %14.8f %14.8f\n", a.element == "D" ? "H" : a.element.c_str(), a.cartesian.x,
                  a.cartesian.y, a.cartesian.z);
    xyz << buf;
    electrons += gemmi::Element(a.element == "D" ? "H" : a.element).atomic_number();
  }
  write_atomically((folder / "molecule.xyz").string(), xyz.str());
  const std::string chrg = std::to_string(charge), uhf = std::to_string(((electrons % 2) + 2) % 2);
  const pid_t pid = ::fork();
  if (pid < 0) throw ConversionError(std::string("cannot run xtb: ") + std::strerror(errno));
  if (pid == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    const std::string log = (folder / "xtb.out").string();
    if (std::FILE* f = std::freopen(log.c_str(), "w", stdout)) ::dup2(::fileno(f), 2);
    ::setenv("OMP_NUM_THREADS", "1", 1);
    std::vector<const char*> argv{exe.c_str(), "molecule.xyz", "--gfn", "2", "--sp", "--chrg", chrg.c_str(), "--uhf", uhf.c_str(), nullptr};
    ::execv(exe.c_str(), const_cast<char* const*>(argv.data()));
    ::_exit(127);
  }
  int raw = 0;
  while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
  }
  std::ifstream in(folder / "charges");
  std::vector<double> q;
  for (double v; in >> v;) q.push_back(v);
  if (!WIFEXITED(raw) || WEXITSTATUS(raw) != 0 || q.size() != m.atoms.size()) {
    std::ifstream log(folder / "xtb.out");
    std::string line, last;
    while (std::getline(log, line))
      if (line.find("ERROR") != std::string::npos || line.find("abnormal") != std::string::npos) last = trimmed(line);
    throw ConversionError("xtb gave no charges for " + hill_formula(m.composition) + " (charge " + chrg + ")" +
                          (last.empty() ? "" : ": " + last));
  }
  return q;
}

std::string signed_charge(double q) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%+.3f", std::fabs(q) < 5e-4 ? 0.0 : q);
  return buf;
}

}  // namespace

std::vector<std::pair<Composition, int>> moiety_charges(const std::string& formula_moiety) {
  std::vector<std::pair<Composition, int>> list;
  static const std::regex charge(R"((\d*)([+-])$)");
  std::stringstream ss(formula_moiety);
  for (std::string part; std::getline(ss, part, ',');) {
    part = trimmed(part);
    const auto parsed = parse_formula(part);
    if (!parsed || parsed->size() != 1) continue;
    int q = 0;
    std::smatch m;
    const std::string last = part.substr(part.find_last_of(" )") == std::string::npos ? 0 : part.find_last_of(" )") + 1);
    if (std::regex_match(last, m, charge)) q = (m[1].length() ? std::stoi(m[1].str()) : 1) * (m[2] == "-" ? -1 : 1);
    list.emplace_back(parsed->front().composition, q);
  }
  return list;
}

std::vector<std::pair<std::string, double>> read_charge_file(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw ConversionError("cannot read the charge file " + path + ": " + std::strerror(errno));
  std::vector<std::pair<std::string, double>> list;
  int n = 0;
  for (std::string line; std::getline(in, line);) {
    ++n;
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string label, value, extra;
    if (!(words >> label)) continue;
    char* end = nullptr;
    words >> value;
    const double q = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !std::isfinite(q) || (words >> extra))
      throw ConversionError(path + " line " + std::to_string(n) + ": expected 'label charge', not '" + trimmed(line) + "'");
    list.emplace_back(label, q);
  }
  return list;
}

std::vector<std::string> assign_charges(Conversion& cv, const Options& o) {
  if (o.charges == "none") return {};
  const bool xtb = o.charges == "xtb";
  const std::string exe = xtb ? find_xtb() : "";
  const std::vector<UnitMolecule> molecules = unit_molecules(cv, o);
  std::map<std::string, std::size_t> site_of;
  for (std::size_t i = 0; i < cv.sites.size(); ++i) {
    site_of.emplace(cv.sites[i].label, i);
    site_of.emplace(cv.sites[i].cif.label, i);
  }
  std::vector<double> sum(cv.sites.size(), 0.0);
  std::vector<int> count(cv.sites.size(), 0);
  if (xtb) {
    for (const UnitMolecule& m : molecules) {
      const std::vector<double> q = xtb_charges(exe, m, formal_charge(m.composition, cv, o));
      // Symmetry-equivalent atoms of the molecule share one site: their mean.
      for (std::size_t k = 0; k < m.atoms.size(); ++k)
        if (const auto it = site_of.find(m.atoms[k].label); it != site_of.end()) sum[it->second] += q[k], ++count[it->second];
    }
  } else {
    for (const auto& [label, q] : read_charge_file(o.charges)) {
      const auto it = site_of.find(label);
      if (it == site_of.end()) throw ConversionError(o.charges + ": no written site has the label " + label);
      sum[it->second] = q;
      count[it->second] = 1;
    }
  }
  cv.charges.assign(cv.sites.size(), 0.0);
  std::string missing;
  for (std::size_t i = 0; i < cv.sites.size(); ++i) {
    if (count[i] == 0) missing += (missing.empty() ? "" : ", ") + cv.sites[i].label;
    else cv.charges[i] = sum[i] / count[i];
  }
  if (!missing.empty()) throw ConversionError("no charge for " + missing + (xtb ? "" : " in " + o.charges));

  std::vector<std::string> lines;
  lines.push_back("charges: " + (xtb ? std::string("xtb, GFN2-xTB single point per molecule") : "from " + o.charges));
  std::map<std::string, std::size_t> index;
  for (std::size_t i = 0; i < cv.sites.size(); ++i) index.emplace(cv.sites[i].label, i);
  for (const UnitMolecule& m : molecules) {
    double q = 0;
    for (const auto& a : m.atoms)
      if (const auto it = index.find(a.label); it != index.end()) q += cv.charges[it->second];
    std::string line = "  " + hill_formula(m.composition) + ": " + signed_charge(q);
    if (xtb) line += " (formal " + std::to_string(formal_charge(m.composition, cv, o)) + ")";
    lines.push_back(line);
  }
  // The cell: every site times the copies the operators make of it.
  double cell = 0;
  for (std::size_t i = 0; i < cv.sites.size(); ++i)
    cell += cv.charges[i] * static_cast<double>(cv.symmetry.ops.size()) / std::max(1, cv.sites[i].site_order);
  lines.push_back("  the cell: " + signed_charge(cell));
  if (std::fabs(cell) >= 0.01) lines.push_back("warning: the cell is not neutral (" + signed_charge(cell) + " e)");
  return lines;
}

}  // namespace orbicutter::cif
