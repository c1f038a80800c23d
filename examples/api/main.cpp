// Reads a keyword input file, builds its cluster and prints the molecule count
// and the dimers of the central molecule.
#include <orbicutter/orbicutter.hpp>

#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
  std::ifstream file(argc == 2 ? argv[1] : "");
  if (!file) {
    std::cerr << "usage: cluster_summary INPUT\n";
    return 2;
  }
  std::stringstream text;
  text << file.rdbuf();
  try {
    orbicutter::Structure structure(text.str());
    const orbicutter::Cluster& cluster = structure.cluster();
    std::cout << cluster.molecules.size() << " molecules, " << cluster.atoms.size() << " atoms\n";
    for (const orbicutter::Dimer& d : structure.dimers())
      std::cout << "dimer " << d.number << ": operation " << d.operation << ", code " << d.symmetry_code
                << ", distance " << std::fixed << std::setprecision(3) << d.distance << " A, " << d.multiplicity
                << " alike\n";
  } catch (const orbicutter::Error& e) {
    for (const std::string& line : e.messages()) std::cerr << line << '\n';
    return 1;
  }
  return 0;
}
