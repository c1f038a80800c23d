// The converter's output options, one per program in the library's table of
// writers, so a new writer is an option here without a second list.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace orbicutter::cif {

// Chosen files by option name ("xyz" -> "extended", "orca" -> ""): a form, ""
// for a program with one file, "none" for a file switched off.
using OutputChoice = std::map<std::string, std::string>;

// The default: the extended XYZ, which structure readers take by element.
OutputChoice default_outputs();

// True when `name` ("--orca", "--xyz") is an output option; `value` is its
// argument when the writer has forms. Throws ConversionError on a bad form.
bool is_output_option(const std::string& name);
bool output_takes_value(const std::string& name);
void choose_output(OutputChoice& choice, const std::string& name, const std::string& value);

// The keyword lines of the chosen files, in the table's order.
std::vector<std::string> output_keywords(const OutputChoice& choice);

// The --help lines of the output options.
std::string output_help();

}  // namespace orbicutter::cif
