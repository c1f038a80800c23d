// Input atoms that a symmetry operator other than the first maps onto themselves.
#include "format/log_forms.hpp"
#include "geometry/geometry.hpp"

namespace orbicutter {

std::vector<SpecialPosition> special_positions(const Geometry& geo, int operators, const Table<real>& positions,
                                               int atoms) {
  const Vec3 no_translation;
  std::vector<SpecialPosition> found;
  for (int s = 2; s <= operators; ++s)
    for (int i = 1; i <= atoms; ++i) {
      const Vec3 f = row3(positions, i);
      if (matdist(image(geo, s, f, no_translation), f) < tiny) found.push_back({i, s});
    }
  return found;
}

void write_special_positions(Unit& log, const std::vector<SpecialPosition>& found, const Table<std::string>& names,
                             const Table<int>& info) {
  log.write("(A)", " ** SPECIAL POSITIONS **");
  log.write("(A)", rule_line);
  for (const auto& p : found)
    log.write("(2A4,I6,A,I2)", names(p.atom, 1), names(p.atom, 2), info(p.atom, total_atom),
              " on symmtery element = ", p.operation);
  if (found.empty()) log.write("(A)", " No atoms on special positions");
  log.write("(A)", rule_line);
}

}  // namespace orbicutter
