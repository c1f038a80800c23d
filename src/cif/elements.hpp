// The element of an atom site, from its type symbol or its label.
#pragma once

#include <set>
#include <string>

namespace orbicutter::cif {

struct SiteElement {
  std::string symbol;       // "C", "Cl", "D"; "" when none can be told
  bool from_label = false;  // the type symbol was absent or not an element
  bool dummy = false;       // a dummy site (type Q or DUM)
};

// `known` holds the elements of the formula sum; it decides labels such as
// HO1 (hydrogen, not holmium) or CL1 (chlorine). Without it a second capital
// letter joins the first, except after H.
SiteElement site_element(const std::string& type_symbol, const std::string& label, const std::set<std::string>& known);

}  // namespace orbicutter::cif
