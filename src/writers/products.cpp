// Each output program to the writer of its file.
#include "writers/products.hpp"

#include "writers/writers.hpp"

namespace orbicutter {

ProductWriter writer_of(const OutputSwitch& p) {
  switch (p.program) {
    case OutputProgram::xyz: return {writexyz};
    case OutputProgram::extended_xyz: return {write_extended_xyz};
    case OutputProgram::res: return {writeres};
    case OutputProgram::adf: return {writeadf};
    case OutputProgram::gaussian: return {writegaussian};
    case OutputProgram::orca: return {write_orca, write_orca_point_charges};
    case OutputProgram::crystal: return {writecrystal};
  }
  return {};
}

}  // namespace orbicutter
