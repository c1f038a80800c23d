// libFuzzer's start-up hook, the same for every fuzz target: the time limit and the
// quiet standard output. Include it only in the file that holds a target's entry.
#pragma once

#include "fuzz/watchdog.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  orbicutter::fuzzing::start_watchdog(*argc, *argv);
  return 0;
}
