// The plain results of the library: the input as understood, the whole
// molecules, the cluster and its dimers. Numbers that the run log prints
// (molecules, operations, dimers) count from 1; vector positions from 0.
#pragma once

#include <string>
#include <vector>

namespace orbicutter {

// Fractions of the cell edges a, b, c.
struct Fractional {
  double x = 0, y = 0, z = 0;
};

// Angstrom, in the orthogonal frame of the cell: x along a, y in the ab plane.
struct Cartesian {
  double x = 0, y = 0, z = 0;
};

// Whole-cell translation along a, b, c.
struct CellTranslation {
  int a = 0, b = 0, c = 0;
};

struct Cell {
  double a = 0, b = 0, c = 0;             // angstrom
  double alpha = 0, beta = 0, gamma = 0;  // degrees
};

struct SymmetryOperation {
  int number = 0;
  std::string text;            // "-x+1/2, y+1/2, -z"
  double rotation[3][3] = {};  // rotation[i][j] multiplies fractional coordinate j into component i
  Fractional translation;
};

struct Atom {
  std::string element;  // symbol, as given ("C", "Cl")
  std::string label;    // label, as given ("C1")
  Fractional fractional;
  Cartesian cartesian;  // from the centre in a Cluster, elsewhere from the cell's origin
  int molecule = 0;     // number of the molecule (or input fragment) that holds the atom
  // The input atom it is, or that it is an image of, numbered as the log's
  // "total atom number": in input order, or, after the fragment search, in the
  // order of the fragments it found.
  int input_atom = 0;
  int operation = 0;    // the symmetry operation that produced it (0: no identity among the operators)
  CellTranslation translation;
  double charge = 0;  // with CHRG 1; else 0
};

// A molecule: atoms[first] to atoms[first + count - 1] of the list it belongs to.
struct Molecule {
  int number = 0;
  int fragment = 0;  // the molecule of the asymmetric unit it is a copy of
  int first = 0;
  int count = 0;
  int operation = 0;  // of its first atom
  CellTranslation translation;
};

// The options of the input file, as the reader left them.
struct Options {
  double dmax = 0;                   // DMAX: cluster radius, angstrom
  int cluster_method = 0;            // CLUS 1..3: how far a molecule may reach
  bool fragment_shift = false;       // FRGM 1st: fragment centres into the unit cell
  bool fragment_completion = false;  // FRGM 2nd: molecules completed by bonded images
  bool fragment_search = false;      // FRGM 3rd: input atoms regrouped into bonded fragments
  double bond_tolerance = 0;         // TOLS 1st, angstrom
  bool metal_tolerance = false;      // MTOL given
  double metal_bond_tolerance = 0;   // MTOL: bonds with a metal, angstrom, instead of TOLS 1st
  double ring_tolerance = 0;         // TOLS 2nd, angstrom
  double group_tolerance = 0;        // TOLS 3rd, angstrom
  double contact_tolerance = 0;      // TOLS 4th, angstrom, for dimers
  bool charges = false;              // CHRG
  int verbosity = 0;                 // VERB
  bool test_mode = false;            // TEST (the library builds the cluster all the same)
  bool standardise_xh = false;       // STXH switch
  int manual_xh = 0;                 // STXH count: > 0 instead of, < 0 after the automatic categories
  bool exclude_bonds = false;        // EXBD
  bool rings = false;                // RING
  bool nics = false;                 // NICS (only with RING 1)
  double nics_distance = 0;          // angstrom
  int nics_points = 0;               // per side of each ring
  bool fixed_centre = false;         // GECR
  Fractional centre;                 // the fixed centre
  bool dimers = false;               // DIMR (the library finds dimers when asked all the same)
  // The output switches XYZF, SHLX, CRYF, GAUF, ADFF, ORCF.
  int xyz_file = 0, shelx_file = 0, crystal_file = 0, gaussian_file = 0, adf_file = 0, orca_file = 0;
};

// The crystal as read: cell, operators and the atoms of the asymmetric unit,
// with `molecule` the fragment number of their block header and operation 0.
struct Crystal {
  Cell cell;
  std::string crystal_system;  // "monoclinic", ...; empty when no rule names one
  std::vector<SymmetryOperation> operations;
  std::vector<Atom> atoms;
};

// The whole molecules of the asymmetric unit after fragment search, shift,
// completion and X-H standardisation; Atom::molecule is the molecule number.
struct Molecules {
  std::vector<Atom> atoms;
  std::vector<Molecule> molecules;
  // Per atom, the positions in `atoms` (from 0) of the atoms bonded to it,
  // ascending: the connectivity found before X-H standardisation.
  std::vector<std::vector<int>> bonds;
};

// The cluster: the central molecule first, then every copy within reach.
struct Cluster {
  Fractional centre;
  Cartesian centre_cartesian;  // the centre in the cell frame; atom positions are relative to it
  std::vector<Atom> atoms;
  std::vector<Molecule> molecules;
};

// A dimer: the central molecule and a touching neighbour, standing for all
// neighbours at the same centroid distance.
struct Dimer {
  int number = 0;    // the neighbour's number among the molecules after the central one (file dimer_N.xyz)
  int molecule = 0;  // the neighbour's number in Cluster::molecules
  int fragment = 0;     // the molecule of the asymmetric unit the neighbour is a copy of
  std::string formula;  // the neighbour's formula, carbon and hydrogen first ("C9 H14 N", "O4 S")
  int operation = 0;
  CellTranslation translation;
  std::string symmetry_code;  // ORTEP code: translations + 5, 0, operation ("55502")
  double distance = 0;        // centroid distance from the cluster centre, angstrom
  int multiplicity = 0;       // neighbours at that distance, itself included
};

// An output file the program can write for an outside program: one row of its
// table of writers, from which a front end can offer one option per program.
struct OutputWriter {
  std::string keyword;    // the input switch ("XYZF", "ORCF")
  int value = 1;          // the switch value that asks for this file
  std::string option;     // a short name for a command-line option ("xyz", "orca", "gaussian")
  std::string form;       // where one switch has several files: "plain", "extended"; else empty
  std::string suffix;     // appended to the system name (".orca.inp")
  std::string companion;  // a second file written beside it with CHRG 1 (".orca.pc"); else empty
  std::string about;      // what the file is ("ORCA input template")
};

// A warning the run showed in a box: the step that warned ("READINP",
// "FRAGMENTS", "CLUSTER") and the message lines without their arrows.
struct Warning {
  std::string phase;
  std::vector<std::string> messages;
};

}  // namespace orbicutter
