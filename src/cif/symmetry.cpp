// Symmetry operators with gemmi's operator parser and space-group tables. The
// operator list comes first; a list that is not a space group gives way to the
// symbols, with a warning, since a wrong operator would build a wrong crystal.
#include "cif/symmetry.hpp"

#include <gemmi/symmetry.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <set>
#include <sstream>

#include "cif/error.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

constexpr int den = gemmi::Op::DEN;

// gemmi's operator parser sums its terms in int; with short texts and short
// numbers no sum can overflow. Real operators need neither (a translation
// beyond 1000 cells is refused anyway), and decimals after the point are
// turned into 24ths before gemmi sees them.
constexpr std::size_t max_operator_length = 200;
constexpr std::size_t max_digit_run = 4;
// Translations beyond this many cells describe no crystal; the core refuses them too.
constexpr double max_translation = 1000;

// Empty when gemmi may parse the text; otherwise why not.
std::string unsafe_operator_text(const std::string& text) {
  if (text.size() > max_operator_length)
    return "is longer than " + std::to_string(max_operator_length) + " characters";
  std::size_t run = 0;
  bool after_point = false;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool digit = i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
    if (digit) {
      if (run == 0) after_point = i > 0 && text[i - 1] == '.';
      if (++run > max_digit_run && !after_point)
        return "has a number of more than " + std::to_string(max_digit_run) + " digits";
    } else {
      run = 0;
    }
  }
  return "";
}

SymOp from_gemmi(const gemmi::Op& op) {
  SymOp s;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) s.rot[i][j] = op.rot[i][j] / den;
    s.tran[i] = op.tran[i];
  }
  return s;
}

gemmi::Op to_gemmi(const SymOp& s) {
  gemmi::Op op;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) op.rot[i][j] = s.rot[i][j] * den;
    op.tran[i] = s.tran[i];
  }
  return op;
}

// Decimal translations ("0.6667+x") as the fraction of 24ths they stand for.
std::string decimals_as_fractions(const std::string& text, bool& changed) {
  static const std::regex decimal(R"((\d*)\.(\d+))");
  std::string out;
  std::size_t last = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), decimal); it != std::sregex_iterator(); ++it) {
    const double v = std::strtod(it->str().c_str(), nullptr);
    if (!(std::fabs(v) <= max_translation))
      throw ConversionError("translation " + it->str() + " is beyond " + number(max_translation) + " cells");
    const double k = std::round(v * den);
    if (std::fabs(v * den - k) > 0.05)
      throw ConversionError("translation " + it->str() + " is no multiple of 1/24");
    out += text.substr(last, static_cast<std::size_t>(it->position()) - last);
    out += std::to_string(static_cast<long>(k)) + "/" + std::to_string(den);
    last = static_cast<std::size_t>(it->position() + it->length());
    changed = true;
  }
  return out + text.substr(last);
}

bool is_crystallographic(const gemmi::Op& op) {
  for (const auto& row : op.rot)
    for (int v : row)
      if (v != 0 && std::abs(v) != den) return false;
  return std::abs(op.det_rot()) == den * den * den;
}

struct ListResult {
  std::vector<gemmi::Op> ops;
  std::string problem;  // empty when the list is a space group
};

ListResult read_operator_list(const CifBlock& b, std::vector<std::string>& notes) {
  ListResult r;
  bool decimals = false;
  std::set<gemmi::Op> seen;
  int duplicates = 0;
  for (std::size_t i = 0; i < b.operators.size(); ++i) {
    const std::string& text = b.operators[i];
    const std::string where = "operator " + std::to_string(i + 1) + " '" + text + "'";
    gemmi::Op op;
    if (const std::string why = unsafe_operator_text(text); !why.empty()) {
      r.problem = where + " " + why;
      return r;
    }
    try {
      op = gemmi::parse_triplet(decimals_as_fractions(text, decimals));
    } catch (const std::exception& e) {
      r.problem = where + " cannot be read (" + e.what() + ")";
      return r;
    }
    if (!is_crystallographic(op)) {
      r.problem = where + " is not a crystallographic symmetry operation";
      return r;
    }
    op.wrap();
    if (!seen.insert(op).second) {
      ++duplicates;
      continue;
    }
    r.ops.push_back(op);
  }
  if (r.ops.empty()) {
    r.problem = "it is empty";
    return r;
  }
  if (!seen.count(gemmi::Op::identity())) {
    r.problem = "it lacks the identity x,y,z";
    return r;
  }
  for (const auto& a : r.ops)
    for (const auto& b2 : r.ops)
      if (!seen.count(a * b2)) {
        r.problem = "it is not a complete group (" + a.triplet() + " times " + b2.triplet() + " gives " + (a * b2).triplet() +
                    ", which is not listed)";
        return r;
      }
  if (decimals) notes.push_back("decimal translations of the operator list read as fractions (0.3333 as 1/3)");
  if (duplicates) notes.push_back(std::to_string(duplicates) + " repeated operator(s) of the list left out");
  return r;
}

