// Advice from the molecule check.
#include "cif/check_advice.hpp"

#include <cmath>
#include <set>

#include "cif/keyword_input.hpp"

namespace orbicutter::cif {
namespace {

// Every element but the non-metals and metalloids that the program's MTOL rule names.
bool is_metal(const std::string& element) {
  static const std::set<std::string> others{"H",  "D",  "B",  "C",  "N",  "O",  "F",  "Si", "P",  "S",  "Cl", "Ge",
                                            "As", "Se", "Br", "Te", "I",  "He", "Ne", "Ar", "Kr", "Xe", "Rn"};
  return !others.count(element);
}

// The moiety formula agrees with the molecules of a trial with these options.
bool agrees(const Conversion& cv, const Options& o, const std::string& input_name) {
  const MoleculeTrial r = molecule_trial(keyword_input(cv, o), input_name);
  return !r.stopped && check_molecules(cv.formula_moiety, compositions(r.molecules)).warnings.empty();
}

bool has_metal(const Conversion& cv) {
  for (const auto& s : cv.sites)
    if (is_metal(s.element)) return true;
  return false;
}

}  // namespace

std::string growth_failure(const MoleculeTrial& run, const Conversion& cv, const Options& o,
                           const std::string& input_name) {
  if (run.growing_fragment <= 0) return "";
  const std::string head = "not a molecular crystal: fragment " + std::to_string(run.growing_fragment) +
                           " grows without end (a coordination polymer or framework)";
  const double bond = o.tols ? (*o.tols)[0] : default_bond_tolerance, metal = o.mtol.value_or(default_metal_tolerance);
  if (!has_metal(cv) || metal <= bond) return head;
  // Molecules joined only through long metal contacts part at a lower MTOL.
  for (double t = metal - 0.05; t > bond - 1e-9; t -= 0.05) {
    Options trial = o;
    trial.mtol = std::round(t * 100) / 100;
    const MoleculeTrial r = molecule_trial(keyword_input(cv, trial), input_name);
    if (!r.stopped)
      return head + "; with --mtol " + decimal(*trial.mtol) + " its metal contacts leave finite molecules";
  }
  return head + "; no lower MTOL (down to the bond tolerance " + decimal(bond) + ") parts it";
}

std::string tolerance_advice(const Conversion& cv, const Options& o, const std::string& input_name,
                             const MoleculeCheck& check) {
  if (!check.compared || (check.cut == 0 && check.joined == 0)) return "";
  const std::vector<double> tols = o.tols ? *o.tols : std::vector<double>{default_bond_tolerance, 0.1, 0.08, 0};
  const double mtol = o.mtol.value_or(default_metal_tolerance);
  // Pieces: larger tolerances, up to what joins hydrogen bonds (0.6);
  // molecules joined: smaller ones, down to 0. Steps of 0.05, the metal
  // tolerance first where there are metals.
  const bool raise = check.cut > 0 && check.joined == 0;
  for (const bool metal : {true, false}) {
    if (metal && !has_metal(cv)) continue;
    const double now = metal ? mtol : tols[0];
    for (int step = 1; step <= 12; ++step) {
      const double t = std::round((now + (raise ? 0.05 : -0.05) * step) * 100) / 100;
      if (t < 0 || t > 0.6 + 1e-9) break;
      Options trial = o;
      trial.tols = tols;
      trial.mtol = mtol;
      if (metal)
        trial.mtol = t;
      else
        (*trial.tols)[0] = t;
      if (!agrees(cv, trial, input_name)) continue;
      if (metal) return "with the metal bond tolerance " + decimal(t) + " the molecules agree with the moiety formula: --mtol " + decimal(t);
      return "with the bond tolerance " + decimal(t) + " the molecules agree with the moiety formula: --tols " + decimal(t) + " " +
             decimal(tols[1]) + " " + decimal(tols[2]) + " " + decimal(tols[3]);
    }
  }
  return std::string("no bond tolerance ") + (raise ? "up to 0.6" : "down to 0") +
         " makes the molecules agree with the moiety formula: the tolerance is not the cause";
}

}  // namespace orbicutter::cif
