#include "canvas/PaintingFile.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborStreamReader>
#include <QCborValue>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "fields are stored as the little-endian arrays they are in memory");

namespace painting {

const char* const kFormatName = "nprtable painting";
const char* const kSuffix = "nprpaint";

namespace {

using Kind = PaintingSnapshot::Kind;
using Element = PaintingSnapshot::Element;

// The self-describe tag CBOR files begin with.
constexpr quint64 kSelfDescribeTag = 55799;
const char kSelfDescribeBytes[3] = {'\xd9', '\xd9', '\xf7'};

const char* typeName(Element e)
{
    switch (e) {
    case Element::UInt8: return "u8";
    case Element::Int32: return "i32";
    case Element::Float32: return "f32";
    }
    return "";
}

QDataStream& prepared(QDataStream& s)
{
    s.setByteOrder(QDataStream::LittleEndian);
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
    return s;
}

QByteArray primitiveRecords(const PaintingSnapshot& snapshot)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepared(out);
    for (const PaintingSnapshot::Primitive& p : snapshot.primitives) {
        const PrimitiveLeafGL::State& s = p.state;
        out << quint8(p.kind) << qint32(p.layer) << p.realWidth << p.realHeight
            << p.baseSizeFactor << s.x << s.y << s.rotation << s.width << s.height
            << qint32(s.life) << qint32(s.frameCounter) << quint8(s.displayColor.r)
            << quint8(s.displayColor.g) << quint8(s.displayColor.b) << quint8(s.bufferColor.r)
            << quint8(s.bufferColor.g) << quint8(s.bufferColor.b)
            << quint8((s.inTargetArea ? 1 : 0) | (s.sizeAnimationPending ? 2 : 0))
            << s.targetOrientation << s.previousTargetOrientation << s.sizeProgress
            << s.targetWidth << s.targetHeight << s.takenAbsoluteSize;
        switch (p.kind) {
        case Kind::Stroke: out << quint32(p.textureIndex); break;
        case Kind::Tile: out << quint8(p.dodging ? 1 : 0); break;
        case Kind::Point: out << qint32(p.shape); break;
        case Kind::GeoStroke:
            out << qint32(p.segments) << quint32(p.polyline.size());
            for (const Vector2d& v : p.polyline) out << v.x << v.y;
            break;
        }
    }
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// Reading

// Collects the first problem; every accessor answers a neutral value once one was found.
class Reader {
public:
    QString error;

    bool ok() const { return error.isEmpty(); }
    bool fail(const QString& why)
    {
        if (error.isEmpty()) error = why;
        return false;
    }
    bool damaged(const QString& why) { return fail("it is damaged: " + why); }

