// Connectivity of all atoms of the modified fragments, the UPDATED MOLECULAR
// INFORMATION and CONNECTIVITY MATRIX sections, and the reduction of the
// connectivity matrix to ring and ring-joining atoms.
#include <cmath>
#include <string>
#include <vector>

#include "format/log_forms.hpp"
#include "fragments/bond_rules.hpp"
#include "fragments/fragments.hpp"
#include "geometry/geometry.hpp"
#include "model/stop.hpp"

namespace orbicutter {
namespace {

const char* const legend[] = {
    "  >>  (1) element type",
    "  >>  (2) atomic type",
    "  >>  (3) total atom number",
    "  >>  (4) fragment atom number",
    "  >>  (5) fragment number",
    "  >>  (6) symmetry operation number",
    "  >>  (7) translation along X-axis",
    "  >>  (8) translation along Y-axis",
    "  >>  (9) translation along Z-axis",
    "  >> (10) molecular atomic number",
    "  >> (11) x-fractional coordinate",
    "  >> (12) y-fractional coordinate",
    "  >> (13) z-fractional coordinate",
};

void updated_information(const Run& run, Unit& log) {
  const auto& gv = run.gv;
  const auto& at = run.at;
  const bool charged = run.kw.kcharge == 1;
  const int nat = gv.nat;

  log.write("(A)", " ** UPDATED MOLECULAR INFORMATION **");
  log.write("(A)", rule_line);
  for (int f = 1; f <= gv.nfrag; ++f)
    log.write("(A,I6,A,I6)", " Fragment number = ", at.frag(f, frag_id),
              "  |  Number of atoms = ", at.frag(f, frag_size));
  log.write("(A)", rule_line);
  log.write("(A,I6)", " Total number of atoms = ", nat);
  if (run.kw.kver >= 2) {
    for (const char* l : legend) log.write("(A)", l);
    if (charged) log.write("(A)", "  >> (14) atom charge");
    log.write("(A)", "  >> (..) bonded atoms numbers");
  }
  for (int i = 1; i <= nat; ++i) {
    if (i > 1 && at.allinfo(i, fragment_number) != at.allinfo(i - 1, fragment_number)) log.write("(A)", rule_line);
    log.put("(2A4)", at.allatns(i, 1), at.allatns(i, 2));
    log.put("(8I6)", at.allinfo(i, total_atom), at.allinfo(i, fragment_atom), at.allinfo(i, fragment_number),
            at.allinfo(i, symmetry_operation), at.allinfo(i, translation_a), at.allinfo(i, translation_b),
            at.allinfo(i, translation_c), at.allinfo(i, molecule_atom));
    log.put("(3F10.6)", at.allgeom(i, 1), at.allgeom(i, 2), at.allgeom(i, 3));
    if (charged) log.put("(F10.6)", at.allcharge(i));
    end_with_bonds(log, at.allbonds, i, nat);
  }
  log.write("(A)", rule_line);
}

void connectivity_matrix(const Run& run, Unit& log) {
  const auto& at = run.at;
  const int nat = run.gv.nat;
  log.write("(A)", " ** CONNECTIVITY MATRIX **");
  log.write("(A)", rule_line);
  // One I2 field per atom: the row layout is made for this atom count.
  const RuntimeLayout layout("(I6,A," + digits(nat) + "I2)");
  std::vector<Value> row;
  for (int i = 1; i <= nat; ++i) {
    row.clear();
    row.emplace_back(i);
    row.emplace_back(" |");
    for (int j = 1; j <= nat; ++j) row.emplace_back(at.allcont(i, j));
    log.line(format_record(layout, row));
  }
  log.write("(A)", rule_line);
}

}  // namespace

void check_bond_tables(int nat) {
  const double bytes = 3.0 * nat * nat * static_cast<double>(sizeof(int));
  if (!(bytes > max_bond_table_bytes)) return;
  const std::string need = digits(static_cast<long long>(std::ceil(bytes / (1024.0 * 1024.0))));
  const std::string limit = digits(static_cast<long long>(max_bond_table_bytes / (1024.0 * 1024.0)));
  fail({" --> Too many atoms for the bond tables: " + digits(nat) + " atoms <--",
        " --> need " + need + " MB, the limit is " + limit + " MB <--"});
}

int atoms_in_fragments(const Run& run) {
  int nat = 0;
  for (int f = 1; f <= run.gv.nfrag; ++f) nat += run.at.frag(f, frag_size);
  return nat;
}

MoleculeBonds molecule_bonds(const Run& run, int nat) {
  const auto& at = run.at;
  MoleculeBonds bonds;
  // Radii and excluded pairs looked up once per atom: the pair scan is nat^2.
  BondRules rules(run);
  for (int i = 1; i <= nat; ++i) rules.add(at.allatns(i, 1));
  Table<int>& matrix = bonds.matrix;
  matrix.allocate(nat, nat, 0);
  for (int i = 1; i <= nat; ++i) {
    const Vec3 xi = row3(at.allgeom, i);
    for (int j = 1; j < i; ++j) {
      // The stored positions as they are: no lattice translation is tried.
      const real d = calcdist(run, xi, row3(at.allgeom, j));
      const real limit = rules.threshold(i - 1, j - 1);
      const int bonded = (d <= limit && !rules.excluded(i - 1, j - 1)) ? 1 : 0;
      matrix(i, j) = bonded;
      matrix(j, i) = bonded;
    }
  }

  bonds.lists.allocate(nat, nat, 0);
  for (int i = 1; i <= nat; ++i) {
    int c = 0;
    for (int j = 1; j <= nat; ++j)
      if (matrix(j, i) == 1) bonds.lists(i, ++c) = j;
  }
  return bonds;
}

void write_connectivity(const Run& run, Unit& log) {
  updated_information(run, log);
  if (run.kw.kver >= 1) connectivity_matrix(run, log);
}

Reduction reduce_connectivity(const Table<int>& matrix, int nat) {
  Reduction result{matrix, {}};
  Table<int>& rcont = result.matrix;

  // Degrees kept up to date as atoms are stripped, so that each step is one
  // pass; a removal is seen at once by the atoms after it in the same step.
  std::vector<int> degree(static_cast<std::size_t>(nat) + 1, 0);
  for (int i = 1; i <= nat; ++i)
    for (int j = 1; j <= nat; ++j) degree[static_cast<std::size_t>(i)] += rcont(i, j);

  for (;;) {
    int rejected = 0;
    for (int i = 1; i <= nat; ++i) {
      if (degree[static_cast<std::size_t>(i)] != 1) continue;
      for (int j = 1; j <= nat; ++j) {
        if (j != i) degree[static_cast<std::size_t>(j)] -= rcont(j, i);
        rcont(i, j) = 0;
        rcont(j, i) = 0;
      }
      degree[static_cast<std::size_t>(i)] = 0;
      ++rejected;
    }
    if (rejected == 0) return result;
    result.rejected.push_back(rejected);
  }
}

void write_reduction(Unit& log, const Reduction& reduction) {
  log.write("(A)", " ** CONNECTIVITY MATRIX REDUCTION **");
  log.write("(A)", rule_line);
  int step = 0;
  for (const int rejected : reduction.rejected)
    log.write("(A,I3,A,I3)", " Reduction step = ", ++step, " | Number of rejected atoms = ", rejected);
  log.write("(A,I3,A)", " Reduction step = ", step + 1, " | No more atoms to reject");
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
