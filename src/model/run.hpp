// The run context: the six groups of shared state that every phase reads and fills.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/text.hpp"
#include "format/unit.hpp"
#include "model/name3.hpp"
#include "model/real.hpp"
#include "model/table.hpp"

namespace orbicutter {

using Vec3 = Vec3T<real>;
using Mat3 = Mat3T<real>;

struct GlobalVar {
  std::string inpf;     // the input file, as the command line gives it
  std::string outf;     // the system name; every output file is outf + suffix
  std::string sysname;  // crystal system name, trimmed ("" when no rule applies)
  real tol1 = 0, tol2 = 0, tol3 = 0, tol4 = 0;
  real mtol = 0;        // bond tolerance of pairs with a metal, when kmtol is 1
  int nat = 0;
  int natasym = 0;
  int nfrag = 0;
  int nsym = 0;
  int ncells = 0;
  int nrings = 0;
  int nnics = 0;
  real dnics = 0;
  int nxh = 0;
  Table<int> axh;          // (|nxh|, 2): X atom, H atom
  Vec<real> dxh;           // (|nxh|): target distance
  int nex = 0;
  Table<std::string> aex;  // (nex, 2): excluded element pairs, 3-character texts
};

struct Keywords {
  int kxyz = 1, kadf = 0, kshelx = 0, kcrystal = 0, kgaussian = 0;
  int kcharge = 0, kver = 0, ktestmol = 0;
  int kfragmentize = 1, kfragsft = 1, kfragbld = 0;
  int kbuild = 1, kstxh = 1, kexbd = 0, kring = 0, knics = 0, kgecr = 0;
  int kchover = 0, kdimer = 0, ksymmf = 0;
  int korca = 0;
  int kmtol = 0;  // MTOL given: bonds to metals take their own tolerance
};

struct Geometry {
  real a = 0, b = 0, c = 0;
  real alpha = 0, beta = 0, gamma = 0;  // radians after input
  Mat3 mt;                              // orthogonalisation: Cartesian = mt * fractional
  Mat3 g;                               // metric tensor
  Table3<real> rot;                     // (nsym, 3, 3)
  Table<real> trans;                    // (nsym, 3)
  real dmax = 0;
  Vec3 geomcent, geomcentfix;
};

// The columns of the atom description tables (finfo, allinfo, the molecule of the
// fragment phases and their companions; the cluster's atoms name the same
// columns as fields). The log's legends count the two name columns first, so
// column k is legend item k + 2.
enum InfoColumn : int {
  total_atom = 1,          // the atom's number in the input list; an image keeps its source's
  fragment_atom = 2,       // the atom's number within its fragment (an image: its source's)
  fragment_number = 3,     // the fragment that holds the atom
  symmetry_operation = 4,  // the operator that produced the atom (the identity for input atoms)
  translation_a = 5,       // whole-cell translation added along a
  translation_b = 6,       // ... along b
  translation_c = 7,       // ... along c
  molecule_atom = 8,       // the atom's row in the all-atom tables
};
// How many of those columns each table set carries.
inline constexpr int input_info_columns = fragment_number;  // finfo, tinfo
inline constexpr int moved_info_columns = translation_c;    // a molecule while fragments are modified
inline constexpr int all_info_columns = molecule_atom;      // allinfo

// The columns of the fragment table frag.
enum FragColumn : int {
  frag_id = 1,    // the fragment number
  frag_size = 2,  // its number of atoms
};

struct Atoms {
  Table<std::string> fatns;  // (nat, 2) element, label
  Table<int> finfo;          // (nat, input_info_columns)
  Table<real> fgeom;         // (nat, 3)
  Vec<real> fcharge;         // (nat), when kcharge = 1
  Table<int> frag;           // (nfrag, 2) frag_id, frag_size
  // (nat, 4) after the fragment search: the operator and translation that put
  // each atom where it stands, operator 0 for its input position.
  Table<int> fimage;


  Table<std::string> allatns;  // (nat, 2)
  Table<int> allinfo;          // (nat, all_info_columns)
  Table<real> allgeom;         // (nat, 3)
  Vec<real> allcharge;         // (nat)
  Table<int> allbonds;         // (nat, nat) bonded atoms, ascending, then zeros
  Table<int> allcont;          // (nat, nat) connectivity matrix
  Table<int> rcont;            // reduced connectivity matrix

  Vec<int> rings;          // (nrings) ring sizes
  Table<int> ringatoms;    // (nrings, largest ring) total atom numbers
  Vec<int> specrings;      // (nrings) 1 for a planar ring
  Vec<int> planaratoms;    // (nat) 1 for an atom with a planar neighbourhood
};

struct Temporary {
  Table<real> nics0, nics1, nics2;  // ring centres and probe points, Cartesian
};

struct Parameters {
  Mat3 runitmat3 = [] { Mat3 u; u(1, 1) = u(2, 2) = u(3, 3) = 1; return u; }();
  Vec3 rzero3;
};

// Where the phases' text goes. The program connects the run log file and
// standard output; a sink left as it is (units without a stream) drops every line.
struct LogSink {
  Unit log;  // the run log, NAME.out
  Unit out;  // standard output: reader warnings, and the routine banners and CPU-time lines of the driver
};

// A warning box as the run showed it: the phase of its title and its message lines.
struct WarningBox {
  std::string phase;
  std::vector<std::string> messages;
};

// What the structure checks leave for later steps and for the library.
struct Diagnostics {
  bool enabled = true;                // off only to measure what the checks cost
  bool images_close = false;          // some atom lies within 0.5 A of an image of another
  std::vector<WarningBox> warnings;   // every warning box of the run, in order
};

// The version the banner prints.
inline constexpr const char* program_version = "01.03.2018:01";

struct Run {
  GlobalVar gv;
  Keywords kw;
  Geometry geo;
  Atoms at;
  Temporary tmp;
  Parameters par;
  LogSink sink;
  Diagnostics diag;
  std::string version = program_version;
};

}  // namespace orbicutter
