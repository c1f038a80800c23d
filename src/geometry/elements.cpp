// Element data: the program's own 23 elements first, then every element of the
// periodic table (and D for deuterium) for symbols outside them.
#include "geometry/elements.hpp"

#include <algorithm>
#include <initializer_list>
#include <vector>
#include <string>
#include <string_view>

namespace orbicutter {
namespace {

struct Row {
  std::string_view symbol;
  real covalent;
  real vdw;
  int number;
};

// Searched first, in this order. Radii are 4-byte constants; a van der Waals
// radius of 0 means none is defined.
constexpr Row own_table[] = {
    {"H", sp(0.40f), sp(1.20f), 1},   {"He", sp(0.46f), 0, 2},          {"Li", sp(1.33f), 0, 3},
    {"Be", sp(1.02f), 0, 4},          {"B", sp(0.85f), 0, 5},           {"C", sp(0.75f), sp(1.70f), 6},
    {"N", sp(0.71f), sp(1.55f), 7},   {"O", sp(0.64f), sp(1.52f), 8},   {"F", sp(0.64f), 0, 9},
    {"Na", sp(1.55f), 0, 11},         {"Mg", sp(1.39f), 0, 12},         {"Si", sp(1.16f), 0, 14},
    {"P", sp(1.11f), sp(1.80f), 15},  {"S", sp(1.03f), 0, 16},          {"Cl", sp(0.99f), sp(1.75f), 17},
    {"K", sp(1.96f), 0, 19},          {"Br", sp(1.14f), 0, 35},         {"I", sp(1.33f), 0, 53},
    {"Pt", sp(1.23f), sp(1.70f), 78}, {"Ni", sp(1.24f), 0, 28},         {"Ti", sp(1.32f), 0, 22},
    {"Cu", sp(1.35f), 0, 29},         {"Ag", sp(1.45f), 0, 47},
};

struct WideRow {
  std::string_view symbol;
  real covalent;
  int number;
};

// Covalent radii of all elements, for symbols the table above does not know;
// D is deuterium with the radius and number of hydrogen above.
constexpr WideRow periodic_table[] = {
    {"H", sp(0.31f), 1}, {"He", sp(0.28f), 2}, {"Li", sp(1.28f), 3}, {"Be", sp(0.96f), 4},
    {"B", sp(0.84f), 5}, {"C", sp(0.73f), 6}, {"N", sp(0.71f), 7}, {"O", sp(0.66f), 8}, {"F", sp(0.57f), 9},
    {"Ne", sp(0.58f), 10}, {"Na", sp(1.66f), 11}, {"Mg", sp(1.41f), 12}, {"Al", sp(1.21f), 13},
    {"Si", sp(1.11f), 14}, {"P", sp(1.07f), 15}, {"S", sp(1.05f), 16}, {"Cl", sp(1.02f), 17},
    {"Ar", sp(1.06f), 18}, {"K", sp(2.03f), 19}, {"Ca", sp(1.76f), 20}, {"Sc", sp(1.70f), 21},
    {"Ti", sp(1.60f), 22}, {"V", sp(1.53f), 23}, {"Cr", sp(1.39f), 24}, {"Mn", sp(1.39f), 25},
    {"Fe", sp(1.32f), 26}, {"Co", sp(1.26f), 27}, {"Ni", sp(1.24f), 28}, {"Cu", sp(1.32f), 29},
    {"Zn", sp(1.22f), 30}, {"Ga", sp(1.22f), 31}, {"Ge", sp(1.20f), 32}, {"As", sp(1.19f), 33},
    {"Se", sp(1.20f), 34}, {"Br", sp(1.20f), 35}, {"Kr", sp(1.16f), 36}, {"Rb", sp(2.20f), 37},
    {"Sr", sp(1.95f), 38}, {"Y", sp(1.90f), 39}, {"Zr", sp(1.75f), 40}, {"Nb", sp(1.64f), 41},
    {"Mo", sp(1.54f), 42}, {"Tc", sp(1.47f), 43}, {"Ru", sp(1.46f), 44}, {"Rh", sp(1.42f), 45},
    {"Pd", sp(1.39f), 46}, {"Ag", sp(1.45f), 47}, {"Cd", sp(1.44f), 48}, {"In", sp(1.42f), 49},
    {"Sn", sp(1.39f), 50}, {"Sb", sp(1.39f), 51}, {"Te", sp(1.38f), 52}, {"I", sp(1.39f), 53},
    {"Xe", sp(1.40f), 54}, {"Cs", sp(2.44f), 55}, {"Ba", sp(2.15f), 56}, {"La", sp(2.07f), 57},
    {"Ce", sp(2.04f), 58}, {"Pr", sp(2.03f), 59}, {"Nd", sp(2.01f), 60}, {"Pm", sp(1.99f), 61},
    {"Sm", sp(1.98f), 62}, {"Eu", sp(1.98f), 63}, {"Gd", sp(1.96f), 64}, {"Tb", sp(1.94f), 65},
    {"Dy", sp(1.92f), 66}, {"Ho", sp(1.92f), 67}, {"Er", sp(1.89f), 68}, {"Tm", sp(1.90f), 69},
    {"Yb", sp(1.87f), 70}, {"Lu", sp(1.75f), 71}, {"Hf", sp(1.87f), 72}, {"Ta", sp(1.70f), 73},
    {"W", sp(1.62f), 74}, {"Re", sp(1.51f), 75}, {"Os", sp(1.44f), 76}, {"Ir", sp(1.41f), 77},
    {"Pt", sp(1.36f), 78}, {"Au", sp(1.36f), 79}, {"Hg", sp(1.32f), 80}, {"Tl", sp(1.45f), 81},
    {"Pb", sp(1.46f), 82}, {"Bi", sp(1.48f), 83}, {"Po", sp(1.40f), 84}, {"At", sp(1.50f), 85},
    {"Rn", sp(1.50f), 86}, {"Fr", sp(2.60f), 87}, {"Ra", sp(2.21f), 88}, {"Ac", sp(2.15f), 89},
    {"Th", sp(2.06f), 90}, {"Pa", sp(2.00f), 91}, {"U", sp(1.96f), 92}, {"Np", sp(1.90f), 93},
    {"Pu", sp(1.87f), 94}, {"Am", sp(1.80f), 95}, {"Cm", sp(1.69f), 96}, {"Bk", sp(1.68f), 97},
    {"Cf", sp(1.68f), 98}, {"Es", sp(1.65f), 99}, {"Fm", sp(1.67f), 100}, {"Md", sp(1.73f), 101},
    {"No", sp(1.76f), 102}, {"Lr", sp(1.61f), 103}, {"Rf", sp(1.57f), 104}, {"Db", sp(1.49f), 105},
    {"Sg", sp(1.43f), 106}, {"Bh", sp(1.41f), 107}, {"Hs", sp(1.34f), 108}, {"Mt", sp(1.29f), 109},
    {"Ds", sp(1.28f), 110}, {"Rg", sp(1.21f), 111}, {"Cn", sp(1.22f), 112}, {"Nh", sp(1.50f), 113},
    {"Fl", sp(1.50f), 114}, {"Mc", sp(1.50f), 115}, {"Lv", sp(1.50f), 116}, {"Ts", sp(1.50f), 117},
    {"Og", sp(1.50f), 118}, {"D", sp(0.40f), 1},
};

// The symbol as a 3-character text, left-adjusted: " C" and "C" are both "C  ".
std::string left_adjusted(std::string_view symbol) {
  std::string s(symbol.substr(0, 3));
  s.resize(3, ' ');
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return s;
  s = s.substr(first);
  s.resize(3, ' ');
  return s;
}

bool same_symbol(const std::string& key, std::string_view table_symbol) {
  std::string t(table_symbol);
  t.resize(3, ' ');
  return key == t;
}

}  // namespace

ElementData element(std::string_view symbol) {
  const std::string key = left_adjusted(symbol);
  for (const auto& r : own_table)
    if (same_symbol(key, r.symbol)) return {r.covalent, r.vdw, r.number, true};
  for (const auto& r : periodic_table)
    if (same_symbol(key, r.symbol)) return {r.covalent, 0, r.number, true};
  return {};
}

void atinfo(std::string_view symbol, int mode, real& r, int& n) {
  if (mode < 1 || mode > 3) return;
  const ElementData e = element(symbol);
  if (mode == 1) r = e.covalent;
  if (mode == 2) r = e.vdw;
  if (mode == 3) n = e.number;
}

}  // namespace orbicutter

