#include "NamePattern.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

bool isIndexPattern(const char* pattern)
{
    if (!pattern) return false;
    int conversions = 0;
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p && std::strchr("-+ 0#", *p)) ++p;
        while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
        if (*p == '.') {
            ++p;
            while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
        }
        if (!*p || !std::strchr("diuxXo", *p)) return false;
        ++conversions;
    }
    return conversions == 1;
}

std::string formatIndexPattern(const char* pattern, unsigned int index)
{
    if (!isIndexPattern(pattern)) return std::string();
    const int n = std::snprintf(nullptr, 0, pattern, index);
    if (n < 0) return std::string();
    std::vector<char> text(static_cast<size_t>(n) + 1);
    std::snprintf(text.data(), text.size(), pattern, index);
    return std::string(text.data(), static_cast<size_t>(n));
}