    QCborValue member(const QCborMap& map, const QString& path, const char* key)
    {
        const QCborValue v = map.value(QLatin1String(key));
        if (v.isUndefined()) damaged(QString("the member \"%1\" is missing").arg(path + key));
        return v;
    }
    QCborMap map(const QCborMap& in, const QString& path, const char* key)
    {
        const QCborValue v = member(in, path, key);
        if (ok() && !v.isMap()) damaged(QString("\"%1\" is not a map").arg(path + key));
        return v.toMap();
    }
    double number(const QCborMap& in, const QString& path, const char* key, double lo, double hi)
    {
        const QCborValue v = member(in, path, key);
        if (!ok()) return lo;
        const double d = v.isInteger() ? static_cast<double>(v.toInteger()) : v.toDouble(NAN);
        if (!(v.isInteger() || v.isDouble()) || !(d >= lo && d <= hi)) {
            damaged(QString("\"%1\" is not a number from %2 to %3").arg(path + key).arg(lo).arg(hi));
            return lo;
        }
        return d;
    }
    qint64 integer(const QCborMap& in, const QString& path, const char* key, qint64 lo, qint64 hi)
    {
        const QCborValue v = member(in, path, key);
        if (!ok()) return lo;
        if (!v.isInteger() || v.toInteger() < lo || v.toInteger() > hi) {
            damaged(QString("\"%1\" is not a whole number from %2 to %3").arg(path + key).arg(lo).arg(hi));
            return lo;
        }
        return v.toInteger();
    }
    // A qCompress array whose inflated size must be `expected` (or at most `limit` when
    // expected is negative). The declared size is checked before anything is allocated.
    QByteArray inflated(const QCborMap& in, const QString& path, const char* key,
                        qint64 expected, qint64 limit)
    {
        const QCborValue v = member(in, path, key);
        if (!ok()) return {};
        if (!v.isByteArray()) {
            damaged(QString("\"%1\" is not a byte string").arg(path + key));
            return {};
        }
        const QByteArray z = v.toByteArray();
        if (z.size() < 4) {
            damaged(QString("\"%1\" is too short").arg(path + key));
            return {};
        }
        const qint64 declared = qFromBigEndian<quint32>(z.constData());
        // zlib expands at most 1032 times: a larger claim is a lie, and is not allocated.
        if (declared > (z.size() - 4) * 1032 + 64) {
            damaged(QString("\"%1\" claims %2 bytes from %3 compressed ones").arg(path + key)
                        .arg(declared).arg(z.size() - 4));
            return {};
        }
        if ((expected >= 0 && declared != expected) || (expected < 0 && declared > limit)) {
            damaged(QString("\"%1\" holds %2 bytes, not %3").arg(path + key).arg(declared)
                        .arg(expected >= 0 ? QString::number(expected)
                                           : QString("at most %1").arg(limit)));
            return {};
        }
        if (declared == 0) return {};
        QByteArray out = qUncompress(z);
        if (out.size() != declared) {
            damaged(QString("the compressed data of \"%1\" is corrupt").arg(path + key));
            return {};
        }
        return out;
    }
};

bool finite(double v) { return std::isfinite(v); }

bool readPrimitives(Reader& r, const QByteArray& bytes, qint64 count, PaintingSnapshot* s)
{
    // A record takes at least 133 bytes: a count the data cannot hold is refused before room
    // for it is reserved (a small file must not claim a million primitives' worth of memory).
    constexpr qint64 kSmallestRecord = 133;
    if (count > bytes.size() / kSmallestRecord) return r.damaged("the primitive records end early");
    QDataStream in(bytes);
    prepared(in);
    s->primitives.reserve(static_cast<std::size_t>(count));
    auto bad = [&](qint64 i, const char* what) {
        return r.damaged(QString("primitive %1 has %2").arg(i).arg(what));
    };
    for (qint64 i = 0; i < count; ++i) {
        PaintingSnapshot::Primitive p;
        PrimitiveLeafGL::State& st = p.state;
        quint8 kind = 0, flags = 0, c[6] = {};
        qint32 layer = 0, life = 0, frames = 0;
        in >> kind >> layer >> p.realWidth >> p.realHeight >> p.baseSizeFactor >> st.x >> st.y
            >> st.rotation >> st.width >> st.height >> life >> frames;
        for (quint8& b : c) in >> b;
        in >> flags >> st.targetOrientation >> st.previousTargetOrientation >> st.sizeProgress
            >> st.targetWidth >> st.targetHeight >> st.takenAbsoluteSize;
        if (in.status() != QDataStream::Ok) return r.damaged("the primitive records end early");
        if (kind > 3) return bad(i, "an unknown kind");
        p.kind = static_cast<Kind>(kind);
        p.layer = layer;
        st.life = life;
        st.frameCounter = frames;
        st.displayColor = {c[0], c[1], c[2]};
        st.bufferColor = {c[3], c[4], c[5]};
        st.inTargetArea = flags & 1;
        st.sizeAnimationPending = flags & 2;
        const double sizes[] = {p.realWidth, p.realHeight, st.width, st.height, st.targetWidth,
                                st.targetHeight};
        for (double v : sizes)
            if (!(v > 0.0 && v <= 1e6)) return bad(i, "a size outside 0 to 1000000");
        const double values[] = {st.x, st.y, p.baseSizeFactor, st.targetOrientation,
                                 st.previousTargetOrientation, st.takenAbsoluteSize};
        for (double v : values)
            if (!finite(v) || std::fabs(v) > 1e9) return bad(i, "a value that is not a number");
        if (!(st.rotation >= 0.0 && st.rotation < 360.0)) return bad(i, "a rotation outside 0 to 360");
        if (!(st.sizeProgress >= 0.0 && st.sizeProgress <= 1.0)) return bad(i, "an animation progress outside 0 to 1");
        if (frames < 0) return bad(i, "a negative frame count");
        switch (p.kind) {
        case Kind::Stroke: {
            quint32 t = 0;
            in >> t;
            p.textureIndex = t;
            break;
        }
        case Kind::Tile: {
            quint8 d = 0;
            in >> d;
            p.dodging = d != 0;
            break;
        }
        case Kind::Point: {
            qint32 shape = 0;
            in >> shape;
            if (in.status() == QDataStream::Ok && (shape < 0 || shape > 15)) return bad(i, "a shape outside 0 to 15");
            p.shape = shape;
            break;
        }
        case Kind::GeoStroke: {
            qint32 segments = 0;
            quint32 n = 0;
            in >> segments >> n;
            if (in.status() != QDataStream::Ok) break;
            if (segments < 0 || static_cast<quint64>(segments) > kMaxPolylinePoints) return bad(i, "an absurd segment count");
            if (n > kMaxPolylinePoints) return bad(i, "an absurd number of points");
            // Each point takes 16 bytes: a count beyond what is left is a damaged record.
            if (static_cast<qint64>(n) * 16 > in.device()->bytesAvailable())
                return r.damaged("the primitive records end early");
            p.segments = segments;
            p.polyline.resize(n);
            for (Vector2d& v : p.polyline) {
                in >> v.x >> v.y;
                if (!finite(v.x) || !finite(v.y) || std::fabs(v.x) > 1e9 || std::fabs(v.y) > 1e9)
                    return bad(i, "a stroke point that is not a number");
            }
            break;
        }
        }
        if (in.status() != QDataStream::Ok) return r.damaged("the primitive records end early");
        s->primitives.push_back(std::move(p));
    }
    if (!in.atEnd()) return r.damaged("there is more primitive data than the count says");
    return true;
}

} // namespace

QByteArray encode(const PaintingSnapshot& s, int level)
{
    QCborMap file;
    file.insert(QLatin1String("format"), QLatin1String(kFormatName));
    file.insert(QLatin1String("version"), kFormatVersion);

    QCborMap canvas;
    canvas.insert(QLatin1String("x"), s.placement.x);
    canvas.insert(QLatin1String("y"), s.placement.y);
    canvas.insert(QLatin1String("width"), s.placement.width);
    canvas.insert(QLatin1String("height"), s.placement.height);
    canvas.insert(QLatin1String("bufferWidth"), qint64(s.placement.bufferWidth));
    canvas.insert(QLatin1String("bufferHeight"), qint64(s.placement.bufferHeight));
    file.insert(QLatin1String("canvas"), canvas);

    QCborMap fields;
    for (const PaintingSnapshot::Field& f : s.fields) {
        if (!f.present()) continue;
        QCborMap m;
        m.insert(QLatin1String("type"), QLatin1String(typeName(f.element)));
        m.insert(QLatin1String("channels"), qint64(f.channels));
        m.insert(QLatin1String("width"), qint64(f.width));
        m.insert(QLatin1String("height"), qint64(f.height));
        std::vector<unsigned char> cell;
        if (f.uniform(&cell)) {
            m.insert(QLatin1String("fill"), QByteArray(reinterpret_cast<const char*>(cell.data()),
                                                       static_cast<qsizetype>(cell.size())));
        } else {
            const std::vector<unsigned char> bytes = f.toBytes();
            m.insert(QLatin1String("data"),
                     qCompress(bytes.data(), static_cast<qsizetype>(bytes.size()), level));
        }
        fields.insert(QLatin1String(f.name), m);
    }
    file.insert(QLatin1String("fields"), fields);

    QCborMap tools;
    QCborArray grid;
    for (float v : s.tools.grid) grid.append(static_cast<double>(v));
    tools.insert(QLatin1String("grid"), grid);
    tools.insert(QLatin1String("mode"), s.tools.mode);
    tools.insert(QLatin1String("strength"), s.tools.strength);
    tools.insert(QLatin1String("sizeStep"), s.tools.sizeStep);
    tools.insert(QLatin1String("fakePosture"), s.tools.fakePosture);
    tools.insert(QLatin1String("fakeWidth"), s.tools.fakeWidth);
    tools.insert(QLatin1String("fakeHeight"), s.tools.fakeHeight);
    tools.insert(QLatin1String("previousPosture"), s.tools.previousPosture);
    file.insert(QLatin1String("tools"), tools);

    QCborMap primitives;
    primitives.insert(QLatin1String("count"), qint64(s.primitives.size()));
    primitives.insert(QLatin1String("data"), qCompress(primitiveRecords(s), level));
    file.insert(QLatin1String("primitives"), primitives);

    return QCborValue(QCborTag(kSelfDescribeTag), file).toCbor();
}

bool decode(const QByteArray& data, PaintingSnapshot* snapshot, QString* error)
{
    Reader r;
    auto done = [&](bool ok) {
        if (!ok && error) *error = r.error;
        return ok;
    };
    if (!data.startsWith(QByteArray(kSelfDescribeBytes, 3)))
        return done(r.fail("it is not a painting file"));
    QCborStreamReader stream(data);
    const QCborValue top = QCborValue::fromCbor(stream);
    if (stream.lastError() == QCborError::EndOfFile) return done(r.fail("it is truncated"));
    if (stream.lastError() != QCborError::NoError)
        return done(r.damaged(stream.lastError().toString()));
    if (stream.currentOffset() != data.size())
        return done(r.damaged("there is more data after the painting"));
    if (!top.isTag() || top.tag() != QCborTag(kSelfDescribeTag) || !top.taggedValue().isMap())
        return done(r.fail("it is not a painting file"));
    const QCborMap file = top.taggedValue().toMap();
    if (file.value(QLatin1String("format")).toString() != QLatin1String(kFormatName))
        return done(r.fail("it is not a painting file"));
    const QCborValue version = file.value(QLatin1String("version"));
    if (!version.isInteger() || version.toInteger() < 1) return done(r.damaged("it has no valid format version"));
    if (version.toInteger() > kFormatVersion)
        return done(r.fail(QString("it was written by a newer nprtable (painting format %1; this "
                                   "version reads format %2)")
                               .arg(version.toInteger())
                               .arg(kFormatVersion)));

    PaintingSnapshot s;
    const QCborMap canvas = r.map(file, "", "canvas");
    s.placement.x = r.number(canvas, "canvas.", "x", -1e9, 1e9);
    s.placement.y = r.number(canvas, "canvas.", "y", -1e9, 1e9);
    s.placement.width = r.number(canvas, "canvas.", "width", 0, 1e6);
    s.placement.height = r.number(canvas, "canvas.", "height", 0, 1e6);
    s.placement.bufferWidth = static_cast<unsigned>(r.integer(canvas, "canvas.", "bufferWidth", 1, kMaxFieldCells));
    s.placement.bufferHeight = static_cast<unsigned>(r.integer(canvas, "canvas.", "bufferHeight", 1, kMaxFieldCells));
    if (r.ok() && static_cast<unsigned long long>(s.placement.bufferWidth) * s.placement.bufferHeight > kMaxFieldCells)
        r.damaged(QString("the canvas of %1 x %2 cells is larger than %3 cells")
                      .arg(s.placement.bufferWidth).arg(s.placement.bufferHeight).arg(kMaxFieldCells));
    if (r.ok() && std::max(s.placement.bufferWidth, s.placement.bufferHeight) > kMaxFieldSide)
        r.damaged(QString("the canvas of %1 x %2 cells has a side longer than %3 cells")
                      .arg(s.placement.bufferWidth).arg(s.placement.bufferHeight).arg(kMaxFieldSide));

    const QCborMap fields = r.map(file, "", "fields");
    for (PaintingSnapshot::Field& f : s.fields) {
        if (!r.ok()) break;
        const QString path = QString("fields.%1.").arg(f.name);
        const QCborMap m = r.map(fields, "fields.", f.name);
        const QString type = r.member(m, path, "type").toString();
        if (r.ok() && type != QLatin1String(typeName(f.element)))
            r.damaged(QString("\"%1type\" is not \"%2\"").arg(path, typeName(f.element)));
        r.integer(m, path, "channels", f.channels, f.channels);
        f.width = static_cast<unsigned>(r.integer(m, path, "width", s.placement.bufferWidth, s.placement.bufferWidth));
        f.height = static_cast<unsigned>(r.integer(m, path, "height", s.placement.bufferHeight, s.placement.bufferHeight));
        if (!r.ok()) break;
        // One cell's value for all, or every cell.
        if (m.contains(QLatin1String("fill"))) {
            const QCborValue fill = m.value(QLatin1String("fill"));
            if (!fill.isByteArray() || static_cast<std::size_t>(fill.toByteArray().size()) != f.elementBytes() * f.channels) {
                r.damaged(QString("\"%1fill\" is not one cell of %2 bytes").arg(path).arg(f.elementBytes() * f.channels));
                break;
            }
            f.fromFill(reinterpret_cast<const unsigned char*>(fill.toByteArray().constData()));
            continue;
        }
        const QByteArray bytes = r.inflated(m, path, "data", static_cast<qint64>(f.bytes()), 0);
        if (!r.ok()) break;
        f.fromBytes(reinterpret_cast<const unsigned char*>(bytes.constData()));
    }

    const QCborMap tools = r.map(file, "", "tools");
    const QCborValue grid = r.member(tools, "tools.", "grid");
    if (r.ok() && (!grid.isArray() || grid.toArray().size() != PaintingSnapshot::kToolStateCells))
        r.damaged("\"tools.grid\" is not an array of 100 numbers");
    if (r.ok()) {
        const QCborArray cells = grid.toArray();
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const QCborValue v = cells.at(i);
            const double d = v.isInteger() ? static_cast<double>(v.toInteger()) : v.toDouble(NAN);
            if (!finite(d) || std::fabs(d) > 1e9) {
                r.damaged("\"tools.grid\" is not an array of 100 numbers");
                break;
            }
            s.tools.grid[static_cast<std::size_t>(i)] = static_cast<float>(d);
        }
    }
    s.tools.mode = static_cast<int>(r.integer(tools, "tools.", "mode", 0, 8));
    s.tools.strength = r.number(tools, "tools.", "strength", -1000, 1000);
    s.tools.sizeStep = static_cast<int>(r.integer(tools, "tools.", "sizeStep", 1, 10));
    s.tools.fakePosture = static_cast<int>(r.integer(tools, "tools.", "fakePosture", 0, 6));
    s.tools.fakeWidth = static_cast<int>(r.integer(tools, "tools.", "fakeWidth", 0, 100000));
    s.tools.fakeHeight = static_cast<int>(r.integer(tools, "tools.", "fakeHeight", 0, 100000));
    s.tools.previousPosture = static_cast<int>(r.integer(tools, "tools.", "previousPosture", 0, 6));

