// The whole program as a benchmark: one input file run in a scratch folder, its
// standard output discarded.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "driver/driver.hpp"
#include "support/folder.hpp"

namespace orbicutter::bench {

// Runs the program on a copy of `input` once per iteration.
inline void whole_run(benchmark::State& state, const std::string& input) {
  const testing::ScratchFolder folder("orbicutter-bench");
  std::filesystem::copy_file(input, "bench.inp");
  std::ostringstream sink;
  auto* old = std::cout.rdbuf(sink.rdbuf());
  char arg0[] = "orbicutter";
  char arg1[] = "bench.inp";
  char* argv[] = {arg0, arg1, nullptr};
  int status = 0;
  for (auto _ : state) {
    status = run_program(2, argv);
    sink.str("");
  }
  std::cout.rdbuf(old);
  if (status != 0) state.SkipWithError("the run failed");
}

}  // namespace orbicutter::bench
