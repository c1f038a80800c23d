// Advice from the check run.
#include "cif/check_advice.hpp"

#include <cmath>
#include <sstream>

#include "cif/census.hpp"
#include "cif/keyword_input.hpp"

namespace orbicutter::cif {
namespace {

// The fragment that the run was completing when it stopped: the last one its log names.
std::string last_fragment(const std::string& log) {
  const std::string tag = " Fragment number = ";
  const std::size_t at = log.rfind(tag);
  if (at == std::string::npos) return "";
  std::istringstream in(log.substr(at + tag.size()));
  int n = 0;
  return in >> n ? std::to_string(n) : "";
}

// The moiety formula agrees with the molecules of a trial run with these options.
bool agrees(const Conversion& cv, const Options& o, const std::string& program, const std::string& input_name) {
  const ProgramRun r = trial_run(program, keyword_input(cv, o), input_name);
  return r.status == 0 && check_molecules(cv.formula_moiety, rebuilt_molecules(r.log)).warnings.empty();
}

}  // namespace

std::string growth_failure(const ProgramRun& run, const Options& options) {
  if (run.out.find("Too many atoms generated") == std::string::npos) return "";
  const std::string n = last_fragment(run.log);
  (void)options;
  return "not a molecular crystal: fragment " + (n.empty() ? std::string("?") : n) +
         " grows without end (a coordination polymer or framework); if molecules are joined only through long "
         "contacts, a lower bond tolerance (--tols) may part them";
}

std::string tolerance_advice(const Conversion& cv, const Options& o, const std::string& program,
                             const std::string& input_name, const MoleculeCheck& check) {
  if (!check.compared || (check.cut == 0 && check.joined == 0)) return "";
  const std::vector<double> now = o.tols ? *o.tols : std::vector<double>{default_bond_tolerance, 0.1, 0.08, 0};
  // Pieces: larger tolerances, up to what joins hydrogen bonds; molecules
  // joined: smaller ones. Steps of 0.05.
  const bool raise = check.cut > 0 && check.joined == 0;
  for (int step = 1; step <= 10; ++step) {
    const double t = now[0] + (raise ? 0.05 : -0.05) * step;
    if (t < 0 || t > 0.6 + 1e-9) break;
    Options trial = o;
    trial.tols = now;
    (*trial.tols)[0] = std::round(t * 100) / 100;
    if (agrees(cv, trial, program, input_name))
      return "with the bond tolerance " + decimal((*trial.tols)[0]) + " the molecules agree with the moiety formula: --tols " +
             decimal((*trial.tols)[0]) + " " + decimal(now[1]) + " " + decimal(now[2]) + " " + decimal(now[3]);
  }
  return std::string("no bond tolerance ") + (raise ? "up to 0.6" : "down to 0") +
         " makes the molecules agree with the moiety formula: the tolerance is not the cause";
}

}  // namespace orbicutter::cif
