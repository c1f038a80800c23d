// Labels: the program keeps the first 3 characters of a label, so longer or
// repeated ones would merge (H(8A) and H(8B) both become H(8). A CIF label that
// fits and is unique stays; so does one that fits once its brackets and other
// marks are taken out (C(12) as C12) while that is no label of the file; the
// others get the element symbol and a running code.
#include "cif/labels.hpp"

#include <cctype>
#include <map>
#include <set>

#include "cif/error.hpp"

namespace orbicutter::cif {
namespace {

const std::string digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Characters that the free-format reader takes as part of a text item:
// blanks, commas and slashes end an item, quotes start one, '*' marks repeats.
bool safe(const std::string& label) {
  if (label.empty() || label.size() > 3) return false;
  for (char c : label) {
    const auto u = static_cast<unsigned char>(c);
    if (!std::isalnum(u) && std::string("()[]-_+#^~.:;<>=@$%&|?").find(c) == std::string::npos) return false;
  }
  return true;
}

// The n-th code of `width` base-36 digits.
std::string code(long n, std::size_t width) {
  std::string s(width, '0');
  for (std::size_t i = width; i-- > 0; n /= 36) s[i] = digits[static_cast<std::size_t>(n % 36)];
  return s;
}

}  // namespace

std::vector<Renamed> assign_labels(std::vector<Site>& sites, const std::vector<std::string>& all_cif_labels) {
  std::map<std::string, int> uses;
  for (const Site& s : sites) ++uses[s.cif.label];
  std::set<std::string> taken(all_cif_labels.begin(), all_cif_labels.end());
  std::vector<Site*> rename;
  for (Site& s : sites) {
    if (safe(s.cif.label) && uses[s.cif.label] == 1)
      s.label = s.cif.label;
    else
      rename.push_back(&s);
  }
  // Per element a running code after the symbol; then for two-letter symbols
  // the capitalised form (CL1 for Cl), then any free 3-character code.
  std::map<std::string, long> next;
  long any = 0;
  std::vector<Renamed> renamed;
  for (Site* s : rename) {
    const std::string& e = s->element;
    std::string label;
    std::string plain;
    for (char c : s->cif.label)
      if (std::isalnum(static_cast<unsigned char>(c))) plain += c;
    if (safe(plain) && plain.rfind(e, 0) == 0 && !taken.count(plain)) label = plain;
    long& n = next[e];
    const std::string upper_e = e.size() == 2 ? std::string{e[0], static_cast<char>(std::toupper(static_cast<unsigned char>(e[1])))} : e;
    const long per_prefix = e.size() == 1 ? 36L * 36 : 36;
    const long blocks = e.size() == 2 ? 2 : 1;
    while (label.empty() && n < blocks * per_prefix) {
      const long block = n / per_prefix, idx = n % per_prefix;
      ++n;
      if (idx == 0) continue;  // codes start at 1: H01, Cl1
      const std::string candidate = (block == 0 ? e : upper_e) + code(idx, 3 - e.size());
      if (!taken.count(candidate)) label = candidate;
    }
    while (label.empty() && any < 36L * 36 * 36) {
      const std::string candidate = code(any++, 3);
      if (!taken.count(candidate)) label = candidate;
    }
    if (label.empty()) throw ConversionError("too many atom sites to give each a unique 3-character label");
    taken.insert(label);
    s->label = label;
    renamed.push_back({s->cif.label, label, s->cif.row});
  }
  return renamed;
}

}  // namespace orbicutter::cif
