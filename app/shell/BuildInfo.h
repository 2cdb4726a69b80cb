#pragma once
#include <string>

// One paragraph saying what this build of nprtable can do, for the program's start-up line.
std::string nprtableBuildDescription(const std::string& configFile);
