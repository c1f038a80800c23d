// The one error of orbicutter: the input was refused, or the run cannot go on.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orbicutter {

class Error : public std::runtime_error {
 public:
  enum class Origin {
    input,  // the keyword reader refused the input text
    run,    // a later step cannot go on (files, limits, the manual X-H list, ...)
  };

  Error(Origin origin, std::vector<std::string> messages)
      : std::runtime_error(messages.empty() ? std::string("orbicutter error") : messages.front()),
        origin_(origin),
        messages_(std::move(messages)) {}

  Origin origin() const noexcept { return origin_; }
  // The message lines, as the program frames them in its error box
  // (" --> Error while reading CELL option <--").
  const std::vector<std::string>& messages() const noexcept { return messages_; }

 private:
  Origin origin_;
  std::vector<std::string> messages_;
};

// A fragment that kept taking in bonded images while its molecule was
// completed: a chain or network through the crystal (a coordination polymer,
// a framework), not a molecule. Shown like any other run error.
class GrowthError : public Error {
 public:
  GrowthError(int fragment, std::vector<std::string> messages)
      : Error(Origin::run, std::move(messages)), fragment_(fragment) {}

  // The fragment being completed, numbered from 1 as the log numbers them.
  int fragment() const noexcept { return fragment_; }

 private:
  int fragment_;
};

}  // namespace orbicutter
