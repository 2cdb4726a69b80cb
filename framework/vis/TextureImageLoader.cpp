#include "TextureImageLoader.h"

#include <IL/il.h>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <limits>
#include <vector>

namespace {

bool acceptedFormat(const QByteArray& format)
{
    return format == "png" || format == "jpeg" || format == "jpg" || format == "bmp";
}

using Result = TextureImageLoader::Result;

Result refuse(std::string* reason, const std::string& why, Result r = Result::Refused)
{
    if (reason) *reason = why;
    return r;
}

} // namespace

TextureImageLoader::Result TextureImageLoader::loadIntoBoundImage(const void* data,
                                                                 std::size_t size,
                                                                 std::string* reason)
{
    if (!data || size == 0) return refuse(reason, "empty file");
    if (size > static_cast<std::size_t>(kMaxFileBytes) ||
        size > std::numeric_limits<ILuint>::max())
        return refuse(reason, "file too large");
    const QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data),
                                                     static_cast<qsizetype>(size));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (!acceptedFormat(format))
        return refuse(reason, "not an image in a supported format (PNG, JPEG, BMP)");
    const QSize s = reader.size();
    if (!s.isValid() || s.width() < 1 || s.height() < 1)
        return refuse(reason, "the image header gives no valid size");
    if (s.width() > kMaxSide || s.height() > kMaxSide ||
        static_cast<long long>(s.width()) * s.height() > kMaxPixels)
        return refuse(reason, std::to_string(s.width()) + " x " + std::to_string(s.height()) +
                                  " pixels, more than " + std::to_string(kMaxSide) +
                                  " a side or " + std::to_string(kMaxPixels) + " in all");
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.size() != s)
        return refuse(reason, "the image data cannot be decoded");

    ILenum ilFormat = IL_RGB;
    int channels = 3;
    if (image.format() == QImage::Format_Grayscale8) {
        ilFormat = IL_LUMINANCE;
        channels = 1;
    } else if (image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_RGBA8888);
        ilFormat = IL_RGBA;
        channels = 4;
    } else {
        image = image.convertToFormat(QImage::Format_RGB888);
    }
    // Tight rows, bottom row first (DevIL's lower-left origin).
    const std::size_t row = static_cast<std::size_t>(image.width()) * channels;
    std::vector<unsigned char> pixels(row * static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(pixels.data() + row * static_cast<std::size_t>(image.height() - 1 - y),
                    image.constScanLine(y), row);
    if (!ilTexImage(static_cast<ILuint>(image.width()), static_cast<ILuint>(image.height()), 1,
                    static_cast<ILubyte>(channels), ilFormat, IL_UNSIGNED_BYTE, pixels.data()))
        return refuse(reason, "the image library cannot take it", Result::Failed);
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
    return Result::Loaded;
}

TextureImageLoader::Result TextureImageLoader::loadFileIntoBoundImage(const char* file,
                                                                     std::string* reason)
{
    if (!file) return refuse(reason, "no file name", Result::Failed);
    const QString name = QString::fromLocal8Bit(file);
    // Devices and pipes could be read forever.
    if (!QFileInfo(name).isFile()) return refuse(reason, "not a regular file", Result::Failed);
    QFile in(name);
    if (!in.open(QIODevice::ReadOnly))
        return refuse(reason, "cannot open the file", Result::Failed);
    if (in.size() > kMaxFileBytes) return refuse(reason, "file too large");
    const QByteArray bytes = in.read(kMaxFileBytes);
    return loadIntoBoundImage(bytes.constData(), static_cast<std::size_t>(bytes.size()), reason);
}
