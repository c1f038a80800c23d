// The symmetry operators of the generated input, from the CIF's operator list
// or its space-group symbols, with the identity first.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cif/cif_reader.hpp"

namespace orbicutter::cif {

// A symmetry operator; translations in 24ths of the cell edges, in [0, 24).
struct SymOp {
  std::array<std::array<int, 3>, 3> rot{};
  std::array<int, 3> tran{};
};

using Frac = std::array<double, 3>;

// The image of a fractional position under op (untranslated by whole cells).
inline Frac image(const SymOp& op, const Frac& f) {
  Frac r{};
  for (int i = 0; i < 3; ++i)
    r[i] = op.rot[i][0] * f[0] + op.rot[i][1] * f[1] + op.rot[i][2] * f[2] + op.tran[i] / 24.0;
  return r;
}

struct Symmetry {
  std::vector<SymOp> ops;  // ops[0] is the identity
  std::string source;      // where they came from, for the summary
  std::string name;        // a space-group name, "" when none is known
  bool text_form = true;   // every translation has a text form in the input
  std::vector<std::string> notes, warnings;
  // The group of the symbols when the operator list differs from it; the
  // formula decides between them (choose_by_content).
  std::vector<SymOp> other_ops;
  std::string other_source, other_name;
};

// Throws ConversionError when no source gives a usable group.
Symmetry choose_symmetry(const CifBlock& block);

// "-x+1/2, y+1/2, -z" (only for text_form operators).
std::string operator_text(const SymOp& op);

}  // namespace orbicutter::cif
