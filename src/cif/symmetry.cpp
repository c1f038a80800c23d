// Symmetry operators with gemmi's operator parser and space-group tables. The
// operator list comes first; a list that is not a space group gives way to the
// symbols, with a warning, since a wrong operator would build a wrong crystal.
#include "cif/symmetry.hpp"

#include <gemmi/symmetry.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <set>

#include "cif/error.hpp"

namespace orbicutter::cif {
namespace {

constexpr int den = gemmi::Op::DEN;

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

bool same_group(std::vector<gemmi::Op> a, std::vector<gemmi::Op> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
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
      g.ops = group_ops(gemmi::symops_from_hall(b.hall.c_str()));
      const gemmi::SpaceGroup* sg = group_of(g.ops);
      g.name = sg ? sg->xhm() : b.hall;
      g.source = "the Hall symbol '" + b.hall + "'";
      return g;
    } catch (const std::exception&) {
      g.notes.push_back("Hall symbol '" + b.hall + "' not understood");
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
