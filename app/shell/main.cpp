// nprtable entry point. The table window is not built yet: for now the program only reports
// which parts of the system this build contains.
#include "BuildInfo.h"

#include <iostream>

int main(int argc, char** argv)
{
    const char* configFile = argc > 1 ? argv[1] : "config.xml";
    std::cout << nprtableBuildDescription(configFile) << std::endl;
    return 0;
}
