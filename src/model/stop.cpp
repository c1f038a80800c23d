// Error boxes and the errors that phases raise.
#include "model/stop.hpp"

namespace orbicutter {

std::vector<std::string> box_lines(const std::string& title, const std::vector<std::string>& messages,
                                   bool leading_blank) {
  std::vector<std::string> box;
  if (leading_blank) box.emplace_back("");
  box.emplace_back(" ======");
  box.push_back(title);
  for (const auto& m : messages) box.push_back(m);
  box.emplace_back(" ======");
  box.emplace_back("");
  box.emplace_back(" ========");
  box.emplace_back(" | Stop |");
  box.emplace_back(" ========");
  box.emplace_back("");
  return box;
}

std::vector<std::string> error_box(const Error& error) {
  if (error.origin() == Error::Origin::input) return box_lines(" !! ERROR in READINP !!", error.messages(), false);
  return box_lines(" !! ERROR in ORBICUTTER !!", error.messages(), true);
}

void fail(const std::vector<std::string>& messages) { throw Error(Error::Origin::run, messages); }

void fail_input(const std::vector<std::string>& messages) { throw Error(Error::Origin::input, messages); }

void fail_keyword(const std::string& key) {
  fail_input({" --> Error while reading " + key + " option <--"});
}

}  // namespace orbicutter
