// One folder per structure: a --run without -o puts the input and every file
// of the run into NAME/ beside the CIF (or -d DIR), and nothing of another
// structure or of a failed run mixes in.
#pragma once

#include <string>
#include <vector>

#include "cif/options.hpp"
#include "cif/program_run.hpp"

namespace orbicutter::cif {

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
