// The one failure of the converter: a message for the single error line.
#pragma once

#include <stdexcept>
#include <string>

namespace orbicutter::cif {

struct ConversionError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace orbicutter::cif
