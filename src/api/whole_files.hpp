// Files the library writes for its caller: all complete, or none changed.
#pragma once

#include <string>
#include <vector>

namespace orbicutter {

// Writes texts[k] to names[k], each through a temporary file beside it renamed
// over it once every text is written. Throws Error (and leaves the files as they
// were) when a name is the input file or a folder, or a file cannot be written.
void write_files(const std::string& input, const std::vector<std::string>& names, const std::vector<std::string>& texts);

}  // namespace orbicutter