std::vector<gemmi::Op> group_ops(const gemmi::GroupOps& g) {
  std::vector<gemmi::Op> ops;
  for (gemmi::Op op : g) ops.push_back(op);
  return ops;
}

const gemmi::SpaceGroup* group_of(const std::vector<gemmi::Op>& ops) {
  try {
    return gemmi::find_spacegroup_by_ops(gemmi::split_centering_vectors(ops));
  } catch (const std::exception&) {
    return nullptr;
  }
}

// Both lists are whole groups with the identity, as gemmi's group comparison needs.
bool same_group(const std::vector<gemmi::Op>& a, const std::vector<gemmi::Op>& b) {
  return gemmi::split_centering_vectors(a).is_same_as(gemmi::split_centering_vectors(b));
}

// Blanks (and gemmi's '_' for a blank) collapsed to one, none at either end
// nor inside the parentheses.
std::string normal_hall(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '_' || c == '\r' || c == '\n';
    if (blank) {
      if (!out.empty() && out.back() != ' ' && out.back() != '(') out += ' ';
    } else {
      if ((c == ')' || c == ',') && !out.empty() && out.back() == ' ') out.pop_back();
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string hall_of(const gemmi::SpaceGroup& sg) { return std::string(sg.hall, strnlen(sg.hall, sizeof sg.hall)); }

const gemmi::SpaceGroup* tabulated_hall(const std::string& normal) {
  for (const gemmi::SpaceGroup& sg : gemmi::spacegroup_tables::main)
    if (lower(normal_hall(hall_of(sg))) == lower(normal)) return &sg;
  return nullptr;
}

// A change of basis after a tabulated symbol: an origin shift in twelfths
// ("0 0 1") or an operator whose rotation is whole, small and unimodular.
// gemmi enlarges the lattice for any other one, without bound.
std::string unsafe_change_of_basis(const std::string& inner) {
  if (inner.find(',') == std::string::npos) {
    std::istringstream in(inner);
    std::string word;
    int count = 0;
    while (in >> word) {
      if (word.size() > 3 || word.find_first_not_of("-0123456789") != std::string::npos || word == "-")
        return "its origin shift '" + inner + "' is not three small whole numbers";
      ++count;
    }
    return count == 3 ? "" : "its origin shift '" + inner + "' is not three numbers";
  }
  if (const std::string why = unsafe_operator_text(inner); !why.empty()) return "its change of basis " + why;
  gemmi::Op op;
  try {
    op = gemmi::parse_triplet(inner);
  } catch (const std::exception&) {
    return "its change of basis '" + inner + "' cannot be read";
  }
  for (const auto& row : op.rot)
    for (int v : row)
      if (v % den != 0 || std::abs(v) > 2 * den) return "its change of basis '" + inner + "' is not whole and small";
  if (std::abs(op.det_rot()) != den * den * den) return "its change of basis '" + inner + "' is not unimodular";
  return "";
}

// The operators of a Hall symbol gemmi tabulates, with at most a safe change
// of basis; gemmi's Hall parser is not safe on arbitrary symbols.
std::vector<gemmi::Op> hall_ops(const std::string& hall) {
  const std::string normal = normal_hall(hall);
  std::string symbol = normal;
  if (const gemmi::SpaceGroup* sg = tabulated_hall(normal)) {
    symbol = hall_of(*sg);
  } else {
    const auto open = normal.find('(');
    const auto close = normal.find(')');
    if (open == std::string::npos || close != normal.size() - 1 || close < open)
      throw ConversionError("not a tabulated Hall symbol");
    const std::string base = normal_hall(normal.substr(0, open));
    const gemmi::SpaceGroup* base_sg = tabulated_hall(base);
    if (!base_sg || hall_of(*base_sg).find('(') != std::string::npos)
      throw ConversionError("'" + base + "' is not a tabulated Hall symbol");
    const std::string inner = normal.substr(open + 1, close - open - 1);
    if (const std::string why = unsafe_change_of_basis(inner); !why.empty()) throw ConversionError(why);
    symbol = hall_of(*base_sg) + " (" + inner + ")";
  }
  return group_ops(gemmi::symops_from_hall(symbol.c_str()));
}

struct NamedGroup {
  std::vector<gemmi::Op> ops;
  std::string source, name;
  std::vector<std::string> notes;
};

// The group that the Hall symbol, else the Hermann-Mauguin name, else the
// number gives; empty ops when none does.
NamedGroup group_from_symbols(const CifBlock& b) {
  NamedGroup g;
  if (!b.hall.empty()) {
    try {
      g.ops = hall_ops(b.hall);
      const gemmi::SpaceGroup* sg = group_of(g.ops);
      g.name = sg ? sg->xhm() : b.hall;
      g.source = "the Hall symbol '" + b.hall + "'";
      return g;
    } catch (const std::exception& e) {
      g.ops.clear();
      g.notes.push_back("Hall symbol '" + b.hall + "' not understood (" + e.what() + ")");
    }
  }
  if (!b.hermann_mauguin.empty()) {
    const double alpha = b.cell.size() == 6 ? b.cell[3] : 0, gamma = b.cell.size() == 6 ? b.cell[5] : 0;
    if (const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(b.hermann_mauguin, alpha, gamma)) {
      g.ops = group_ops(sg->operations());
      g.name = sg->xhm();
      g.source = "the space-group name '" + b.hermann_mauguin + "'";
      if (b.hermann_mauguin.find(':') == std::string::npos) {
        if (sg->ext == '1')
          g.notes.push_back("no origin choice given with '" + b.hermann_mauguin + "': origin choice 1 taken");
        else if (sg->ext == 'H')
          g.notes.push_back("'" + b.hermann_mauguin + "' taken on hexagonal axes (from the cell angles)");
        else if (sg->ext == 'R')
          g.notes.push_back("'" + b.hermann_mauguin + "' taken on rhombohedral axes (from the cell angles)");
      }
      return g;
    }
    g.notes.push_back("space-group name '" + b.hermann_mauguin + "' not known");
  }
  if (!b.number.empty()) {
    char* end = nullptr;
    const long n = std::strtol(b.number.c_str(), &end, 10);
    if (*end == '\0' && n >= 1 && n <= 230) {
      const gemmi::SpaceGroup& sg = gemmi::get_spacegroup_reference_setting(static_cast<int>(n));
      g.ops = group_ops(sg.operations());
      g.name = sg.xhm();
      g.source = "the space-group number " + b.number;
      g.notes.push_back("only the number " + b.number + " is given: the standard setting " + sg.xhm() + " taken");
      return g;
    }
    g.notes.push_back("space-group number '" + b.number + "' not valid");
  }
  return g;
}

}  // namespace

Symmetry choose_symmetry(const CifBlock& b) {
  Symmetry s;
  std::vector<gemmi::Op> ops;
  NamedGroup named = group_from_symbols(b);
  if (!b.operators.empty()) {
    ListResult list = read_operator_list(b, s.notes);
    if (list.problem.empty()) {
      ops = list.ops;
      s.source = "the operator list (" + b.operators_tag + ")";
      const gemmi::SpaceGroup* sg = group_of(ops);
      s.name = sg ? sg->xhm() : "";
      if (!named.ops.empty() && !same_group(ops, named.ops)) {
        for (const auto& op : named.ops) s.other_ops.push_back(from_gemmi(op));
        s.other_source = named.source;
        s.other_name = named.name;
      }
      const std::size_t id = static_cast<std::size_t>(std::find(ops.begin(), ops.end(), gemmi::Op::identity()) - ops.begin());
      if (id != 0) {
        std::rotate(ops.begin(), ops.begin() + static_cast<long>(id), ops.begin() + static_cast<long>(id) + 1);
        s.notes.push_back("identity moved from place " + std::to_string(id + 1) + " of the operator list to place 1");
      }
    } else if (!named.ops.empty()) {
      s.warnings.push_back("the operator list is unusable: " + list.problem + "; operators from " + named.source + " instead");
    } else {
      throw ConversionError("no usable symmetry: the operator list is unusable: " + list.problem);
    }
  }
  if (ops.empty()) {
    if (named.ops.empty()) {
      std::string why = named.notes.empty() ? "no operator list, Hall symbol, space-group name or number" : named.notes.front();
      throw ConversionError("no usable symmetry: " + why);
    }
    ops = named.ops;
    s.source = named.source;
    s.name = named.name;
    s.notes.insert(s.notes.end(), named.notes.begin(), named.notes.end());
  }
  for (const auto& op : ops) {
    s.ops.push_back(from_gemmi(op));
    for (int t : op.tran)
      if (t % 4 != 0 && t % 6 != 0) s.text_form = false;  // 1/8, 1/12, ... have no text form
  }
  if (!s.text_form) s.notes.push_back("operators written as matrices: a translation is none of 1/2, 1/3, 1/4, 1/6 and their multiples");
  return s;
}

std::string operator_text(const SymOp& op) {
  std::string t = to_gemmi(op).triplet();
  std::string out;
  for (char c : t) out += c == ',' ? std::string(", ") : std::string(1, c);
  return out;
}

}  // namespace orbicutter::cif
