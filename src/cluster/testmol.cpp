// Test mode: the run ends once the whole molecules are known, for a quick look
// at them before a long run.
#include "cluster/assemble.hpp"
#include "model/stop.hpp"

namespace orbicutter {

void test_molecule_warning(LogSink& sink) {
  const auto box = box_lines(" !! WARNING in ORBICUTTER no. 002 !!",
                             {" --> Test XYZ file is printed <--", " --> Program stops            <--"}, true);
  for (const auto& l : box) sink.log.line(l);
  for (const auto& l : box) sink.out.line(l);
}

}  // namespace orbicutter
