// The table of output programs. A new program is a writer file and a row here.
#include "writers/products.hpp"

#include "writers/writers.hpp"

namespace orbicutter {
namespace {

const Product table[] = {
    {.keyword = "XYZF",
     .flag = &Keywords::kxyz,
     .suffix = ".xyz",
     .generation = " XYZ file generation = ",
     .name = " XYZ file name = ",
     .echo_after = "TEST",
     .write = writexyz},
    {.keyword = "SHLX",
     .flag = &Keywords::kshelx,
     .suffix = ".res",
     .generation = " SHELX-type RES file generation = ",
     .name = " RES file name = ",
     .echo_after = "GAUF",
     .write = writeres},
    {.keyword = "ADFF",
     .flag = &Keywords::kadf,
     .suffix = ".adf",
     .generation = " ADF input file generation = ",
     .name = " ADF input file name = ",
     .echo_after = "CHRG",
     .write = writeadf,
     .charges = " Writing charges into the ADF input file = ",
     .charges_listed = [](const Keywords& kw) { return kw.kadf == 1; }},
    {.keyword = "GAUF",
     .flag = &Keywords::kgaussian,
     .suffix = ".gjf",
     .generation = " GAUSSIAN input file generation = ",
     .name = " GAUSSIAN input file name = ",
     .echo_after = "ADFF",
     .write = writegaussian,
     .charges = " Writing charges into the GAUSSIAN input file = ",
     // Shown only beside the ADF line, as every log has shown it.
     .charges_listed = [](const Keywords& kw) { return kw.kadf == 1 && kw.kgaussian == 1; }},
    {.keyword = "CRYF",
     .flag = &Keywords::kcrystal,
     .suffix = ".d12",
     .generation = " CRYSTAL input file generation = ",
     .name = " CRYSTAL input file name = ",
     .echo_after = "GECR",
     .write = writecrystal,
     .crystal = true},
};

}  // namespace

std::span<const Product> products() { return table; }

}  // namespace orbicutter
