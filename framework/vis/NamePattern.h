#pragma once
// File-name patterns with one integer conversion ("images/picture%d.png"), as configuration
// files give them. Formatting checks the pattern first, so a pattern from a file can never make
// printf read arguments that are not there.

#include <string>

// True when pattern holds exactly one integer conversion (d, i, u, x, X or o with optional
// flags, width and precision) and otherwise only literal text and "%%".
bool isIndexPattern(const char* pattern);

// The pattern formatted with index; empty when the pattern is not an index pattern.
std::string formatIndexPattern(const char* pattern, unsigned int index);
