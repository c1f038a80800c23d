// Banner, CPU-time lines and the system name.
#include "format/log_forms.hpp"

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

void end_with_bonds(Unit& unit, std::span<const int> partners) {
  for (int b : partners) unit.put("(I6)", b);
  unit.write("(A)", "");
}

std::string system_name(const std::string& inpf) {
  const auto slash = inpf.rfind('/');
  const std::size_t from = slash == std::string::npos ? 0 : slash + 1;
  const auto dot = inpf.find('.', from);
  return dot == std::string::npos ? inpf : inpf.substr(0, dot);
}

}  // namespace orbicutter
