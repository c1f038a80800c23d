// The program's entry: the command line, the files of the run and the closing box.
#pragma once

namespace orbicutter {

// Runs the program on the command line; returns the exit status.
int run_program(int argc, char** argv);

}  // namespace orbicutter