namespace orbicutter {
namespace {
bool one_of(std::string_view symbol, std::initializer_list<std::string_view> list) {
  const std::string key = left_adjusted(symbol);
  for (std::string_view e : list)
    if (same_symbol(key, e)) return true;
  return false;
}
}  // namespace

std::string hill_formula(const std::map<std::string, int>& count) {
  std::vector<std::string> order;
  const bool carbon = count.count("C") > 0;
  if (carbon) order.push_back("C");
  if (carbon && count.count("H") > 0) order.push_back("H");
  for (const auto& [e, n] : count)
    if (std::find(order.begin(), order.end(), e) == order.end()) order.push_back(e);
  std::string s;
  for (const auto& e : order) {
    if (!s.empty()) s += ' ';
    s += e;
    if (count.at(e) != 1) s += std::to_string(count.at(e));
  }
  return s;
}

bool is_covalent_element(std::string_view symbol) {
  return one_of(symbol, {"H", "D", "B", "C", "N", "O", "F", "Si", "P", "S", "Cl", "Ge", "As", "Se", "Br", "Te", "I"});
}

bool is_metal(std::string_view symbol) {
  if (is_covalent_element(symbol) || one_of(symbol, {"He", "Ne", "Ar", "Kr", "Xe", "Rn"})) return false;
  return element(symbol).found;
}

}  // namespace orbicutter
