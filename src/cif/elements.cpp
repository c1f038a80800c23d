// Element symbols with gemmi's element table: type symbols lose their charge
// or oxidation suffix ("O2-", "Fe3+"); labels give their leading letters.
#include "cif/elements.hpp"

#include <gemmi/elem.hpp>

#include <cctype>

#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

// The proper symbol ("Cl") of letters in any case ("CL", "cl"), "" when none.
std::string element_symbol(const std::string& letters) {
  if (letters.empty() || letters.size() > 2) return "";
  const gemmi::Element e(letters);
  if (e == gemmi::El::X) return "";
  const std::string name = e.name();
  if (name.size() != letters.size()) return "";
  return name;
}

std::string leading_letters(const std::string& s) {
  std::size_t n = 0;
  while (n < s.size() && std::isalpha(static_cast<unsigned char>(s[n]))) ++n;
  return s.substr(0, n);
}

bool is_dummy_type(const std::string& letters) {
  const std::string u = upper(letters);
  return u == "Q" || u == "DUM";
}

}  // namespace

SiteElement site_element(const std::string& type_symbol, const std::string& label, const std::set<std::string>& known) {
  SiteElement r;
  if (!type_symbol.empty()) {
    // Letters, then an optional charge: "Fe3+", "O2-", "Na+", "Cl1-".
    const std::string letters = leading_letters(type_symbol);
    std::string rest = type_symbol.substr(letters.size());
    bool charge_only = true;
    for (char c : rest)
      if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-') charge_only = false;
    if (is_dummy_type(letters) && charge_only) {
      r.dummy = true;
      return r;
    }
    if (charge_only) r.symbol = element_symbol(letters);
    if (!r.symbol.empty()) return r;
  }
  r.from_label = true;
  const std::string letters = leading_letters(label);
  if (letters.empty()) return r;
  if (is_dummy_type(letters)) {
    r.dummy = true;
    return r;
  }
  const std::string one = element_symbol(letters.substr(0, 1));
  const std::string two = letters.size() >= 2 ? element_symbol(letters.substr(0, 2)) : "";
  const bool after_h = std::toupper(static_cast<unsigned char>(letters[0])) == 'H';
  if (one.empty() || two.empty())
    r.symbol = two.empty() ? one : two;
  else if (std::islower(static_cast<unsigned char>(letters[1])))
    r.symbol = two;  // "Cl1", "Na"
  else if (known.count(two))
    r.symbol = two;
  else if (known.count(one))
    r.symbol = one;
  else
    r.symbol = after_h ? one : two;
  return r;
}

}  // namespace orbicutter::cif
