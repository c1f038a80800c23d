// Record and summary of a conversion.
#include "cif/report.hpp"

#include <cstdio>
#include <map>

#include "cif/keyword_input.hpp"

namespace orbicutter::cif {
namespace {

constexpr std::size_t width = 78;

std::string angstrom(double d) {
  char buf[32];
  if (d < 0.00005)
    return "<0.0001 A";
  std::snprintf(buf, sizeof buf, "%.4f A", d);
  return buf;
}

// "head: a, b, c" broken into lines of at most `width` characters (items are
// kept whole); with max_lines, the rest is counted instead of listed.
std::vector<std::string> listing(const std::string& head, const std::vector<std::string>& items,
                                 std::size_t max_lines = 0, const std::string& separator = ",") {
  std::vector<std::string> lines;
  std::string line = head + ":";
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string piece = " " + items[i] + (i + 1 < items.size() ? separator : "");
    const bool last_line = max_lines && lines.size() + 1 == max_lines;
    const std::size_t room = last_line && i + 1 < items.size() ? width - 28 : width;  // for the count
    if (line.size() + piece.size() > room && line.size() > head.size() + 1) {
      if (last_line) {
        line += " ... (" + std::to_string(items.size() - i) + " more in the input)";
        break;
      }
      lines.push_back(line);
      line = "   ";
    }
    line += piece;
  }
  lines.push_back(line);
  return lines;
}

// A sentence broken at blanks.
std::vector<std::string> wrapped(const std::string& head, const std::string& text, std::size_t max_lines = 0) {
  std::vector<std::string> words;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t q = text.find(' ', p);
    if (q == std::string::npos) q = text.size();
    if (q > p) words.push_back(text.substr(p, q - p));
    p = q + 1;
  }
  return listing(head, words, max_lines, "");
}

// Dropped sites grouped by reason, in order of first appearance.
std::vector<std::pair<std::string, std::vector<std::string>>> dropped_by_reason(const Conversion& cv) {
  std::vector<std::pair<std::string, std::vector<std::string>>> groups;
  for (const auto& d : cv.dropped) {
    auto g = groups.begin();
    while (g != groups.end() && g->first != d.reason) ++g;
    if (g == groups.end()) g = groups.insert(groups.end(), {d.reason, {}});
    g->second.push_back(d.label + (d.detail.empty() ? "" : " (" + d.detail + ")"));
  }
  return groups;
}

std::vector<std::string> moved_sites(const Conversion& cv) {
  std::vector<std::string> items;
  for (const auto& s : cv.sites)
    if (s.site_order > 1 && s.moved > 1e-9) items.push_back(s.cif.label + " " + angstrom(s.moved));
  return items;
}

std::string renaming(const Renamed& r, const Conversion& cv) {
  int uses = 0;
  for (const auto& s : cv.sites) uses += s.cif.label == r.from;
  return (r.from.empty() ? "?" : r.from) + (uses > 1 ? " (row " + std::to_string(r.row) + ")" : "") + " -> " + r.to;
}

std::string symmetry_line(const Conversion& cv) {
  const std::string& file = cv.hermann_mauguin;
  const std::string& known = cv.symmetry.name;
  std::string name = file.empty() ? known : known.empty() || known == file ? file : file + " (" + known + ")";
  if (name.empty()) name = "unnamed group";
  return name + ", " + std::to_string(cv.symmetry.ops.size()) + " operators from " + cv.symmetry.source;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& lines) { to.insert(to.end(), lines.begin(), lines.end()); }

}  // namespace

namespace {

// Texts from the CIF may hold line breaks (text fields); a comment line must
// stay one line, or what follows a break would be read as a keyword.
std::string one_line(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return s;
}

}  // namespace

std::vector<std::string> record_lines(const Conversion& cv) {
  std::vector<std::string> r;
  r.push_back("orbicutter input made by orbicutter-cif " ORBICUTTER_CIF_VERSION " from " + cv.cif_path);
  r.push_back("data block:     " + cv.block);
  if (!cv.formula_sum.empty()) r.push_back("formula sum:    " + cv.formula_sum);
  if (!cv.formula_moiety.empty()) r.push_back("formula moiety: " + cv.formula_moiety);
  r.push_back("space group:    " + symmetry_line(cv));
  if (!cv.z.empty()) r.push_back("Z:              " + cv.z);
  for (const auto& w : cv.warnings) append(r, wrapped("warning", w));
  for (const auto& n : cv.notes) append(r, wrapped("note", n));
  for (const auto& [reason, labels] : dropped_by_reason(cv)) append(r, listing("dropped, " + reason, labels));
  if (auto m = moved_sites(cv); !m.empty()) append(r, listing("moved onto special positions", m));
  for (const auto& x : cv.renamed) r.push_back("label " + renaming(x, cv));
  for (auto& line : r) line = one_line(line);
  return r;
}

std::string summary_text(const Conversion& cv, const std::string& written) {
  std::vector<std::string> l;
  l.push_back("orbicutter-cif: " + cv.cif_path + ", block " + cv.block + " -> " + written);
  l.push_back("  cell " + decimal(cv.cell.a) + " " + decimal(cv.cell.b) + " " + decimal(cv.cell.c) + " " +
              decimal(cv.cell.alpha) + " " + decimal(cv.cell.beta) + " " + decimal(cv.cell.gamma));
  l.push_back("  " + symmetry_line(cv));
  std::string formula = !cv.formula_moiety.empty() ? "moiety " + cv.formula_moiety
                        : !cv.formula_sum.empty()  ? "sum " + cv.formula_sum
                                                   : "none given";
  l.push_back("  formula " + formula + (cv.z.empty() ? "" : ", Z = " + cv.z));
  const std::size_t total = cv.sites.size() + cv.dropped.size();
  l.push_back("  " + std::to_string(total) + " atom sites: " + std::to_string(cv.sites.size()) + " written, " +
              std::to_string(cv.dropped.size()) + " dropped, " + std::to_string(moved_sites(cv).size()) + " moved, " +
              std::to_string(cv.renamed.size()) + " renamed");
  std::vector<std::string> body;
  for (const auto& w : cv.warnings) append(body, wrapped("  warning", w, 3));
  for (const auto& [reason, labels] : dropped_by_reason(cv)) append(body, listing("  dropped, " + reason, labels, 2));
  if (auto m = moved_sites(cv); !m.empty()) append(body, listing("  moved onto special positions", m, 2));
  if (!cv.renamed.empty()) {
    std::vector<std::string> items;
    for (const auto& x : cv.renamed) items.push_back(renaming(x, cv));
    append(body, listing("  renamed", items, 2));
  }
  // Notes last, as many as the screen leaves room for.
  const std::size_t room = 22 > l.size() + body.size() ? 22 - l.size() - body.size() : 0;
  std::size_t shown = 0;
  for (const auto& n : cv.notes) {
    auto lines = wrapped("  note", n, 2);
    if (shown + lines.size() > room) {
      body.push_back("  ... more notes in the input's comment lines");
      break;
    }
    append(body, lines);
    shown += lines.size();
  }
  append(l, body);
  std::string out;
  for (const auto& line : l) out += one_line(line) + '\n';
  return out;
}

}  // namespace orbicutter::cif
