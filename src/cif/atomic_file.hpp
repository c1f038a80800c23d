// Writing a file so that it is either complete or absent.
#pragma once

#include <string>

namespace orbicutter::cif {

// Writes `text` to a temporary file in the target's folder and renames it to
// `path` at the end; throws ConversionError and leaves nothing behind on failure.
// An existing link, device or pipe is written through instead, and stays.
void write_atomically(const std::string& path, const std::string& text);

}  // namespace orbicutter::cif
