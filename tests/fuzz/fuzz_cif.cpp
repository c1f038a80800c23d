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
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cif/app.hpp"
#include "fuzz/verdict.hpp"
#include "fuzz/watchdog.hpp"
#include "orbicutter/orbicutter.hpp"

namespace fs = std::filesystem;

using namespace orbicutter::fuzzing;

namespace {

const char* const cif_name = "fuzz.cif";
const char* const input_name = "fuzz.inp";

[[noreturn]] void report(const std::string& what, const std::string& err) {
  std::fprintf(stderr, "\n==== orbicutter-cif fuzz finding: %s\n---- standard error:\n%s\n", what.c_str(), err.c_str());
  std::abort();
}

std::string whole_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

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

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  start_watchdog(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path home = fs::current_path();
  std::string pattern = (fs::temp_directory_path() / "orbicutter-cif-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("orbicutter-cif fuzz: mkdtemp");
    std::abort();
  }
  const fs::path folder = pattern;
  {
    std::ofstream f(folder / cif_name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::current_path(folder);
  std::ostringstream out, err;
  watch.data = data;
  watch.size = size;
  watch.started_ms = now_ms();
  const int status = orbicutter::cif::run_converter({cif_name}, out, err);

  std::set<std::string> left;
  for (const auto& e : fs::directory_iterator(folder)) {
    const auto name = e.path().filename().string();
    if (name != cif_name) left.insert(name);
  }
  std::string what = cif_finding(status, err.str(), left, input_name);
  if (what.empty() && status == 0) what = program_finding(whole_file(folder / input_name));
  watch.started_ms = 0;
  fs::current_path(home);
  fs::remove_all(folder);
  if (!what.empty()) report(what, err.str());
  return 0;
}
