// Output files for outside programs.
#pragma once

#include "model/run.hpp"
#include "writers/view.hpp"

namespace orbicutter {

void writexyz(const ClusterView& view, Unit& unit);
void writeadf(const ClusterView& view, Unit& unit);
void writeres(const ClusterView& view, Unit& unit);
void writecrystal(const ClusterView& view, Unit& unit);
void writegaussian(const ClusterView& view, Unit& unit);
void write_extended_xyz(const ClusterView& view, Unit& unit);
void write_orca(const ClusterView& view, Unit& unit);
// The companion of the ORCA input with CHRG 1: the cluster atoms outside the
// central molecule as point charges.
void write_orca_point_charges(const ClusterView& view, Unit& unit);

// Dimer d as XYZ: the central molecule, then the partner.
void write_dimer(const ClusterView& view, const DimerEntry& d, Unit& unit);
// The same atoms tagged (Fragment=1) and (Fragment=2): a counterpoise job's molecule block.
void write_counterpoise(const ClusterView& view, const DimerEntry& d, Unit& unit);
// Test mode: every atom of the whole molecules, centred on the cluster centre, as XYZ.
void write_testmol(const Run& run, Unit& unit);

}  // namespace orbicutter
