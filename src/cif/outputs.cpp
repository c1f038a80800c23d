#include "cif/outputs.hpp"

#include <algorithm>
#include <sstream>

#include "cif/error.hpp"
#include "orbicutter/structure.hpp"

namespace orbicutter::cif {
namespace {

std::string option_of(const std::string& name) { return name.rfind("--", 0) == 0 ? name.substr(2) : ""; }

std::vector<std::string> forms_of(const std::string& option) {
  std::vector<std::string> forms;
  for (const OutputWriter& w : output_writers())
    if (w.option == option && !w.form.empty()) forms.push_back(w.form);
  return forms;
}

}  // namespace

OutputChoice default_outputs() { return {{"xyz", "extended"}}; }

bool is_output_option(const std::string& name) {
  const std::string option = option_of(name);
  for (const OutputWriter& w : output_writers())
    if (!option.empty() && w.option == option) return true;
  return false;
}

bool output_takes_value(const std::string& name) { return !forms_of(option_of(name)).empty(); }

void choose_output(OutputChoice& choice, const std::string& name, const std::string& value) {
  const std::string option = option_of(name);
  const std::vector<std::string> forms = forms_of(option);
  if (forms.empty()) {
    choice[option] = "";
    return;
  }
  if (value == "none") {
    choice[option] = "none";
    return;
  }
  std::string list;
  for (const std::string& f : forms) {
    if (f == value) {
      choice[option] = value;
      return;
    }
    list += f + ", ";
  }
  throw ConversionError("option " + name + " takes " + list + "or none, not '" + value + "'");
}

std::vector<std::string> output_keywords(const OutputChoice& choice) {
  std::vector<std::string> lines;
  for (const OutputWriter& w : output_writers()) {
    const auto it = choice.find(w.option);
    if (it == choice.end()) continue;
    const bool off = it->second == "none";
    // One switch for all forms: "none" is said once, by the first row.
    if (off && w.form == forms_of(w.option).front())
      lines.push_back(w.keyword + " 0");
    else if (!off && it->second == w.form)
      lines.push_back(w.keyword + " " + std::to_string(w.value));
  }
  return lines;
}

std::string output_help() {
  std::ostringstream s;
  std::vector<std::string> done;
  for (const OutputWriter& w : output_writers()) {
    if (std::find(done.begin(), done.end(), w.option) != done.end()) continue;
    done.push_back(w.option);
    std::string head = "      --" + w.option;
    std::string about = w.about + " (" + w.keyword + ", NAME" + w.suffix;
    if (!w.companion.empty()) about += "; NAME" + w.companion + " with charges";
    about += ")";
    const std::vector<std::string> forms = forms_of(w.option);
    if (!forms.empty()) {
      std::string values;
      for (const std::string& f : forms) values += f + "|";
      head += " " + values + "none";
      // One map, kept while its entry is read (the function returns a fresh one).
      const auto defaults = default_outputs();
      if (const auto d = defaults.find(w.option); d != defaults.end())
        about.insert(about.size() - 1, "; default " + d->second);
    }
    if (head.size() < 25) head.resize(25, ' ');
    else head += "\n" + std::string(25, ' ');
    s << head << about << '\n';
  }
  return s.str();
}

}  // namespace orbicutter::cif
