// Reading a CIF with gemmi: its parser, and its small-molecule structure reader
// for the atom sites.
#include "cif/cif_reader.hpp"

#include <gemmi/cif.hpp>
#include <gemmi/smcif.hpp>

#include <algorithm>
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

// gemmi reports "name:line:column: message"; the error line says it in words.
[[noreturn]] void syntax_error(const std::string& path, const std::string& what) {
  std::string where, message = what;
  if (what.rfind(path + ":", 0) == 0) {
    std::string rest = what.substr(path.size() + 1);
    std::size_t c1 = rest.find(':');
    if (c1 != std::string::npos) {
      where = " at line " + rest.substr(0, c1);
      std::size_t c2 = rest.find(':', c1 + 1);
      message = c2 == std::string::npos ? rest.substr(c1 + 1) : rest.substr(c2 + 1);
      if (!message.empty() && message[0] == ' ') message.erase(0, 1);
    }
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

  // Labels, types, coordinates, occupancies and disorder groups as gemmi reads
  // them; the calculation flag and disorder assembly from the same loop rows.
  const gemmi::SmallStructure st = gemmi::make_small_structure_from_block(block);
  gc::Table extra = block.find("_atom_site_", {"label", "?type_symbol", "?calc_flag", "?disorder_assembly"});
  int row = 0;
  for (auto r : extra) {
    const auto& s = st.sites.at(static_cast<std::size_t>(row));
    CifSite site;
    site.row = ++row;
    site.label = gc::is_null(r[0]) ? "" : s.label;
    site.type_symbol = r.has2(1) ? s.type_symbol : "";
    site.x = s.fract.x, site.y = s.fract.y, site.z = s.fract.z;
    site.occupancy = s.occ;
    site.calc_flag = r.has2(2) ? gc::as_string(r[2]) : "";
    site.disorder_assembly = r.has2(3) ? gc::as_string(r[3]) : "";
    site.disorder_group = s.disorder_group;
    b.sites.push_back(site);
  }
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
    syntax_error(path, e.what());
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
