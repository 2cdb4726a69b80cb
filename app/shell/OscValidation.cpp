#include "OscValidation.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxBundleDepth = 8;

uint32_t readUint32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

// Length of the padded string at p (terminator and padding included), or 0 when it does not
// end inside [p, end).
std::size_t paddedString(const char* p, const char* end)
{
    const void* nul = std::memchr(p, '\0', static_cast<std::size_t>(end - p));
    if (!nul) return 0;
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(nul) - p) + 1;
    const std::size_t padded = (length + 3) & ~std::size_t(3);
    if (padded > static_cast<std::size_t>(end - p)) return 0;
    // Padding is NUL bytes: a parser that looks for the terminator word by word would otherwise
    // run on into the following arguments.
    for (std::size_t i = length; i < padded; ++i)
        if (p[i] != '\0') return 0;
    return padded;
}

bool wellFormedMessage(const char* p, const char* end)
{
    const std::size_t address = paddedString(p, end);
    if (address == 0 || p[0] != '/') return false;
    p += address;
    if (p == end) return true; // no type tags: a message without arguments
    const std::size_t tagsLength = paddedString(p, end);
    if (tagsLength == 0 || p[0] != ',') return false;
    const char* tag = p + 1;
    p += tagsLength;
    int arrayDepth = 0;
    for (; *tag; ++tag) {
        std::size_t need = 0;
        switch (*tag) {
        case 'i': case 'f': case 'c': case 'r': case 'm':
            need = 4;
            break;
        case 'h': case 't': case 'd':
            need = 8;
            break;
        case 's': case 'S': {
            const std::size_t n = paddedString(p, end);
            if (n == 0) return false;
            p += n;
            continue;
        }
        case 'b': {
            if (end - p < 4) return false;
            const uint32_t n = readUint32(p);
            const std::size_t padded = (std::size_t(n) + 3) & ~std::size_t(3);
            if (n > 0x7FFFFFFFu || padded > static_cast<std::size_t>(end - p) - 4) return false;
            p += 4 + padded;
            continue;
        }
        case 'T': case 'F': case 'N': case 'I':
            continue;
        case '[':
            ++arrayDepth;
            continue;
        case ']':
            if (--arrayDepth < 0) return false;
            continue;
        default:
            return false;
        }
        if (static_cast<std::size_t>(end - p) < need) return false;
        p += need;
    }
    return arrayDepth == 0 && p == end;
}

bool wellFormed(const char* p, const char* end, int depth)
{
    const std::size_t size = static_cast<std::size_t>(end - p);
    if (size == 0 || size % 4 != 0) return false;
    if (size >= 8 && std::memcmp(p, "#bundle", 8) == 0) {
        if (depth >= kMaxBundleDepth || size < 16) return false;
        p += 16; // "#bundle\0" and the time tag
        while (p < end) {
            if (end - p < 4) return false;
            const uint32_t n = readUint32(p);
            p += 4;
            if (n == 0 || n % 4 != 0 || n > static_cast<std::size_t>(end - p)) return false;
            if (!wellFormed(p, p + n, depth + 1)) return false;
            p += n;
        }
        return true;
    }
    return wellFormedMessage(p, end);
}

} // namespace

bool isWellFormedOscPacket(const char* data, std::size_t size)
{
    return data && wellFormed(data, data + size, 0);
}
