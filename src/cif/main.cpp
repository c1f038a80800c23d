// orbicutter-cif: a CIF in, a keyword input for orbicutter out, and on request
// the run and the check of its molecules.
#include <iostream>
#include <string>
#include <vector>

#include "cif/app.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return orbicutter::cif::run_converter(args, std::cout, std::cerr);
}
