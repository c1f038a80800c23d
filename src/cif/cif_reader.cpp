// Reading a CIF with gemmi's parser. The atom-site loop is read here from
// gemmi's table rather than by its small-molecule reader: that reader takes a
// missing fractional column for 0 and lets a long disorder group overflow.
//
// This one file is compiled as C++17 (see cmake/cif.cmake): in C++20 clang 14
// refuses gemmi 0.5.7's document header, whose Block holds a vector of the
// still incomplete Item.
#include "cif/cif_reader.hpp"

#include <gemmi/cif.hpp>
#include <gemmi/numb.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cif/error.hpp"
#include "cif/text.hpp"

namespace orbicutter::cif {
namespace {

namespace gc = gemmi::cif;

// The first of `tags` that the block gives a value, without its quotes and
// surrounding blanks ("" when none).
std::string value_of(gc::Block& block, std::initializer_list<const char*> tags) {
  for (const char* tag : tags)
    if (const std::string* v = block.find_value(tag))
      if (!gc::is_null(*v)) return trimmed(gc::as_string(*v));
  return "";
}

std::string file_contents(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::exists(path, ec)) throw ConversionError("cannot read " + path + ": no such file");
  if (!fs::is_regular_file(path, ec)) throw ConversionError("cannot read " + path + ": not a file");
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  if (!in || !(ss << in.rdbuf()) || in.bad()) {
    // An empty file leaves the stream failed too; it is told apart below.
    if (fs::file_size(path, ec) != 0) throw ConversionError("cannot read " + path);
  }
  return ss.str();
}

// The line of the second header of a block name given twice (0 when not found).
std::size_t second_header_line(const std::string& text, const std::string& name) {
  const std::string wanted = lower("data_" + name);
  std::size_t line = 1, seen = 0;
  for (std::size_t p = 0; p < text.size(); ++line) {
    std::size_t e = text.find('\n', p);
    if (e == std::string::npos) e = text.size();
    const std::string l = lower(trimmed(text.substr(p, e - p)));
    if (l == wanted || l.rfind(wanted + " ", 0) == 0 || l.rfind(wanted + "\t", 0) == 0)
      if (++seen == 2) return line;
    p = e + 1;
  }
  return 0;
}

// gemmi reports "name:line:column: message" or "name:line in data_x: message";
// a block name given twice comes without a line, which is sought here.
[[noreturn]] void syntax_error(const std::string& path, const std::string& text, const std::string& what) {
  std::string where, message = what;
  if (what.rfind(path + ":", 0) == 0) {
    const std::string rest = what.substr(path.size() + 1);
    std::size_t digits = 0;
    while (digits < rest.size() && digits < 12 && std::isdigit(static_cast<unsigned char>(rest[digits]))) ++digits;
    if (digits > 0) {
      where = " at line " + rest.substr(0, digits);
      std::size_t c2 = rest.find(':', digits);
      if (digits < rest.size() && rest[digits] == ':') c2 = rest.find(':', digits + 1);
      message = c2 == std::string::npos ? rest.substr(digits) : rest.substr(c2 + 1);
    } else {
      message = rest;
    }
    message = trimmed(message);
  }
  const std::string dup = "duplicate block name: ";
  if (const auto at = message.find(dup); at != std::string::npos && where.empty()) {
    const std::string name = message.substr(at + dup.size());
    if (const std::size_t line = second_header_line(text, name)) where = " at line " + std::to_string(line);
    message = "block name data_" + name + " given twice";
  }
  if (message.find("expected block header") != std::string::npos && where == " at line 1")
    throw ConversionError(path + " is not a CIF (it does not start with a data_ block)");
  throw ConversionError(path + ": CIF syntax error" + where + ": " + message);
}

// A value written as a loop of one row (some programs loop the cell items);
// `rows` keeps the length of a longer loop, which gives no one value.
const std::string* one_row_loop_value(gc::Block& block, const char* tag, int& rows) {
  gc::Column col = block.find_values(tag);
  if (col.length() == 0 || !col.item() || col.item()->type != gc::ItemType::Loop) return nullptr;
  if (col.length() != 1) {
    rows = std::max(rows, col.length());
    return nullptr;
  }
  rows = std::max(rows, 1);
  return &col[0];
}

bool has_atom_sites(gc::Block& block) {
  return block.find_values("_atom_site_label").length() > 0 || block.find_values("_atom_site_fract_x").length() > 0;
}

// A disorder group as a whole number; gemmi's reader would overflow on a long
// one. Like that reader, anything after the digits is passed over and a value
// without digits is no group.
int disorder_group(const std::string& value, const std::string& label) {
  const std::string v = trimmed(value);
  const char* first = v.data();
  const char* last = v.data() + v.size();
  if (first != last && *first == '+') ++first;
  long long n = 0;
  const std::errc ec = std::from_chars(first, last, n).ec;
  if (ec == std::errc::invalid_argument) return 0;
  if (ec == std::errc::result_out_of_range || n < -max_disorder_group || n > max_disorder_group)
    throw ConversionError("site " + (label.empty() ? std::string("?") : label) + ": disorder group " + v +
                          " is out of range (at most " + std::to_string(max_disorder_group) + " either way)");
  return static_cast<int>(n);
}

// The atom-site loop: label, type, the three fractional coordinates,
// occupancy, calculation flag and disorder.
void read_sites(gc::Block& block, CifBlock& b) {
  const bool fract[3] = {block.find_values("_atom_site_fract_x").length() > 0 || block.find_value("_atom_site_fract_x"),
                         block.find_values("_atom_site_fract_y").length() > 0 || block.find_value("_atom_site_fract_y"),
                         block.find_values("_atom_site_fract_z").length() > 0 || block.find_value("_atom_site_fract_z")};
  if (!fract[0] && !fract[1] && !fract[2] && block.find_values("_atom_site_Cartn_x").length() > 0)
    b.coordinates_problem = "the atom sites have Cartesian coordinates only (_atom_site_Cartn_x); "
                            "fractional ones (_atom_site_fract_x, _y, _z) are needed";
  else
    for (int i = 0; i < 3; ++i)
      if (!fract[i]) {
        b.coordinates_problem = std::string("the atom sites have no column _atom_site_fract_") + "xyz"[i];
        break;
      }
  if (!b.coordinates_problem.empty()) return;
  enum { x, y, z, label, type, occupancy, flag, assembly, group };
  gc::Table t = block.find("_atom_site_", {"fract_x", "fract_y", "fract_z", "?label", "?type_symbol", "?occupancy",
                                           "?calc_flag", "?disorder_assembly", "?disorder_group"});
  int row = 0;
  for (auto r : t) {
    CifSite site;
    site.row = ++row;
    site.label = r.has2(label) ? gc::as_string(r[label]) : "";
    site.type_symbol = r.has2(type) ? gc::as_string(r[type]) : "";
    site.x = r.has2(x) ? gc::as_number(r[x]) : NAN;
    site.y = r.has2(y) ? gc::as_number(r[y]) : NAN;
    site.z = r.has2(z) ? gc::as_number(r[z]) : NAN;
    site.occupancy = r.has(occupancy) ? gc::as_number(r[occupancy], 1.0) : 1.0;
    site.calc_flag = r.has2(flag) ? gc::as_string(r[flag]) : "";
    site.disorder_assembly = r.has2(assembly) ? gc::as_string(r[assembly]) : "";
    site.disorder_group = r.has2(group) ? disorder_group(r[group], site.label) : 0;
    b.sites.push_back(site);
  }
}

CifBlock take_block(gc::Block& block) {
  CifBlock b;
  b.name = block.name;
  for (const char* item : {"_cell_length_a", "_cell_length_b", "_cell_length_c",
                           "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"}) {
    const std::string* v = block.find_value(item);
    if (!v) v = one_row_loop_value(block, item, b.cell_loop_rows);
    b.cell_text.push_back(v ? *v : "");
    b.cell.push_back(v && !gc::is_null(*v) ? gc::as_number(*v) : NAN);
  }
  for (const char* tag : {"_space_group_symop_operation_xyz", "_symmetry_equiv_pos_as_xyz"}) {
    gc::Column col = block.find_values(tag);
    if (col.length() == 0) continue;
    b.operators_tag = tag;
    for (const std::string& v : col) b.operators.push_back(gc::is_null(v) ? "" : gc::as_string(v));
    break;
  }
  b.hall = value_of(block, {"_space_group_name_Hall", "_symmetry_space_group_name_Hall"});
  b.hermann_mauguin = value_of(block, {"_space_group_name_H-M_alt", "_symmetry_space_group_name_H-M"});
  b.number = value_of(block, {"_space_group_IT_number", "_symmetry_Int_Tables_number"});
  b.formula_sum = value_of(block, {"_chemical_formula_sum"});
  b.formula_moiety = value_of(block, {"_chemical_formula_moiety"});
  b.z = value_of(block, {"_cell_formula_units_Z"});

  read_sites(block, b);
  return b;
}

}  // namespace

std::vector<CifBlock> read_cif(const std::string& path) {
  const std::string text = file_contents(path);
  if (text.find_first_not_of(" \t\r\n") == std::string::npos)
    throw ConversionError(path + " is not a CIF (the file is empty)");
  gc::Document doc;
  try {
    doc = gc::read_memory(text.data(), text.size(), path.c_str());
  } catch (const std::exception& e) {
    syntax_error(path, text, e.what());
  }
  std::vector<CifBlock> blocks;
  for (gc::Block& block : doc.blocks) {
    if (!has_atom_sites(block)) continue;
    try {
      blocks.push_back(take_block(block));
    } catch (const ConversionError&) {
      throw;
    } catch (const std::exception& e) {
      throw ConversionError(path + ", block " + block.name + ": " + e.what());
    }
  }
  return blocks;
}

}  // namespace orbicutter::cif
