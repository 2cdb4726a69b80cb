#include "TextureImageLoader.h"

#include <IL/il.h>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <limits>

namespace {

// DevIL's loader for a format name of Qt's reader; IL_TYPE_UNKNOWN for formats not passed on.
ILenum devilType(const QByteArray& format)
{
    if (format == "png") return IL_PNG;
    if (format == "jpeg" || format == "jpg") return IL_JPG;
    if (format == "bmp") return IL_BMP;
    if (format == "gif") return IL_GIF;
    if (format == "ppm" || format == "pgm" || format == "pbm") return IL_PNM;
    return IL_TYPE_UNKNOWN;
}

using Result = TextureImageLoader::Result;

Result refuse(std::string* reason, const std::string& why, Result r = Result::Refused)
{
    if (reason) *reason = why;
    return r;
}

} // namespace

TextureImageLoader::Result TextureImageLoader::loadIntoBoundImage(const void* data, std::size_t size, std::string* reason)
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
    const ILenum type = devilType(format);
    if (format.isEmpty() || type == IL_TYPE_UNKNOWN)
        return refuse(reason, "not an image in a supported format (PNG, JPEG, BMP, GIF, PNM)");
    const QSize s = reader.size();
    if (!s.isValid() || s.width() < 1 || s.height() < 1)
        return refuse(reason, "the image header gives no valid size");
    if (s.width() > kMaxSide || s.height() > kMaxSide ||
        static_cast<long long>(s.width()) * s.height() > kMaxPixels)
        return refuse(reason, std::to_string(s.width()) + " x " + std::to_string(s.height()) +
                                  " pixels, more than " + std::to_string(kMaxSide) +
                                  " a side or " + std::to_string(kMaxPixels) + " in all");
    if (!ilLoadL(type, data, static_cast<ILuint>(size)))
        return refuse(reason, "the image data cannot be decoded", Result::Failed);
    // The decoder may still have produced something other than the header promised.
    const ILint w = ilGetInteger(IL_IMAGE_WIDTH);
    const ILint h = ilGetInteger(IL_IMAGE_HEIGHT);
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide || ilGetInteger(IL_IMAGE_DEPTH) != 1)
        return refuse(reason, "the decoded image has an unusable size", Result::Failed);
    return Result::Loaded;
}

TextureImageLoader::Result TextureImageLoader::loadFileIntoBoundImage(const char* file, std::string* reason)
{
    if (!file) return refuse(reason, "no file name", Result::Failed);
    const QString name = QString::fromLocal8Bit(file);
    // Devices and pipes could be read forever.
    if (!QFileInfo(name).isFile()) return refuse(reason, "not a regular file", Result::Failed);
    QFile in(name);
    if (!in.open(QIODevice::ReadOnly)) return refuse(reason, "cannot open the file", Result::Failed);
    if (in.size() > kMaxFileBytes) return refuse(reason, "file too large");
    const QByteArray bytes = in.read(kMaxFileBytes);
    return loadIntoBoundImage(bytes.constData(), static_cast<std::size_t>(bytes.size()), reason);
}
