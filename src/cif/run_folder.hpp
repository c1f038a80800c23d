// The full run of --run: orbicutter started on the written input, so that its
// files and log are those of a run by hand. One folder per structure: a --run
// without -o puts the input and every file of the run into NAME/ beside the
// CIF (or -d DIR), and nothing of another structure or of a failed run mixes in.
#pragma once

#include <string>
#include <vector>

#include "cif/options.hpp"

namespace orbicutter::cif {

struct ProgramRun {
  int status = -1;  // exit status; -1 when it did not end normally
  std::string out;  // its standard output and error
  std::string log_path;
};

// orbicutter next to this program, else on PATH; throws ConversionError when
// there is none.
std::string find_orbicutter();

// Runs `exe input_name` inside `folder`, where its products go.
ProgramRun run_orbicutter(const std::string& exe, const std::string& folder, const std::string& input_name);

// The run log's name: the input's file name up to its first '.', with ".out".
std::string log_name(const std::string& input_name);

// True when the run goes to a folder of its own (--run without -o).
bool folder_run(const Options& options);

// The input's path in that folder: DIR/NAME.inp. Throws ConversionError when
// the folder holds another structure's input.
std::string folder_input(const Options& options);

// Runs `exe` on `text` in a scratch folder beside the target and, when it
// succeeds, moves every file into the target folder, removing the dimer files
// an earlier run left there that this run did not write. A failed run leaves
// the target as it was and its files in the scratch folder (named in
// `kept`); `r.status` says which.
ProgramRun run_in_folder(const std::string& exe, const std::string& input_path, const std::string& text,
                         std::string& kept);

// The summary's lines of the dimers, as the library finds them for `text`.
std::vector<std::string> dimer_lines(const std::string& text);

}  // namespace orbicutter::cif
