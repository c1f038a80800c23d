// The checks at the end of reading: what cannot describe a crystal stops the
// run with the reader's box; what only looks wrong is a warning after the
// input report, and the run goes on unchanged.
#pragma once

#include <string>
#include <vector>

#include "model/run.hpp"

namespace orbicutter {

// Fractional coordinates (atoms, the fixed centre), translations and cell edges
// beyond these describe no crystal; they would only print as asterisks.
inline constexpr real max_fraction = 1000;
inline constexpr real max_edge = 10000;

// A line the reader passed over although it looks like input.
struct SkippedLine {
  std::size_t number;  // from 1
  std::string text;    // as quoted_line gives it
  std::string reason;  // as lookalike_reason gives it
};
// The first of them as the warning names them, and how many there are.
struct SkippedLines {
  static constexpr std::size_t named = 10;
  std::vector<SkippedLine> first;
  std::size_t count = 0;
};

// Stops the run when a rotation does not keep the cell's lengths and angles
// (R^T G R differs from G by more than 1e-3 of G's largest element, or the
// determinant is not +-1): such an operation cannot be a symmetry of the crystal.
void check_operator_metric(const Run& run);

// Control characters in atom names (a NUL, a stray escape) become ?, so that
// every output shows the same printable name. The atoms changed, by number.
std::vector<int> clean_atom_names(Run& run);

// The warning naming the passed-over lines that look like input; also written
// before the box of a file that lacks atoms, cell or operators, which such a
// line (`cell 10 ...`) may explain.
void warn_skipped_lines(Run& run, const SkippedLines& skipped);

// The reader's warnings, in this order: lines passed over, operation 1 not the
// identity (or no identity at all), operations not closed under composition,
// atom names changed, every atom overlapping another, values too large for the
// fields of the output files asked for, and DMAX 0 for a cluster.
void input_warnings(Run& run, const SkippedLines& skipped, const std::vector<int>& renamed);

// The first line of the warning on operations that are not closed under
// composition; the next line names the missing products.
inline constexpr const char* operations_not_closed = "The symmetry operations are not closed: products of them are not listed";

// The operator warnings alone (part of input_warnings).
void operator_warnings(Run& run);

}  // namespace orbicutter
