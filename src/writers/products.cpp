// The table of output programs. A new program is a writer file and a row here.
#include "writers/products.hpp"

#include "writers/writers.hpp"

namespace orbicutter {
namespace {

const Product table[] = {
    {.keyword = "XYZF",
     .flag = &Keywords::kxyz,
     .suffix = ".xyz",
     .about = "XYZ coordinates of the cluster",
     .generation = " XYZ file generation = ",
     .name = " XYZ file name = ",
     .echo_after = "TEST",
     .write = writexyz},
    {.keyword = "XYZF",
     .flag = &Keywords::kxyz,
     .value = 2,
     .suffix = ".xyz",
     .about = "the same as extended XYZ",
     .generation = nullptr,
     .name = " XYZ file name = ",
     .echo_after = nullptr,
     .write = write_extended_xyz,
     .always_listed = false},
    {.keyword = "SHLX",
     .flag = &Keywords::kshelx,
     .suffix = ".res",
     .about = "SHELX structure file",
     .generation = " SHELX-type RES file generation = ",
     .name = " RES file name = ",
     .echo_after = "GAUF",
     .write = writeres},
    {.keyword = "ADFF",
     .flag = &Keywords::kadf,
     .suffix = ".adf",
     .about = "ADF QM/MM script",
     .generation = " ADF input file generation = ",
     .name = " ADF input file name = ",
     .echo_after = "CHRG",
     .write = writeadf,
     .charges = " Writing charges into the ADF input file = ",
     .charges_listed = [](const Keywords& kw) { return kw.kadf == 1; }},
    {.keyword = "GAUF",
     .flag = &Keywords::kgaussian,
     .suffix = ".gjf",
     .about = "Gaussian input template",
     .generation = " GAUSSIAN input file generation = ",
     .name = " GAUSSIAN input file name = ",
     .echo_after = "ADFF",
     .write = writegaussian,
     .charges = " Writing charges into the GAUSSIAN input file = ",
     // Shown only beside the ADF line, as every log has shown it.
     .charges_listed = [](const Keywords& kw) { return kw.kadf == 1 && kw.kgaussian == 1; }},
    {.keyword = "ORCF",
     .flag = &Keywords::korca,
     .suffix = ".orca.inp",
     .about = "ORCA input template",
     .generation = " ORCA input file generation = ",
     .name = " ORCA input file name = ",
     .echo_after = "CRYF",
     .write = write_orca,
     .charges = " Writing charges into the ORCA point charge file = ",
     .charges_listed = [](const Keywords& kw) { return kw.korca == 1; },
     .always_listed = false,
     .companion = ".orca.pc",
     .companion_wanted = [](const Keywords& kw) { return kw.kcharge == 1; },
     .write_companion = write_orca_point_charges},
    {.keyword = "CRYF",
     .flag = &Keywords::kcrystal,
     .suffix = ".d12",
     .about = "CRYSTAL input template",
     .generation = " CRYSTAL input file generation = ",
     .name = " CRYSTAL input file name = ",
     .echo_after = "GECR",
     .write = writecrystal,
     .crystal = true},
};

}  // namespace

std::span<const Product> products() { return table; }

}  // namespace orbicutter
