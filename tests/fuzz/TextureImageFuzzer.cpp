// Feeds arbitrary bytes to the texture loading path without GL: the checks and decoding of Qt's
// image reader, the hand-over of the pixels to DevIL, and what loadTexture then does with the
// image (the copy that the alpha box is scanned in). Nothing may crash, and a loaded image must
// have a size and a pixel format that the upload accepts.
#include "vis/TextureImageLoader.h"

#include <IL/il.h>

#include <QBuffer>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ilInit();
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    // Loads Qt's image format plugins once, before the first input, so that their lasting
    // allocations are not taken for leaks of an input.
    QImage probe(2, 2, QImage::Format_RGB32);
    probe.fill(0);
    for (const char* format : {"PNG", "JPG", "GIF", "BMP"}) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        probe.save(&buffer, format);
        std::string ignored;
        ILuint image = 0;
        ilGenImages(1, &image);
        ilBindImage(image);
        TextureImageLoader::loadIntoBoundImage(buffer.data().constData(),
                                               static_cast<std::size_t>(buffer.data().size()),
                                               &ignored);
        ilDeleteImages(1, &image);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::string reason;
    if (TextureImageLoader::loadIntoBoundImage(data, size, &reason) ==
        TextureImageLoader::Result::Loaded) {
        const ILint format = ilGetInteger(IL_IMAGE_FORMAT);
        if ((format != IL_RGBA && format != IL_RGB && format != IL_LUMINANCE) ||
            ilGetInteger(IL_IMAGE_TYPE) != IL_UNSIGNED_BYTE) {
            std::fprintf(stderr, "loaded image of format %x\n", static_cast<unsigned>(format));
            std::abort();
        }
        const ILint w = ilGetInteger(IL_IMAGE_WIDTH);
        const ILint h = ilGetInteger(IL_IMAGE_HEIGHT);
        if (w < 1 || h < 1 || w > TextureImageLoader::kMaxSide ||
            h > TextureImageLoader::kMaxSide) {
            std::fprintf(stderr, "loaded image of %d x %d pixels\n", w, h);
            std::abort();
        }
        const ILint channels = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
        std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h * channels);
        ilCopyPixels(0, 0, 0, static_cast<ILuint>(w), static_cast<ILuint>(h), 1,
                     static_cast<ILenum>(ilGetInteger(IL_IMAGE_FORMAT)), IL_UNSIGNED_BYTE,
                     pixels.data());
    }
    ilDeleteImages(1, &image);
    return 0;
}
