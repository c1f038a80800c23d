// Output files for outside programs.
#pragma once

#include "writers/view.hpp"

namespace orbicutter {

void writexyz(const WriterInput& in, Unit& unit);
void writeadf(const WriterInput& in, Unit& unit);
void writeres(const WriterInput& in, Unit& unit);
void writecrystal(const WriterInput& in, Unit& unit);
void writegaussian(const WriterInput& in, Unit& unit);
void write_extended_xyz(const WriterInput& in, Unit& unit);
void write_orca(const WriterInput& in, Unit& unit);
// The companion of the ORCA input with CHRG 1: the cluster atoms outside the
// central molecule as point charges.
void write_orca_point_charges(const WriterInput& in, Unit& unit);

// Dimer d as XYZ: the central molecule, then the partner.
void write_dimer(const WriterInput& in, const DimerEntry& d, Unit& unit);
// The same atoms tagged (Fragment=1) and (Fragment=2): a counterpoise job's molecule block.
void write_counterpoise(const WriterInput& in, const DimerEntry& d, Unit& unit);
// Test mode: every atom of the whole molecules, in angstrom from the fractional
// `centre` through the orthogonalisation `mt`, as XYZ titled `name`.
void write_testmol(const std::vector<MoleculeAtom>& atoms, const Mat3& mt, const Vec3& centre, const std::string& name,
                   Unit& unit);

}  // namespace orbicutter
