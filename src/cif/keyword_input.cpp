// The keyword input: comment lines that say where everything came from and what
// was changed, then CELL, SYMM, NFRG with one block for the asymmetric unit, and
// the option keywords.
#include "cif/keyword_input.hpp"

#include <charconv>
#include <cstdio>
#include <sstream>

#include "cif/report.hpp"

namespace orbicutter::cif {

std::string decimal(double v) {
  if (v == 0) return "0";  // also for -0
  char buf[32];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, p);
}

std::string default_tolerances_text() { return decimal(default_bond_tolerance) + " 0.1 0.08 0"; }

std::string keyword_input(const Conversion& cv, const Options& o, const RingList& rings) {
  std::ostringstream s;
  for (const auto& line : record_lines(cv)) s << "! " << line << '\n';

  s << "CELL " << decimal(cv.cell.a) << ' ' << decimal(cv.cell.b) << ' ' << decimal(cv.cell.c) << ' '
    << decimal(cv.cell.alpha) << ' ' << decimal(cv.cell.beta) << ' ' << decimal(cv.cell.gamma) << '\n';
  const auto& ops = cv.symmetry.ops;
  s << "SYMM " << ops.size() << (cv.symmetry.text_form ? " 0" : " 1") << '\n';
  for (const auto& op : ops) {
    if (cv.symmetry.text_form) {
      s << operator_text(op) << '\n';
      continue;
    }
    for (int i = 0; i < 3; ++i) s << (i ? "  " : "") << op.rot[i][0] << ' ' << op.rot[i][1] << ' ' << op.rot[i][2];
    s << '\n' << decimal(op.tran[0] / 24.0) << ' ' << decimal(op.tran[1] / 24.0) << ' ' << decimal(op.tran[2] / 24.0) << '\n';
  }
  const bool charged = cv.charges.size() == cv.sites.size() && !cv.sites.empty();
  if (charged) s << "CHRG 1\n";  // before NFRG: the atom lines carry them
  s << "NFRG " << cv.sites.size() << " 1\n";
  s << "ASYM 1 " << cv.sites.size() << '\n';
  for (std::size_t i = 0; i < cv.sites.size(); ++i) {
    const Site& site = cv.sites[i];
    char buf[200];
    std::snprintf(buf, sizeof buf, "%-2s %-3s %10s %10s %10s", site.element.c_str(), site.label.c_str(),
                  decimal(site.fract[0]).c_str(), decimal(site.fract[1]).c_str(), decimal(site.fract[2]).c_str());
    s << buf;
    if (charged) {
      std::snprintf(buf, sizeof buf, " %9.5f", cv.charges[i]);
      s << buf;
    }
    s << '\n';
  }

  // Whole molecules: shift, complete and search the fragments.
  s << "FRGM 1 1 1\n";
  if (o.tols)
    s << "TOLS " << decimal((*o.tols)[0]) << ' ' << decimal((*o.tols)[1]) << ' ' << decimal((*o.tols)[2]) << ' '
      << decimal((*o.tols)[3]) << '\n';
  else
    s << "TOLS " << default_tolerances_text() << '\n';
  s << "MTOL " << decimal(o.mtol.value_or(default_metal_tolerance)) << '\n';
  s << "DMAX " << decimal(o.dmax) << '\n';
  if (o.method) s << "CLUS " << o.method << '\n';
  if (o.dimers) s << "DIMR 1\n";
  for (const std::string& line : output_keywords(o.outputs)) s << line << '\n';
  if (!rings.empty()) {
    s << "RING 1 " << rings.size();
    for (const auto& r : rings) s << ' ' << r.size();
    s << '\n';
    for (const auto& r : rings) {
      for (std::size_t i = 0; i < r.size(); ++i) s << (i ? " " : "") << r[i];
      s << '\n';
    }
    if (o.nics) s << "NICS 1 " << decimal(o.nics->first) << ' ' << o.nics->second << '\n';
  }
  if (o.no_xh) s << "STXH 0\n";
  if (o.verbose) s << "VERB " << *o.verbose << '\n';
  if (o.test) s << "TEST 1\n";
  for (const auto& k : o.keywords) s << k << '\n';
  return s.str();
}

}  // namespace orbicutter::cif
