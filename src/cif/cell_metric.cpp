// Metric tensor G of the cell; an operator with rotation R keeps it when
// R^T G R = G. The average of R^T G R over the group is the nearest metric
// the group keeps.
#include "cif/cell_metric.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cif/error.hpp"

namespace orbicutter::cif {
namespace {

using Mat = std::array<std::array<double, 3>, 3>;
constexpr double rad = 3.14159265358979323846 / 180;

// A cell that misses the group's metric by up to this much is refined without
// constraints; by more, the cell or the group is wrong.
constexpr double length_slack = 0.005;  // relative
constexpr double angle_slack = 0.5;     // degrees

Mat metric(const Cell& c) {
  const double ca = std::cos(c.alpha * rad), cb = std::cos(c.beta * rad), cg = std::cos(c.gamma * rad);
  return {{{c.a * c.a, c.a * c.b * cg, c.a * c.c * cb}, {c.a * c.b * cg, c.b * c.b, c.b * c.c * ca}, {c.a * c.c * cb, c.b * c.c * ca, c.c * c.c}}};
}

Cell cell_of(const Mat& g) {
  Cell c;
  c.a = std::sqrt(g[0][0]), c.b = std::sqrt(g[1][1]), c.c = std::sqrt(g[2][2]);
  c.alpha = std::acos(g[1][2] / (c.b * c.c)) / rad;
  c.beta = std::acos(g[0][2] / (c.a * c.c)) / rad;
  c.gamma = std::acos(g[0][1] / (c.a * c.b)) / rad;
  return c;
}

// P^T G P.
Mat transformed(const Mat& g, const Mat& p) {
  Mat r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l) r[i][j] += p[k][i] * g[k][l] * p[l][j];
  return r;
}

Mat averaged(const Mat& g, const std::vector<SymOp>& ops) {
  Mat sum{};
  for (const auto& op : ops) {
    Mat r{};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) r[i][j] = op.rot[i][j];
    const Mat t = transformed(g, r);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) sum[i][j] += t[i][j] / static_cast<double>(ops.size());
  }
  return sum;
}

const char* names[] = {"a", "b", "c", "alpha", "beta", "gamma"};

std::array<double, 6> values(const Cell& c) { return {c.a, c.b, c.c, c.alpha, c.beta, c.gamma}; }

std::string fixed(double v, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// The parameter that misses most, as a fraction of its slack.
struct Miss {
  int which = 0;
  double by = 0;  // in slacks
};

Miss worst(const Cell& given, const Cell& kept) {
  Miss m;
  const auto g = values(given), k = values(kept);
  for (int i = 0; i < 6; ++i) {
    const double by = i < 3 ? std::fabs(g[i] - k[i]) / k[i] / length_slack : std::fabs(g[i] - k[i]) / angle_slack;
    if (by > m.by) m = {i, by};
  }
  return m;
}

// The value as the decimals print it, so that the input shows 14.229, not 14.229000000000001.
double round_to(double v, int decimals) { return std::strtod(fixed(v, decimals).c_str(), nullptr); }

// Conventional axes of a centred lattice in terms of its usual primitive cell.
struct Centring {
  char letter;
  int multiple;
  Mat p;  // columns: the conventional axes
};
const Centring centrings[] = {
    {'F', 4, {{{-1, 1, 1}, {1, -1, 1}, {1, 1, -1}}}},
    {'I', 2, {{{0, 1, 1}, {1, 0, 1}, {1, 1, 0}}}},
    {'C', 2, {{{1, -1, 0}, {1, 1, 0}, {0, 0, 1}}}},
};

bool centred(const std::vector<SymOp>& ops) {
  for (const auto& op : ops)
    if (op.rot == std::array<std::array<int, 3>, 3>{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}} && op.tran != std::array<int, 3>{0, 0, 0})
      return true;
  return false;
}

}  // namespace

Cell fitted_cell(const Cell& cell, const Symmetry& symmetry, std::vector<std::string>& notes) {
  const Cell kept = cell_of(averaged(metric(cell), symmetry.ops));
  const Miss miss = worst(cell, kept);
  // Below a ten-thousandth of the slack the difference is the rounding of the file.
  if (miss.by < 1e-4) return cell;
  const std::string group = symmetry.name.empty() ? "the group of " + symmetry.source : symmetry.name;
  const auto g = values(cell), k = values(kept);
  if (miss.by > 1) {
    std::string cause;
    if (centred(symmetry.ops))
      for (const auto& c : centrings) {
        const Cell conventional = cell_of(transformed(metric(cell), c.p));
        if (worst(conventional, cell_of(averaged(metric(conventional), symmetry.ops))).by <= 1) {
          cause = ": the cell is the primitive cell of " + std::string(c.letter == 'C' ? "a " : "an ") + c.letter + "-centred lattice, and " + group +
                  " needs the centred cell (" + std::to_string(c.multiple) + " times the volume: a " + fixed(conventional.a, 4) +
                  ", b " + fixed(conventional.b, 4) + ", c " + fixed(conventional.c, 4) + ", alpha " + fixed(conventional.alpha, 2) +
                  ", beta " + fixed(conventional.beta, 2) + ", gamma " + fixed(conventional.gamma, 2) + ")";
          break;
        }
      }
    if (cause.empty()) {
      // Parameters that the group makes equal (a and b of a trigonal cell) are named together.
      const int i = miss.which, digits = i < 3 ? 4 : 2;
      std::string equal;
      for (int j = i < 3 ? 0 : 3; j < (i < 3 ? 3 : 6); ++j)
        if (j != i && std::fabs(k[j] - k[i]) < 1e-9 * k[i] && std::fabs(g[j] - g[i]) > 1e-9 * k[i])
          equal += " and " + std::string(names[j]) + " " + fixed(g[j], digits);
      cause = ": " + std::string(names[i]) + " " + fixed(g[i], digits) + equal +
              (equal.empty() ? ", where " + group + " needs " + fixed(k[i], digits) : ", which " + group + " makes equal") + " (" +
              fixed(k[i], digits) + " on average)" +
              "; check the cell and the space group";
    }
    throw ConversionError("the cell does not keep the symmetry of " + group + cause);
  }
  Cell out = kept;
  out.a = round_to(kept.a, 5), out.b = round_to(kept.b, 5), out.c = round_to(kept.c, 5);
  out.alpha = round_to(kept.alpha, 4), out.beta = round_to(kept.beta, 4), out.gamma = round_to(kept.gamma, 4);
  std::string change;
  const auto o = values(out);
  for (int i = 0; i < 6; ++i)
    if (std::fabs(g[i] - o[i]) > (i < 3 ? 1e-6 : 1e-5))
      change += (change.empty() ? "" : ", ") + std::string(names[i]) + " " + fixed(g[i], i < 3 ? 4 : 3) + " -> " +
                fixed(o[i], i < 3 ? 4 : 3);
  if (change.empty()) return cell;
  notes.push_back("cell fitted to the symmetry of " + group + ": " + change);
  return out;
}

}  // namespace orbicutter::cif
