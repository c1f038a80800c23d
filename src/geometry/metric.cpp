// Crystal system of the cell and the MATRICES section of the log.
#include <array>
#include <cmath>
#include <string>

#include "format/log_forms.hpp"
#include "geometry/geometry.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

// Angles are compared in degrees, as the cell was given; the bounds are
// 4-byte constants like every tolerance of the program. The conversion back
// to degrees is made in 8 bytes: in 4 bytes a cell given with 120 degrees comes
// back as 120.000008, on the upper bound itself, and would name no system.
bool is_angle(real radians, float low, float high) {
  const double deg = static_cast<double>(radians) / static_cast<double>(degree);
  return deg > static_cast<double>(low) && deg < static_cast<double>(high);
}
bool is_90(real radians) { return is_angle(radians, 89.99999f, 90.00001f); }
bool is_120(real radians) { return is_angle(radians, 119.99999f, 120.00001f); }

// The first edge lies strictly within 1e-5 of the second.
bool same_edge(real first, real second) { return std::abs(first - second) < tiny; }

void matrix_rows(Unit& log, const Mat3& m) {
  for (int i = 1; i <= 3; ++i) log.write("(A,3F10.4,A)", " [ ", m(i, 1), m(i, 2), m(i, 3), " ]");
}

}  // namespace

std::string crystal_system(const Geometry& geo) {
  const bool a90 = is_90(geo.alpha), b90 = is_90(geo.beta), g90 = is_90(geo.gamma);
  const bool ab = same_edge(geo.a, geo.b);

  if (is_120(geo.gamma)) {
    // A hexagonal gamma with other angles off 90 names no system.
    if (a90 && b90) return "trigonal / hexagonal (hexagonal setting)";
    return "";
  }
  if (!a90 && !b90 && !g90) {
    return ab ? "trigonal (rhombohedral setting)" : "triclinic";
  } else if (a90 && g90 && !b90) {
    return "monoclinic";
  } else if (a90 && b90 && g90) {
    if (!ab) return "orthorhombic";
    if (same_edge(geo.c, geo.a) && same_edge(geo.c, geo.b)) return "cubic";
    return "tetragonal";
  }
  // Any other combination of right angles (a unique axis other than b) names no system.
  return "";
}

void check_cell_edges(const Run& run) {
  const auto& geo = run.geo;
  const char* names[3] = {"a", "b", "c"};
  const real edges[3] = {geo.a, geo.b, geo.c};
  for (int i = 0; i < 3; ++i) {
    if (!(edges[i] < min_cell_edge)) continue;
    const std::string value = trim(format_record("(F12.4)", std::array<Value, 1>{Value(edges[i])}));
    fail_input({std::string(" --> Cell edge ") + names[i] + " = " + value + " A is shorter than any bond <--",
                " --> every atom would lie that close to its own copy: check CELL <--"});
  }
}

void write_matrices(Unit& log, const Geometry& geo) {
  log.write("(A)", " ** MATRICES **");
  log.write("(A)", rule_line);
  log.write("(A)", " Ortogonalization matrix (MT):");
  matrix_rows(log, geo.mt);
  log.write("(A)", rule_line);
  log.write("(A)", " Metric matrix (G):");
  matrix_rows(log, geo.g);
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
