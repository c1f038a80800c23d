#include "cif/molecule_trial.hpp"

#include <filesystem>

#include "orbicutter/structure.hpp"

namespace orbicutter::cif {
namespace {

// " --> text   <--" as "text"; a line without both arrows adds nothing.
void add_framed(std::string& joined, const std::string& line) {
  const auto a = line.find("--> "), b = line.rfind(" <--");
  if (a == std::string::npos || b == std::string::npos || b <= a) return;
  std::string part = line.substr(a + 4, b - a - 4);
  while (!part.empty() && part.back() == ' ') part.pop_back();
  joined += (joined.empty() ? "" : " ") + part;
}

// The warnings come back without their arrows; they were all framed.
void add_plain(std::string& joined, const std::string& text) { joined += (joined.empty() ? "" : " ") + text; }

}  // namespace

MoleculeTrial molecule_trial(const std::string& input, const std::string& input_name) {
  MoleculeTrial trial;
  // The test mode leaves out the warnings that only concern the cluster and its files.
  const std::string text = input + "TEST 1\n";
  const std::string name = std::filesystem::path(input_name).filename().string();
  std::vector<orbicutter::Warning> shown;  // before a stop of the molecule step
  try {
    orbicutter::Structure structure(text, {}, name);
    try {
      trial.molecules = structure.molecules();
      return trial;
    } catch (const orbicutter::Error&) {
      shown = structure.warnings();
      throw;
    }
  } catch (const orbicutter::Error& e) {
    trial.stopped = true;
    if (const auto* growth = dynamic_cast<const orbicutter::GrowthError*>(&e)) trial.growing_fragment = growth->fragment();
    for (const auto& w : shown)
      for (const auto& m : w.messages) add_plain(trial.message, m);
    for (const auto& m : e.messages()) add_framed(trial.message, m);
    if (trial.message.empty()) trial.message = e.what();
  }
  return trial;
}

std::vector<Composition> compositions(const orbicutter::Molecules& molecules) {
  std::vector<Composition> list;
  for (const orbicutter::Molecule& m : molecules.molecules) {
    Composition& c = list.emplace_back();
    for (int i = m.first; i < m.first + m.count; ++i) c[molecules.atoms[static_cast<std::size_t>(i)].element] += 1;
  }
  return list;
}

}  // namespace orbicutter::cif
