#pragma once
// Guards the image library against malformed files. An image file is decoded by Qt's image reader,
// never by DevIL's own loaders (the texture fuzzer crashed DevIL's BMP loader and found a double
// free in its PNM loader on files Qt reads correctly): the reader must recognise the format from
// the content (PNG, JPEG or BMP, whatever the file is called), read a size of 1 to kMaxSide pixels
// a side and at most kMaxPixels in all from the header, and then decode the whole image. DevIL's
// bound image then receives the decoded pixels, bottom row first: IL_LUMINANCE for grey images,
// IL_RGBA for images with alpha, IL_RGB otherwise, one unsigned byte per channel. Needs no GL
// context; DevIL must be initialised.

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
        Failed,  // no such file, or it cannot be read
        Refused, // the bytes are no acceptable image (see above)
    };

    // Puts the image held in data into DevIL's currently bound image; unless Loaded, *reason
    // (when given) says why, without a line end.
    static Result loadIntoBoundImage(const void* data, std::size_t size, std::string* reason);
    // The same for the contents of a regular file.
    static Result loadFileIntoBoundImage(const char* file, std::string* reason);
};