    const QCborMap primitives = r.map(file, "", "primitives");
    const qint64 count = r.integer(primitives, "primitives.", "count", 0, kMaxPrimitives);
    if (r.ok()) {
        // Records without points take 133 to 140 bytes; drawn strokes add 16 bytes a point.
        const qint64 limit = std::min<qint64>(count * (150 + 16 * kMaxPolylinePoints), kMaxFileBytes);
        const QByteArray bytes = r.inflated(primitives, "primitives.", "data", -1, limit);
        if (r.ok()) readPrimitives(r, bytes, count, &s);
    }
    if (!r.ok()) return done(false);
    *snapshot = std::move(s);
    return done(true);
}

bool save(const PaintingSnapshot& snapshot, const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error) *error = QString("Cannot save the painting \"%1\": %2.").arg(path, why);
        return false;
    };
    const QByteArray bytes = encode(snapshot);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

bool loadInto(const QString& path, CanvasCompositeGL& canvas, QString* error)
{
    PaintingSnapshot snapshot;
    if (!load(path, &snapshot, error)) return false;
    std::string why;
    if (snapshot.restore(canvas, true, &why)) return true;
    if (error) *error = QString("Cannot open the painting \"%1\": %2.").arg(path, QString::fromStdString(why));
    return false;
}

bool load(const QString& path, PaintingSnapshot* snapshot, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error) *error = QString("Cannot open the painting \"%1\": %2.").arg(path, why);
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists()) return fail("no such file");
    if (info.isDir()) return fail("it is a directory");
    if (info.size() > kMaxFileBytes)
        return fail(QString("it is larger than %1 bytes").arg(kMaxFileBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());
    const QByteArray data = file.readAll();
    QString why;
    if (!decode(data, snapshot, &why)) return fail(why);
    return true;
}

} // namespace painting
