// Passed-over lines that look like input. A line only counts as a keyword line
// when a number follows the word, so remarks that start with a keyword-like
// word ("Cell from the CIF") stay silent.
#include "input/skipped_lines.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace orbicutter {
namespace {

bool separator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == ','; }
bool letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool digit(char c) { return c >= '0' && c <= '9'; }

// The items of a line as the free-format reader separates them.
std::vector<std::string_view> items_of(std::string_view line) {
  std::vector<std::string_view> items;
  std::size_t p = 0;
  while (p < line.size()) {
    while (p < line.size() && separator(line[p])) ++p;
    const std::size_t from = p;
    while (p < line.size() && !separator(line[p])) ++p;
    if (p > from) items.push_back(line.substr(from, p - from));
  }
  return items;
}

// A decimal number: sign, digits with an optional point, an optional exponent.
bool is_number(std::string_view t) {
  std::size_t i = 0, digits = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  for (; i < t.size() && digit(t[i]); ++i) ++digits;
  if (i < t.size() && t[i] == '.')
    for (++i; i < t.size() && digit(t[i]); ++i) ++digits;
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const std::size_t e = i;
    while (i < t.size() && digit(t[i])) ++i;
    if (i == e) return false;
  }
  return i == t.size();
}

bool all_letters(std::string_view t) { return !t.empty() && std::all_of(t.begin(), t.end(), letter); }

std::string upper(std::string_view t) {
  std::string u(t);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// `key` appears in `word` letter by letter, in order, from the first letter on
// (CHARGE for CHRG, SHELX for SHLX).
bool spelt_within(std::string_view word, std::string_view key) {
  if (word.empty() || word[0] != key[0]) return false;
  std::size_t k = 0;
  for (char c : word)
    if (k < key.size() && c == key[k]) ++k;
  return k == key.size();
}

// One slip of the keyboard away: a letter changed, added or dropped, or two
// neighbours swapped (DIRM, XDMAX, DMX, DAMX for DIMR and DMAX).
bool one_slip_from(std::string_view word, std::string_view key) {
  const std::size_t n = word.size(), m = key.size();
  std::size_t i = 0;
  while (i < n && i < m && word[i] == key[i]) ++i;  // the common beginning
  if (n == m) {
    if (i == n) return false;  // the keyword itself
    if (word.substr(i + 1) == key.substr(i + 1)) return true;
    return i + 1 < n && word[i] == key[i + 1] && word[i + 1] == key[i] && word.substr(i + 2) == key.substr(i + 2);
  }
  if (n == m + 1) return word.substr(i + 1) == key.substr(i);
  if (m == n + 1) return word.substr(i) == key.substr(i + 1);
  return false;
}

// The keyword a word seems to stand for: a three-letter beginning of it (DMA),
// or a longer word that starts like it (DIMER, GAUSSIAN) or spells it out (CHARGE);
// else one at a single slip from it.
std::string meant_keyword(const std::string& word, const std::vector<std::string>& keywords) {
  for (const auto& k : keywords) {
    if (word.size() == 3 && k.compare(0, 3, word) == 0) return k;
    if (word.size() >= 4 && (word.compare(0, 3, k, 0, 3) == 0 || spelt_within(word, k))) return k;
  }
  for (const auto& k : keywords)
    if (one_slip_from(word, k)) return k;
  return {};
}

// Three comma-separated components made of x, y, z, digits, signs, slashes and
// points, each naming a coordinate, as in -x+1/2, y, -z (quotes and an
// operator number in front allowed).
bool reads_as_operator(std::string_view line) {
  std::string s;
  for (char c : line)
    if (c != ' ' && c != '\t' && c != '\r') s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (s.size() >= 2 && (s.front() == '\'' || s.front() == '"') && s.back() == s.front()) s = s.substr(1, s.size() - 2);
  if (std::count(s.begin(), s.end(), ',') != 2) return false;
  std::size_t from = 0;
  for (int part = 0; part < 3; ++part) {
    const std::size_t end = part < 2 ? s.find(',', from) : s.size();
    const std::string_view c(s.data() + from, end - from);
    if (c.find_first_not_of("xyz0123456789+-/.") != std::string_view::npos) return false;
    if (c.find_first_of("xyz") == std::string_view::npos) return false;
    from = end + 1;
  }
  return true;
}

// The nine rotation elements of a numeric operator, each -1, 0 or 1.
bool reads_as_rotation(const std::vector<std::string_view>& items) {
  if (items.size() != 9) return false;
  for (auto t : items) {
    if (!is_number(t)) return false;
    const double v = std::strtod(std::string(t).c_str(), nullptr);
    if (v != -1 && v != 0 && v != 1) return false;
  }
  return true;
}

// An element symbol, a label and three numbers.
bool reads_as_atom(const std::vector<std::string_view>& items) {
  return items.size() >= 5 && items[0].size() <= 3 && all_letters(items[0]) && is_number(items[2]) &&
         is_number(items[3]) && is_number(items[4]);
}

}  // namespace

std::string lookalike_reason(std::string_view line, const std::vector<std::string>& keywords) {
  const auto items = items_of(line);
  if (items.empty()) return {};
  const std::string_view first = items[0];
  if (items.size() >= 2 && all_letters(first) && first.size() >= 3 && is_number(items[1])) {
    const std::string word = upper(first);
    const std::string four = word.substr(0, 4);
    if (std::find(keywords.begin(), keywords.end(), four) != keywords.end())
      return "keywords are read in upper case only: " + four;
    const std::string meant = meant_keyword(word, keywords);
    if (!meant.empty())
      return "the reader takes " + std::string(first.substr(0, 4)) + " from it, which is no keyword (" + meant + "?)";
  }
  if (reads_as_operator(line) || reads_as_rotation(items)) return "reads as a symmetry operator: is the count on the SYMM line too small?";
  if (reads_as_atom(items))
    return "reads as an atom line: are the counts on the NFRG line and fragment headers too small?";
  return {};
}

std::string quoted_line(std::string_view line) {
  std::string s;
  for (char c : line) s += c == '\t' ? ' ' : (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  s = s.substr(b, s.find_last_not_of(' ') - b + 1);
  if (s.size() > 40) s = s.substr(0, 37) + "...";
  return s;
}

}  // namespace orbicutter
