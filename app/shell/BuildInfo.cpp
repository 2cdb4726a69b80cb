#include "BuildInfo.h"

std::string nprtableBuildDescription(const std::string& configFile)
{
    return "nprtable: this build contains the tavlor component framework (component tree, buffer "
           "grids, vector and spline math) but not yet the table window; nothing is shown and "
           "the configuration \"" + configFile + "\" is not read.";
}
