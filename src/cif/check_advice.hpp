// What the check's failures and mismatches mean for the user: a fragment that
// grows without end, and the bond tolerance that would rebuild the moiety
// formula (found by trying it, so that only advice that works is given).
#pragma once

#include <string>

#include "cif/conversion.hpp"
#include "cif/molecule_check.hpp"
#include "cif/molecule_trial.hpp"
#include "cif/options.hpp"

namespace orbicutter::cif {

// "not a molecular crystal: fragment N grows without end (...)" for a trial
// that stopped at the library's limit for a growing fragment; "" for any other.
// With a metal among the sites, trials with a lower MTOL find the value that
// parts the fragment, named in the message.
std::string growth_failure(const MoleculeTrial& trial, const Conversion& cv, const Options& options,
                           const std::string& input_name);

// A line naming the bond tolerance with which the molecules agree with the
// moiety formula, or saying that none does; "" when the check found nothing
// that a tolerance decides.
std::string tolerance_advice(const Conversion& cv, const Options& options, const std::string& input_name,
                             const MoleculeCheck& check);

}  // namespace orbicutter::cif
