// The converter in process: a CIF to the keyword input that orbicutter-cif
// writes for it, for programs that link the converter instead of running it.
#pragma once

#include <string>
#include <vector>

#include "cif/conversion.hpp"
#include "cif/keyword_input.hpp"
#include "cif/options.hpp"

namespace orbicutter::cif {

struct CifInput {
  std::string input_text;  // as orbicutter-cif writes it, byte for byte
  // The conversion's notes, then the lines on the central molecule, the
  // charges and the rings; its warnings (each one sentence, unwrapped).
  std::vector<std::string> notes, warnings;
  std::string system_name;  // the name orbicutter gives the run's files (NAME.xyz)
};

// Reads the CIF and converts the block that options.block names (the first
// with atom sites when empty) with options' centre, charges, site rules and
// keywords; options.cif_path, run and check are ignored. Throws
// ConversionError with the message orbicutter-cif would print.
CifInput cif_to_input(const std::string& cif_path, const Options& options);

// The steps shared with orbicutter-cif, in its order.
struct PreparedInput {
  Conversion cv;
  std::string centre;                  // the summary line on the central molecule
  std::vector<std::string> charges;    // the summary lines on the charges
};
// Conversion, the reader's check, the central molecule first, the charges.
PreparedInput prepare_input(const std::vector<CifBlock>& blocks, const Options& options);
// The rings for RING (with options.rings, from the library's molecules; throws
// ConversionError when they cannot be found); empty without.
RingList input_rings(const PreparedInput& prepared, const Options& options, const std::string& input_name);

// The file name the input is written to without -o: the CIF's name with .inp.
std::string default_output(const std::string& cif_path);

}  // namespace orbicutter::cif
