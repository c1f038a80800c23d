// The keyword input file: reader, symmetry-operator text and the input report.
#pragma once

#include <string>

#include "model/run.hpp"

namespace orbicutter {

// Reads the whole input file (its contents), fills the run's state, applies the
// end-of-input steps and writes the input report. Throws Error on bad input.
void readinp(Run& run, const std::string& contents);

// One operator in text form (at most 100 characters) into rotation and translation.
void readsymmop(const std::string& text, Mat3& rot, Vec3& trans);
// Upper-case A, X, Y, Z to lower case; anything else unchanged.
void big2small(char& c);
// The operator as text, 50 characters, blank-padded.
std::string writesymmop(const Mat3& rot, const Vec3& trans);
// The same for operator s of the run.
std::string writesymmop(const Run& run, int s);
// Translations near +-1/3 and +-2/3 set to the single-precision fractions.
void regularise_translations(Run& run);

}  // namespace orbicutter
