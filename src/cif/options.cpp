// Command line of orbicutter-cif: GNU-style long options, values as the next
// argument or after "=".
#include "cif/options.hpp"

#include <charconv>
#include <cmath>
#include <sstream>

#include "cif/error.hpp"
#include "cif/keyword_input.hpp"

namespace orbicutter::cif {
namespace {

double to_real(const std::string& option, const std::string& text) {
  double v = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || p != end || !std::isfinite(v))
    throw ConversionError("option " + option + " needs a number, not '" + text + "'");
  return v;
}

int to_integer(const std::string& option, const std::string& text) {
  int v = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || p != end)
    throw ConversionError("option " + option + " needs a whole number, not '" + text + "'");
  return v;
}

}  // namespace

Options parse_command_line(const std::vector<std::string>& args) {
  Options o;
  std::vector<std::string> positional;
  std::size_t i = 0;
  bool options_done = false;
  while (i < args.size()) {
    std::string arg = args[i++];
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    std::string name = arg, attached;
    bool has_attached = false;
    if (arg.rfind("--", 0) == 0) {
      if (auto eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        attached = arg.substr(eq + 1);
        has_attached = true;
      }
    } else if (arg.size() > 2) {  // -oFILE
      name = arg.substr(0, 2);
      attached = arg.substr(2);
      has_attached = true;
    }
    // The n values of an option: the attached one first, then the next arguments.
    auto values = [&](std::size_t n) {
      std::vector<std::string> v;
      if (has_attached) v.push_back(attached);
      while (v.size() < n) {
        if (i >= args.size()) throw ConversionError("option " + name + " needs " + std::to_string(n) + (n == 1 ? " value" : " values"));
        v.push_back(args[i++]);
      }
      return v;
    };
    auto flag = [&] {
      if (has_attached) throw ConversionError("option " + name + " takes no value");
    };

    if (name == "-h" || name == "--help") flag(), o.help = true;
    else if (name == "-V" || name == "--version") flag(), o.version = true;
    else if (name == "-o" || name == "--output") o.output = values(1)[0];
    else if (name == "--block") o.block = values(1)[0];
    else if (name == "--list") flag(), o.list = true;
    else if (name == "--run") flag(), o.run = true;
    else if (name == "--check") flag(), o.check = true;
    else if (name == "--dmax") {
      o.dmax = to_real(name, values(1)[0]);
      if (o.dmax <= 0) throw ConversionError("option --dmax needs a positive distance");
    } else if (name == "--method") {
      const std::string m = values(1)[0];
      if (m == "centre" || m == "center") o.method = 1;
      else if (m == "radius") o.method = 2;
      else if (m == "shape") o.method = 3;
      else throw ConversionError("option --method takes centre, radius or shape, not '" + m + "'");
    } else if (name == "--dimers") flag(), o.dimers = true;
    else if (is_output_option(name)) {
      if (output_takes_value(name)) choose_output(o.outputs, name, values(1)[0]);
      else flag(), choose_output(o.outputs, name, "");
    } else if (name == "--centre" || name == "--center") o.centre = values(1)[0];
    else if (name == "--charges") o.charges = values(1)[0];
    else if (name == "--molecule-charge") {
      const std::string v = values(1)[0];
      const auto eq = v.rfind('=');
      if (eq == std::string::npos || eq == 0)
        throw ConversionError("option --molecule-charge takes FORMULA=Q, not '" + v + "'");
      o.molecule_charges.emplace_back(v.substr(0, eq), to_integer(name, v.substr(eq + 1)));
    } else if (name == "-d" || name == "--directory") o.run_folder = values(1)[0];
    else if (name == "--rings") flag(), o.rings = true;
    else if (name == "--nics") {
      if (has_attached) throw ConversionError("option --nics takes two values: --nics D M");
      auto v = values(2);
      const double d = to_real(name, v[0]);
      const int m = to_integer(name, v[1]);
      if (d <= 0 || m < 1) throw ConversionError("option --nics needs a positive distance and at least one point");
      o.nics = {d, m};
      o.rings = true;  // probe points stand above the rings
    } else if (name == "--no-xh") flag(), o.no_xh = true;
    else if (name == "--tols") {
      if (has_attached) throw ConversionError("option --tols takes four values: --tols T1 T2 T3 T4");
      std::vector<double> t;
      for (const auto& s : values(4)) t.push_back(to_real(name, s));
      if (t[0] < 0) throw ConversionError("option --tols: the bond tolerance T1 may not be negative");
      o.tols = t;
    } else if (name == "--mtol") {
      o.mtol = to_real(name, values(1)[0]);
      if (*o.mtol < 0) throw ConversionError("option --mtol: the metal bond tolerance may not be negative");
    } else if (name == "--verbose") o.verbose = to_integer(name, values(1)[0]);
    else if (name == "--test") flag(), o.test = true;
    else if (name == "--keyword") {
      const std::string line = values(1)[0];
      if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos)
        throw ConversionError("option --keyword takes one line");
      o.keywords.push_back(line);
    } else if (name == "--disorder-group") o.disorder_group = to_integer(name, values(1)[0]);
    else if (name == "--min-occupancy") {
      o.min_occupancy = to_real(name, values(1)[0]);
      if (o.min_occupancy < 0 || o.min_occupancy > 1) throw ConversionError("option --min-occupancy needs a value from 0 to 1");
    } else if (name == "--drop") {
      std::stringstream ss(values(1)[0]);
      for (std::string label; std::getline(ss, label, ',');)
        if (!label.empty()) o.drop.push_back(label);
    } else {
      throw ConversionError("unknown option " + name + " (see --help)");
    }
  }
  if (o.help || o.version) return o;
  if (positional.empty()) throw ConversionError("no CIF file given (see --help)");
  if (positional.size() > 1) throw ConversionError("one CIF file at a time, not '" + positional[0] + "' and '" + positional[1] + "'");
  o.cif_path = positional[0];
  if (!o.run_folder.empty() && !o.run) throw ConversionError("-d names the folder of --run; add --run");
  if (!o.run_folder.empty() && !o.output.empty()) throw ConversionError("-d and -o both place the input; give one");
  if (o.output == "-" && o.run) throw ConversionError("--run needs an input file; it cannot run on -o -");
  return o;
}

