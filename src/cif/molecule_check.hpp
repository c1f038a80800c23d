// The rebuilt molecules against the moiety formula of the CIF.
#pragma once

#include <string>
#include <vector>

#include "cif/formula.hpp"

namespace orbicutter::cif {

struct MoleculeCheck {
  bool compared = false;   // a moiety formula in element form was there
  std::vector<std::string> lines;     // what was rebuilt, and the verdict
  std::vector<std::string> warnings;  // one per mismatch
  int cut = 0, joined = 0;  // molecules that look cut in two, or bonded together
};

MoleculeCheck check_molecules(const std::string& moiety, const std::vector<Composition>& rebuilt);

}  // namespace orbicutter::cif
