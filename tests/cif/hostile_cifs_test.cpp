// Files made to break the converter: each ends within 2 s with one error line that
// names its cause, or with an input orbicutter reads; and the limits the converter
// shares with orbicutter, at their edges.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "cif/cif_run.hpp"

namespace orbicutter::cif::testing {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostileCifs, EachEndsWithinTwoSecondsWithOneLineOrAnInput) {
  struct Case {
    const char* file;
    int status;
    const char* message;  // the start of the error after "orbicutter-cif: error: "
  };
  const Case cases[] = {
      {"triplet-overflow.cif", 1, "no usable symmetry: the operator list is unusable: operator 2 '-x+99999999999999999999,-y,-z' has a number of more than 4 digits"},
      {"hall-oob.cif", 1, "no usable symmetry: Hall symbol 'P 3 21' not understood (not a tabulated Hall symbol)"},
      {"hall-oob-min.cif", 1, "no usable symmetry: Hall symbol 'P 2'1' not understood (not a tabulated Hall symbol)"},
      {"hall-cob-dos.cif", 1, "no usable symmetry: Hall symbol 'P 1 (x/8,y/8,z/8)' not understood (its change of basis 'x/8,y/8,z/8' is not whole"},
      {"hall-cob-alloc.cif", 1, "no usable symmetry: Hall symbol 'P 1 (x/24,y/24,z/24)' not understood (its change of basis"},
      {"decimal-cast.cif", 1, "no usable symmetry: the operator list is unusable: operator 2 '-x+99999999999999999999.5,-y,-z' has a number of more than 4 digits"},
      {"disorder-int-overflow.cif", 1, "site C1: disorder group 99999999999 is out of range"},
      {"multiline-error-cell.cif", 1, "cell value _cell_length_a '; 10 A ;' is not a number"},
      {"multiline-error-symop.cif", 1, "no usable symmetry: the operator list is unusable: operator 1 ' x,y,z' cannot be read"},
      {"missing-fract-x.cif", 1, "the atom sites have no column _atom_site_fract_x"},
      {"cartesian-only.cif", 1, "the atom sites have Cartesian coordinates only"},
      {"hang-coincident-sites.cif", 0, ""},
      {"fuzz-coincident-sites-variant.cif", 0, ""},  // over 10 s in the fuzzing build once
      {"dup-block-message.cif", 1, ""},  // the path first; the line is checked below
  };
  for (const Case& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    const CifRun r = run_cif(data("../cif-hostile/" + std::string(c.file)) + " -o out.inp");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 2.0) << c.file;
    EXPECT_EQ(r.status, c.status) << c.file << ": " << r.err;
    if (std::string(c.file) == "dup-block-message.cif") {
      EXPECT_TRUE(has(r.err, "CIF syntax error at line 3: block name data_a given twice")) << r.err;
    }
    if (c.status == 1) {
      const std::string line = "orbicutter-cif: error: " + std::string(c.message);
      EXPECT_EQ(r.err.rfind(line, 0), 0u) << c.file << ": " << r.err;
      EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.file << ": " << r.err;
      EXPECT_TRUE(r.files.empty()) << c.file;
    } else {
      ASSERT_TRUE(r.files.count("out.inp")) << c.file;
      const CifRun check = run_cif(data("../cif-hostile/" + std::string(c.file)) + " -o out.inp --check");
      EXPECT_EQ(check.status, 0) << c.file << ": " << check.err;
    }
  }
}

// An operator list: the identity and `more`.
std::string op_list(const std::string& more) {
  return "loop_\\n_symmetry_equiv_pos_as_xyz\\nx,y,z\\n" + more + (more.empty() ? "" : "\\n");
}

// The shell command writing t.cif: one site, the cell edge a, the symmetry items,
// the x coordinate and the disorder group.
std::string small_cif(const std::string& a, const std::string& symmetry, const std::string& x, const std::string& group) {
  return "printf 'data_t\\n_cell_length_a " + a +
         "\\n_cell_length_b 10\\n_cell_length_c 10\\n_cell_angle_alpha 90\\n_cell_angle_beta 90\\n"
         "_cell_angle_gamma 90\\n" + symmetry +
         "loop_\\n_atom_site_label\\n_atom_site_type_symbol\\n_atom_site_fract_x\\n_atom_site_fract_y\\n"
         "_atom_site_fract_z\\n_atom_site_disorder_group\\nC1 C " + x + " 0.3 0.4 " + group + "\\n' > t.cif";
}

TEST(HostileCifs, LimitsHoldUpToTheirEdges) {
  struct Case {
    std::string a, ops, x, group;
    const char* message;  // "" when accepted
  };
  const Case cases[] = {
      {"0.5", "", "0.2", ".", ""},
      {"0.49", "", "0.2", ".", "cell edge _cell_length_a 0.49 A is outside 0.5 to 10000 A"},
      {"10000", "", "0.2", ".", ""},
      {"10000.01", "", "0.2", ".", "cell edge _cell_length_a 10000.01 A is outside"},
      {"10", "", "1000", ".", ""},
      {"10", "", "-1000.01", ".", "site C1: fractional coordinate x -1000.01 is beyond 1000 cells"},
      {"10", "-x+9999,-y,-z", "0.2", ".", ""},
      {"10", "-x+10000,-y,-z", "0.2", ".",
       "no usable symmetry: the operator list is unusable: operator 2 '-x+10000,-y,-z' has a number of more than 4 digits"},
      {"10", "", "0.2", "-999999", ""},
      {"10", "", "0.2", "1000000", "site C1: disorder group 1000000 is out of range"},
  };
  for (const Case& c : cases) {
    const CifRun r = run_cif("t.cif -o -", small_cif(c.a, op_list(c.ops), c.x, c.group));
    const std::string what = c.a + " " + c.ops + " " + c.x + " " + c.group;
    if (*c.message == '\0') {
      EXPECT_EQ(r.status, 0) << what << ": " << r.err;
    } else {
      EXPECT_EQ(r.status, 1) << what;
      EXPECT_EQ(r.err.rfind("orbicutter-cif: error: " + std::string(c.message), 0), 0u) << what << ": " << r.err;
    }
  }
}

TEST(HostileCifs, NoInputWhoseOperatorsBreakTheCell) {
  // P4 from its number alone on a cell whose a and b differ by 10 %: the four-fold
  // axis does not keep that cell, far beyond what symmetrising the cell mends.
  const CifRun r = run_cif("t.cif -o out.inp", small_cif("11", "_symmetry_Int_Tables_number 75\\n", "0.2", "."));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.err, "the cell does not keep the symmetry of P 4: b 10.0000 and a 11.0000")) << r.err;
  EXPECT_FALSE(r.files.count("out.inp"));
}

}  // namespace
}  // namespace orbicutter::cif::testing
