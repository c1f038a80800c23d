// orbicutter: cuts a cluster of whole molecules out of a molecular crystal.
#include "driver/driver.hpp"

int main(int argc, char** argv) { return orbicutter::run_program(argc, argv); }
