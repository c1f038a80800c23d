// The writer of each output switch: the function that writes its file and, where
// it has one, its companion.
#pragma once

#include "model/output_switches.hpp"
#include "writers/view.hpp"

namespace orbicutter {

struct ProductWriter {
  void (*write)(const WriterInput& in, Unit& unit) = nullptr;
  void (*write_companion)(const WriterInput& in, Unit& unit) = nullptr;
};

ProductWriter writer_of(const OutputSwitch& p);

}  // namespace orbicutter
