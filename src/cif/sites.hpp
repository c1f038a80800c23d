// Atom sites on their way from the CIF to the input, and the rules that keep
// or drop them: unknown and dummy sites, disorder groups, occupancy.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "cif/cif_reader.hpp"

namespace orbicutter::cif {

struct Cell {
  double a = 0, b = 0, c = 0, alpha = 0, beta = 0, gamma = 0;  // angstrom, degrees
};

struct Site {
  CifSite cif;                  // as read
  std::string element;          // symbol as the input gives it
  bool element_from_label = false;
  std::array<double, 3> fract{};  // written position (moved onto a special position)
  int site_order = 1;           // coinciding images on a special position, itself included
  double moved = 0;             // angstrom moved onto the special position
  double occupancy = 1;         // chemical occupancy
  std::string label;            // written 3-character label
};

struct DroppedSite {
  std::string label;   // CIF label
  std::string reason;  // shared by the sites dropped alike
  std::string detail;  // per site ("0.17" for an occupancy), may be empty
};

// The disorder groups of each assembly, both in order of first appearance, with
// the summed and the largest occupancy of each group's sites.
struct DisorderGroup {
  int id = 0;
  double sum = 0, max = 0;
};
struct DisorderAssemblies {
  std::vector<std::string> order;
  std::map<std::string, std::vector<DisorderGroup>> groups;
};
DisorderAssemblies disorder_assemblies(const std::vector<Site>& sites);

struct SiteRules {
  double min_occupancy = 0.5;
  int disorder_group = 0;  // 0: per assembly the group of larger occupancy
  std::vector<std::string> drop;  // CIF labels dropped on request
};

// Unknown and dummy sites, sites dropped on request and sites without an
// element; the rest with their elements. `known` as for site_element.
std::vector<Site> usable_sites(const std::vector<CifSite>& sites, const SiteRules& rules,
                               const std::vector<std::string>& known_elements,
                               std::vector<DroppedSite>& dropped, std::vector<std::string>& notes);

// Disorder and occupancy: one group per assembly, the sites outside groups
// with enough occupancy. Needs the chemical occupancies.
std::vector<Site> occupied_sites(const std::vector<Site>& sites, const SiteRules& rules,
                                 std::vector<DroppedSite>& dropped, std::vector<std::string>& notes);

}  // namespace orbicutter::cif
