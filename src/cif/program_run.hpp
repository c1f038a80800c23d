// Running orbicutter on a generated input.
#pragma once

#include <string>

namespace orbicutter::cif {

struct ProgramRun {
  int status = -1;      // exit status; -1 when it did not end normally
  std::string out;      // its standard output and error
  std::string log;      // its run log, "" when it wrote none
  std::string log_path;
};

// orbicutter next to this program, else on PATH; throws ConversionError when
// there is none.
std::string find_orbicutter();

// Runs `exe input_name` inside `folder`, where its products go.
ProgramRun run_orbicutter(const std::string& exe, const std::string& folder, const std::string& input_name);

// A test-mode run (it stops once the molecules are rebuilt) of `input` saved as
// `input_name` in a scratch folder, which is removed afterwards.
ProgramRun trial_run(const std::string& exe, const std::string& input, const std::string& input_name);

// The run log's name: the input's file name up to its first '.', with ".out".
std::string log_name(const std::string& input_name);

}  // namespace orbicutter::cif
