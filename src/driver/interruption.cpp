// Signal handling for the run's temporary files: the program's one piece of
// process-wide state, because a signal handler can reach nothing else.
#include "driver/interruption.hpp"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <utility>
#include <vector>

namespace orbicutter {
namespace {

constexpr int handled[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int ignored[] = {SIGPIPE, SIGXFSZ};

// The temporary files that exist now. Changed only while the signals are held,
// so that the handler, which only reads it, never sees it half changed.
std::vector<std::string>* temporaries = nullptr;
struct sigaction previous[std::size(handled)];
struct sigaction previous_ignored[std::size(ignored)];

// The one line a user sees after Ctrl-C: the run stopped, and nothing of it replaced
// an earlier file; or, when the signal came while the finished files were being
// renamed (it waits for the last rename), that they are all in place.
constexpr char interrupted_line[] = "interrupted: the files of the earlier run are kept\n";
constexpr char interrupted_late_line[] = "interrupted: the run had finished, its files are complete\n";
volatile std::sig_atomic_t files_in_place = 0;

extern "C" void on_signal(int signal_number) {
  // Only async-signal-safe calls here: unlink, write and _exit.
  if (temporaries != nullptr)
    for (const auto& path : *temporaries) ::unlink(path.c_str());
  // Standard error may be closed or full: the exit status says the rest.
  [[maybe_unused]] const ssize_t written =
      files_in_place != 0 ? ::write(STDERR_FILENO, interrupted_late_line, sizeof(interrupted_late_line) - 1)
                          : ::write(STDERR_FILENO, interrupted_line, sizeof(interrupted_line) - 1);
  ::_exit(128 + signal_number);
}

sigset_t handled_set() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : handled) sigaddset(&set, s);
  return set;
}

}  // namespace

struct SignalsHeld::Mask {
  sigset_t set;
};

SignalsHeld::SignalsHeld() : saved_(std::make_unique<Mask>()) {
  const sigset_t set = handled_set();
  sigprocmask(SIG_BLOCK, &set, &saved_->set);
}

SignalsHeld::~SignalsHeld() { sigprocmask(SIG_SETMASK, &saved_->set, nullptr); }

Interruption::Interruption() {
  const SignalsHeld held;
  files_in_place = 0;
  temporaries = new std::vector<std::string>();
  struct sigaction action {};
  action.sa_handler = on_signal;
  action.sa_mask = handled_set();  // one handler at a time
  for (std::size_t k = 0; k < std::size(handled); ++k) {
    sigaction(handled[k], nullptr, &previous[k]);
    if (previous[k].sa_handler != SIG_IGN) sigaction(handled[k], &action, nullptr);
  }
  // A closed pipe or the file-size limit of a batch job is then a write error with its box.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  for (std::size_t k = 0; k < std::size(ignored); ++k) sigaction(ignored[k], &ignore, &previous_ignored[k]);
}

Interruption::~Interruption() {
  const SignalsHeld held;
  for (std::size_t k = 0; k < std::size(handled); ++k) sigaction(handled[k], &previous[k], nullptr);
  for (std::size_t k = 0; k < std::size(ignored); ++k) sigaction(ignored[k], &previous_ignored[k], nullptr);
  delete std::exchange(temporaries, nullptr);
}

void Interruption::add(const std::string& path) {
  const SignalsHeld held;
  if (temporaries != nullptr) temporaries->push_back(path);
}

void Interruption::files_complete() { files_in_place = 1; }

void Interruption::forget(const std::string& path) {
  const SignalsHeld held;
  if (temporaries == nullptr) return;
  const auto it = std::find(temporaries->begin(), temporaries->end(), path);
  if (it != temporaries->end()) temporaries->erase(it);
}

std::string temporary_name(const std::string& target, int attempt) {
  const std::filesystem::path path(target);
  // Cut long names, so that the suffix never makes one too long for the folder.
  const std::string base = path.filename().string().substr(0, 180);
  std::string name = ".";
  name += base;
  name += '.';  // (in steps: GCC 12 warns wrongly on "." + string)
  name += std::to_string(::getpid());
  name += '.';
  name += std::to_string(attempt);
  name += ".tmp";
  return (path.parent_path() / name).string();
}

}  // namespace orbicutter
