// The whole molecules that orbicutter rebuilds from an input, computed by its
// library in this process: for the check, the census, the rings and the
// tolerance trials. No file is written and no program started.
#pragma once

#include <string>
#include <vector>

#include "cif/formula.hpp"
#include "orbicutter/types.hpp"

namespace orbicutter::cif {

struct MoleculeTrial {
  bool stopped = false;      // the library refused the input or stopped before the molecules were whole
  int growing_fragment = 0;  // when stopped: the fragment that grew without end, else 0
  // When stopped: the message lines of the warnings shown before and of the
  // stop itself, without their arrows, joined by blanks.
  std::string message;
  orbicutter::Molecules molecules;  // when not stopped
};

// The molecules of `input` (a keyword input text) as a test-mode run finds them;
// `input_name` stands for the input file's name.
MoleculeTrial molecule_trial(const std::string& input, const std::string& input_name);

// The composition of every molecule, in fragment order.
std::vector<Composition> compositions(const orbicutter::Molecules& molecules);

}  // namespace orbicutter::cif