std::string help_text() {
  std::ostringstream s;
  s << "Usage: orbicutter-cif [options] crystal.cif\n"
       "Turns a crystallographic information file into a keyword input for orbicutter.\n"
       "\n"
       "  -o, --output FILE      write the input to FILE (default: crystal.inp in the\n"
       "                         current folder); '-' writes it to standard output\n"
       "      --block NAME       use data block NAME (default: the first with atom sites)\n"
       "      --list             list the data blocks with atoms, formulas and space groups\n"
       "      --run              run orbicutter on the written input, then check molecules;\n"
       "                         without -o every file goes to the folder NAME/ beside the CIF\n"
       "  -d, --directory DIR    the folder of --run instead of NAME/\n"
       "      --check            check the rebuilt molecules against the moiety formula\n"
       "Keywords of the input:\n"
       "      --dmax R           cluster radius (DMAX, default 8)\n"
       "      --method M         cluster building: centre, radius or shape (CLUS 1/2/3)\n"
       "      --dimers           dimers of the central molecule (DIMR 1; dimer_N.xyz)\n"
       "      --centre WHICH     the central molecule: largest (default: most atoms\n"
       "                         other than hydrogen), a CIF label of one of its atoms,\n"
       "                         or its formula (C9H14N)\n"
       "      --charges SOURCE   atomic charges (CHRG 1): xtb (GFN2-xTB per molecule, Debian\n"
       "                         package xtb), a file of 'label charge' lines, or none\n"
       "      --molecule-charge FORMULA=Q   formal charge of a molecule for xtb when the\n"
       "                         moiety formula gives none (default 0)\n"
       "Output files:\n" << output_help() << "Other keywords:\n"
       "      --rings            find the rings and test their planarity (RING)\n"
       "      --nics D M         M probe points up to D above each ring (NICS; implies --rings)\n"
       "      --no-xh            leave X-H bonds as they are (STXH 0)\n"
       "      --tols T1 T2 T3 T4 bond, ring, group and dimer tolerances (TOLS; default\n"
       "                         " << default_tolerances_text() << ")\n"
       "      --mtol T           bond tolerance of pairs with a metal (MTOL; default\n"
       "                         " << decimal(default_metal_tolerance) << ")\n"
       "      --verbose N        log detail (VERB N)\n"
       "      --test             stop after rebuilding the molecules (TEST 1)\n"
       "      --keyword 'LINE'   append LINE to the input as written (repeatable)\n"
       "Sites:\n"
       "      --disorder-group N keep disorder group N (default: the larger occupancy)\n"
       "      --min-occupancy X  drop sites outside disorder groups below X (default 0.5)\n"
       "      --drop L1,L2,...   drop the sites with these CIF labels (repeatable)\n"
       "  -h, --help             this text\n"
       "  -V, --version          the version\n";
  return s.str();
}

}  // namespace orbicutter::cif
