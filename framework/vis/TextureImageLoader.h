#pragma once
// Guards the image library against malformed files: an image's bytes reach DevIL only after Qt's
// image reader has recognised its format from the content and read a size from its header that is
// at least 1 and at most kMaxSide pixels a side and kMaxPixels in all. DevIL then decodes the bytes
// with the loader of the format Qt found (not the one the file name suggests). Formats that Qt
// cannot read (e.g. TGA, DDS) are refused. Needs no GL context; DevIL must be initialised.

#include <cstddef>
#include <string>

class TextureImageLoader {
public:
    static constexpr int kMaxSide = 16384;
    // 256 MB of RGBA pixels, the largest image Qt's reader decodes by default.
    static constexpr long long kMaxPixels = 64ll * 1024 * 1024;
    // Files longer than this are not read.
    static constexpr long long kMaxFileBytes = 512ll * 1024 * 1024;

    enum class Result {
        Loaded,  // the bound image holds the picture
        Failed,  // no file, or DevIL could not decode what passed the check
        Refused, // the check turned the bytes away before DevIL saw them
    };

    // Loads the image held in data into DevIL's currently bound image; unless Loaded, *reason
    // (when given) says why, without a line end.
    static Result loadIntoBoundImage(const void* data, std::size_t size, std::string* reason);
    // The same for the contents of a regular file.
    static Result loadFileIntoBoundImage(const char* file, std::string* reason);
};
