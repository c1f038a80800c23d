// An interrupted run (SIGINT, SIGTERM, SIGHUP) removes its temporary files, says
// so in one line on standard error and ends with status 128 + the signal number:
// 130 after Ctrl-C, 143 after a kill.
#pragma once

#include <memory>
#include <string>

namespace orbicutter {

// While it lives, the signals above remove the temporary files named to it and
// end the program; a signal that was ignored when it began (nohup) stays ignored.
// SIGPIPE and SIGXFSZ are ignored, so that a closed pipe on standard output or a
// file-size limit is a write error with its box. The previous handling of the
// three comes back when it goes.
class Interruption {
 public:
  Interruption();
  ~Interruption();
  Interruption(const Interruption&) = delete;
  Interruption& operator=(const Interruption&) = delete;

  // A file to remove when a signal comes; named before it is created, so that
  // no moment leaves it unknown.
  static void add(const std::string& path);
  // The file is renamed or removed: nothing to do for it any more.
  static void forget(const std::string& path);
  // Every file of the run is in place (called with the signals held): a signal
  // now says so instead of the earlier run's files being kept.
  static void files_complete();
};

// Holds the signals back while it lives: a handler that ran half way through the
// renames of a finishing run would leave old and new files mixed.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  struct Mask;
  std::unique_ptr<Mask> saved_;  // the signal mask before
};

// A name for the temporary file of `target`, beside it and hidden, unique to this
// process: ".mol.xyz.<process id>.<attempt>.tmp".
std::string temporary_name(const std::string& target, int attempt);

}  // namespace orbicutter
