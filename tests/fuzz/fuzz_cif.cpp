// libFuzzer entry: the CIF converter on one file, run in-process in a private folder.
// Beyond the sanitizers' findings, a run is a finding when it breaks what the converter
// promises: an exit status other than 0 or 1; a refusal that is not exactly one
// `orbicutter-cif: error:` line or leaves a file; a success whose input orbicutter's
// reader refuses, or whose fragment phases fail other than by a refusal (a framework is
// rightly refused there); more than ORBICUTTER_FUZZ_SECONDS (default 10) of wall time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cif/app.hpp"
#include "fuzz/initialize.hpp"
#include "fuzz/run_folder.hpp"
#include "fuzz/verdict.hpp"
#include "orbicutter/orbicutter.hpp"

namespace fs = std::filesystem;

using namespace orbicutter::fuzzing;

namespace {

const char* const cif_name = "fuzz.cif";
const char* const input_name = "fuzz.inp";

// Empty when orbicutter reads the input and its fragment phases end normally.
std::string program_finding(const std::string& input) {
  try {
    orbicutter::Structure s(input);
    try {
      s.molecules();
    } catch (const orbicutter::Error& e) {
      for (const auto& m : e.messages())
        if (m.find("Internal error") != std::string::npos || m.find("Not enough memory") != std::string::npos)
          return "fragment phases: " + m;
    }
  } catch (const orbicutter::Error& e) {
    std::string box;
    for (const auto& m : e.messages()) box += m + " ";
    return "orbicutter refuses the written input: " + box;
  } catch (const std::exception& e) {
    return std::string("orbicutter failed on the written input: ") + e.what();
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path home = fs::current_path();
  const fs::path folder = enter_run_folder("orbicutter-cif", data, size, cif_name);
  std::ostringstream out, err;
  const int status = orbicutter::cif::run_converter({cif_name}, out, err);

  std::string what = cif_finding(status, err.str(), files_left(folder, {cif_name}), input_name);
  if (what.empty() && status == 0) what = program_finding(whole_file(folder / input_name));
  leave_run_folder(home);
  fs::remove_all(folder);
  if (!what.empty()) report_finding("orbicutter-cif", what, "standard error", err.str());
  return 0;
}
