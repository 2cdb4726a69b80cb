// Writes the painting file fuzzer's seeds into the folder given: a small painting of every
// primitive kind made by the program's own writer, and a few damaged copies of it (cut short,
// bytes flipped in the compressed data, a count that lies).
#include "canvas/PaintingFile.h"

#include <QCborMap>
#include <QCborValue>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

PaintingSnapshot smallPainting()
{
    PaintingSnapshot s;
    s.placement = {64.0, 48.0, 128.0, 96.0, 16, 12};
    for (PaintingSnapshot::Field& f : s.fields) {
        f.width = s.placement.bufferWidth;
        f.height = s.placement.bufferHeight;
        std::vector<unsigned char> bytes(f.bytes(), 0);
        // One field with varied cells, so that it is written as compressed data, not as a fill.
        if (std::strcmp(f.name, "colour") == 0)
            for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 7);
        f.fromBytes(bytes.data());
    }
    const PaintingSnapshot::Kind kinds[] = {PaintingSnapshot::Kind::Stroke, PaintingSnapshot::Kind::Tile,
                                            PaintingSnapshot::Kind::Point,
                                            PaintingSnapshot::Kind::GeoStroke};
    double x = 10.0;
    for (PaintingSnapshot::Kind kind : kinds) {
        PaintingSnapshot::Primitive p;
        p.kind = kind;
        p.state.x = x;
        p.state.y = 20.0;
        p.state.rotation = 30.0;
        p.state.width = p.state.height = p.state.targetWidth = p.state.targetHeight = 12.0;
        p.state.displayColor = {200, 40, 40};
        p.textureIndex = 4;
        p.dodging = true;
        p.shape = 3;
        if (kind == PaintingSnapshot::Kind::GeoStroke) {
            p.segments = 2;
            p.polyline = {Vector2d(-5, 0), Vector2d(0, 2), Vector2d(5, 0)};
        }
        s.primitives.push_back(p);
        x += 20.0;
    }
    s.tools.grid[3] = 1.0f;
    return s;
}

QByteArray edited(const QByteArray& good, const std::function<void(QCborMap&)>& edit)
{
    const QCborValue top = QCborValue::fromCbor(good);
    QCborMap file = top.taggedValue().toMap();
    edit(file);
    return QCborValue(top.tag(), file).toCbor();
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]) + "/";
    const QByteArray good = painting::encode(smallPainting());
    const QByteArray primitivesFlipped = edited(good, [](QCborMap& f) {
        QCborMap p = f.value(QLatin1String("primitives")).toMap();
        QByteArray z = p.value(QLatin1String("data")).toByteArray();
        for (qsizetype i = 8; i < z.size(); i += 5) z[i] = static_cast<char>(z[i] ^ 0x21);
        p.insert(QLatin1String("data"), z);
        f.insert(QLatin1String("primitives"), p);
    });
    const QByteArray countLies = edited(good, [](QCborMap& f) {
        QCborMap p = f.value(QLatin1String("primitives")).toMap();
        p.insert(QLatin1String("count"), 3);
        f.insert(QLatin1String("primitives"), p);
    });
    const QByteArray fillOnly = edited(good, [](QCborMap& f) {
        QCborMap fields = f.value(QLatin1String("fields")).toMap();
        QCborMap colour = fields.value(QLatin1String("colour")).toMap();
        colour.insert(QLatin1String("fill"), QByteArray("\x10\x20\x30", 3));
        fields.insert(QLatin1String("colour"), colour);
        f.insert(QLatin1String("fields"), fields);
    });
    const bool ok = write(dir + "small.nprpaint", good) &&
                    write(dir + "truncated.nprpaint", good.left(good.size() * 2 / 3)) &&
                    write(dir + "primitives-flipped.nprpaint", primitivesFlipped) &&
                    write(dir + "count-lies.nprpaint", countLies) &&
                    write(dir + "fill.nprpaint", fillOnly);
    if (!ok) std::fprintf(stderr, "%s: cannot write the seeds into %s\n", argv[0], argv[1]);
    return ok ? 0 : 1;
}
