// Arbitrary bytes through the painting file reader: nothing may crash, touch memory it does not
// own or leak, a refusal always says why, and whatever is accepted keeps the file's limits and
// reads back the same after writing it again.
#include "canvas/PaintingFile.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "Painting file invariant broken: %s\n", what);
        std::abort();
    }
}

// Writing a canvas's worth of fields again is slow; the round trip is for small paintings.
constexpr unsigned long long kRoundTripCells = 1u << 16;

} // namespace

// Qt's inflater reports every corrupt stream; the reader's own answer is what is checked.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PaintingSnapshot read;
    QString error;
    if (!painting::decode(bytes, &read, &error)) {
        require(!error.isEmpty(), "a refusal without a reason");
        return 0;
    }
    require(error.isEmpty(), "a reason given for an accepted file");
    const unsigned long long cells =
        static_cast<unsigned long long>(read.placement.bufferWidth) * read.placement.bufferHeight;
    require(cells >= 1 && cells <= painting::kMaxFieldCells, "a canvas outside the limits");
    require(read.primitives.size() <= painting::kMaxPrimitives, "too many primitives");
    for (const PaintingSnapshot::Field& f : read.fields)
        require(f.width == read.placement.bufferWidth && f.height == read.placement.bufferHeight,
                "a field of another size than the canvas");
    for (const PaintingSnapshot::Primitive& p : read.primitives)
        require(p.polyline.size() <= painting::kMaxPolylinePoints, "too many stroke points");
    if (cells > kRoundTripCells) return 0;

    PaintingSnapshot again;
    require(painting::decode(painting::encode(read), &again, &error), "a written painting is refused");
    require(again.primitives.size() == read.primitives.size(), "primitives lost by writing");
    for (std::size_t i = 0; i < read.primitives.size(); ++i)
        require(again.primitives[i].kind == read.primitives[i].kind &&
                    again.primitives[i].polyline.size() == read.primitives[i].polyline.size(),
                "a primitive changed by writing");
    for (std::size_t i = 0; i < read.fields.size(); ++i)
        require(again.fields[i].toBytes() == read.fields[i].toBytes(), "a field changed by writing");
    return 0;
}
