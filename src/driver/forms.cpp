// Banner, CPU-time lines and the system name.
#include "driver/forms.hpp"

namespace orbicutter {

void logo(Unit& unit, const std::string& version) {
  unit.write("(A)", "");
  unit.write("(A)", " ==============");
  unit.write("(A)", " | ORBICUTTER |");
  unit.write("(A)", " ==============");
  unit.write("(A)", " (" + version + ")");
  unit.write("(A)", "");
}

std::string cpu_text(double seconds) { return trim(format_record("(F15.3)", std::array<Value, 1>{Value(seconds)})); }

void cpu_line(Unit& out, double start) {
  out.write("(3A)", " -- CPU time = ", cpu_text(cpu_seconds() - start), " s");
  out.write("(A)", "");
}

void end_with_bonds(Unit& unit, const Table<int>& bonds, int i, int n) {
  for (int j = 1; j <= n - 1; ++j)
    if (bonds(i, j) != 0) unit.put("(I6)", bonds(i, j));
  if (n >= 1 && bonds(i, n) != 0)
    unit.write("(I6)", bonds(i, n));
  else
    unit.write("(A)", "");
}

std::string system_name(const std::string& inpf) {
  const auto slash = inpf.rfind('/');
  const std::size_t from = slash == std::string::npos ? 0 : slash + 1;
  const auto dot = inpf.find('.', from);
  return dot == std::string::npos ? inpf : inpf.substr(0, dot);
}

}  // namespace orbicutter
