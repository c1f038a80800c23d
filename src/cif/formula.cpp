// CIF formula notation: element symbols with counts, brackets with multipliers,
// a leading multiplier per moiety and charges.
#include "cif/formula.hpp"

#include <gemmi/elem.hpp>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

bool is_element(const std::string& symbol) {
  const gemmi::Element e(symbol);
  return e != gemmi::El::X && symbol == e.name();
}

// A decimal number at p ("2", "0.06", ".5"); advances p. Negative when none.
double read_number(const std::string& s, std::size_t& p) {
  const std::size_t start = p;
  while (p < s.size() && (std::isdigit(static_cast<unsigned char>(s[p])) || s[p] == '.')) ++p;
  if (p == start || s.substr(start, p - start) == ".") {
    p = start;
    return -1;
  }
  return std::strtod(s.substr(start, p - start).c_str(), nullptr);
}

void add(Composition& to, const Composition& from, double times) {
  for (const auto& [el, n] : from) to[el] += n * times;
}

bool is_charge_sign(char c) { return c == '+' || c == '-'; }

std::optional<Moiety> parse_moiety(const std::string& raw) {
  Moiety m;
  m.text = trimmed(raw);
  const std::string& s = m.text;
  std::size_t p = 0;
  if (p < s.size() && (std::isdigit(static_cast<unsigned char>(s[p])) || s[p] == '.')) {
    m.multiplier = read_number(s, p);
    if (m.multiplier <= 0) return std::nullopt;
  }
  std::vector<Composition> stack(1);
  bool any = false;
  while (p < s.size()) {
    const char c = s[p];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++p;
    } else if (std::isupper(static_cast<unsigned char>(c))) {
      std::string sym(1, c);
      ++p;
      if (p < s.size() && std::islower(static_cast<unsigned char>(s[p]))) sym += s[p++];
      if (!is_element(sym)) return std::nullopt;
      double n = read_number(s, p);
      stack.back()[sym] += n < 0 ? 1 : n;
      any = true;
    } else if (c == '(' || c == '[') {
      stack.emplace_back();
      ++p;
    } else if (c == ')' || c == ']') {
      if (stack.size() < 2) return std::nullopt;
      ++p;
      double n = read_number(s, p);
      if (n >= 0 && p < s.size() && is_charge_sign(s[p])) n = -1;  // "]3+": a charge
      Composition inner = stack.back();
      stack.pop_back();
      add(stack.back(), inner, n < 0 ? 1 : n);
    } else if (is_charge_sign(c)) {
      ++p;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      // A number standing alone can only be the size of a charge: "2+".
      read_number(s, p);
      if (p >= s.size() || !is_charge_sign(s[p])) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (stack.size() != 1 || !any) return std::nullopt;
  m.composition = stack[0];
  return m;
}

}  // namespace

std::optional<std::vector<Moiety>> parse_formula(const std::string& text) {
  std::vector<Moiety> parts;
  std::stringstream ss(text);
  for (std::string part; std::getline(ss, part, ',');) {
    if (trimmed(part).empty()) continue;
    auto m = parse_moiety(part);
    if (!m) return std::nullopt;
    parts.push_back(*m);
  }
  if (parts.empty()) return std::nullopt;
  return parts;
}

std::string hill_formula(const Composition& c) {
  std::vector<std::string> order;
  const bool carbon = c.count("C") && c.at("C") > 0;
  if (carbon) {
    order.push_back("C");
    if (c.count("H")) order.push_back("H");
  }
  for (const auto& [el, n] : c)  // std::map: alphabetical
    if (!(carbon && (el == "C" || el == "H"))) order.push_back(el);
  std::string out;
  for (const auto& el : order) {
    const double n = c.at(el);
    if (n <= 0) continue;
    if (!out.empty()) out += ' ';
    out += el;
    if (std::fabs(n - 1) > 1e-9) out += number(n);
  }
  return out;
}

bool same_composition(const Composition& a, const Composition& b) {
  auto covers = [](const Composition& x, const Composition& y) {
    for (const auto& [el, n] : x) {
      auto it = y.find(el);
      const double m = it == y.end() ? 0 : it->second;
      if (std::fabs(n - m) > 1e-6) return false;
    }
    return true;
  };
  return covers(a, b) && covers(b, a);
}

}  // namespace orbicutter::cif
