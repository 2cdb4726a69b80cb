// Painting files: what a file keeps, the files refused with the canvas untouched, the atomic save.
#include "CanvasTestSupport.h"

#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PaintingFile.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"

#include <QCborMap>
#include <QCborValue>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <tuple>
#include <utility>

namespace {

class PaintingFileTest : public CanvasFixture<::testing::Test> {
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        add(new StrokeLeafGL(vis.get(), 60.0, 70.0, 30.0, 20.0, 45.0, 0, 3))->setLife(120);
        add(new TileLeafGL(vis.get(), 100.0, 50.0, 16.0, 16.0, 10.0, 1, true));
        add(new PointLeafGL(vis.get(), 200.0, 180.0, 12.0, 12.0, 300.0, 1))->setShapeIndex(7);
        add(new GeoStrokeLeafGL(vis.get(), 128.0, 128.0, 80.0, 20.0, 0.0, 0,
                                {Vector2d(-40, 0), Vector2d(0, 10), Vector2d(40, 0)}, 8));
        unsigned char red[3] = {240, 20, 20};
        canvas->buffer<unsigned char>(COLOR_BUFFER)->set3DValues(30u, 40u, red);
        canvas->tool(0, 3) = 1.0f;
        canvas->setBrushStrength(12.5);
    }
    QString path(const char* name) const { return dir.filePath(name); }
    void write(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The canvas's painting as file contents, optionally edited as CBOR first.
    QByteArray contents(const std::function<void(QCborMap&)>& edit = {})
    {
        const QByteArray bytes = painting::encode(PaintingSnapshot::capture(*canvas));
        if (!edit) return bytes;
        const QCborValue top = QCborValue::fromCbor(bytes);
        QCborMap file = top.taggedValue().toMap();
        edit(file);
        return QCborValue(top.tag(), file).toCbor();
    }
    // The contents with members at dotted paths ("fields.size.width") replaced; an undefined
    // value removes the member.
    QByteArray edited(std::initializer_list<std::pair<const char*, QCborValue>> changes)
    {
        return contents([&](QCborMap& f) {
            for (const auto& [at, value] : changes) setAt(f, QString::fromLatin1(at).split('.'), value);
        });
    }
    static void setAt(QCborMap& m, QStringList at, const QCborValue& value)
    {
        const QString key = at.takeFirst();
        if (!at.isEmpty()) {
            QCborMap inner = m.value(key).toMap();
            setAt(inner, at, value);
            m.insert(key, inner);
        } else if (value.isUndefined()) {
            m.remove(key);
        } else {
            m.insert(key, value);
        }
    }

    QTemporaryDir dir;
};

TEST_F(PaintingFileTest, AFileThatCannotBeReadIsRefusedAndTheCanvasStaysAsItWas)
{
    const QByteArray good = contents();
    const struct { const char* name; QByteArray bytes; const char* reason; } data[] = {
        {"empty", QByteArray(), "it is not a painting file"},
        {"truncated", good.left(good.size() / 2), "it is truncated"},
        {"wrong magic", edited({{"format", QLatin1String("nprtable palette")}}), "it is not a painting file"},
        {"newer version", edited({{"version", 2}}),
         "it was written by a newer nprtable (painting format 2; this version reads format 1)"},
        {"no tools", edited({{"tools", QCborValue()}}), "it is damaged: the member \"tools\" is missing"},
        {"absurd count", edited({{"primitives.count", qint64(1) << 40}}),
         "it is damaged: \"primitives.count\" is not a whole number from 0 to 1000000"},
        {"absurd canvas", edited({{"canvas.bufferWidth", 100000}, {"canvas.bufferHeight", 100000}}),
         "it is damaged: the canvas of 100000 x 100000 cells is larger than 37748736 cells"},
        {"field of another size", edited({{"fields.size.width", 257}}),
         "it is damaged: \"fields.size.width\" is not a whole number from 258 to 258"},
        {"inflated size lied about",
         edited({{"fields.orientation.data", QByteArray("\xff\xff\xff\xf0xyz", 7)}}),
         "it is damaged: \"fields.orientation.data\" claims 4294967280 bytes from 3 compressed ones"},
        {"fill of another size", edited({{"fields.erase.fill", QByteArray("\0\0", 2)}}),
         "it is damaged: \"fields.erase.fill\" is not one cell of 4 bytes"},
        {"corrupt compressed data",
         contents([](QCborMap& f) {
             QCborMap p = f.value(QLatin1String("primitives")).toMap();
             QByteArray z = p.value(QLatin1String("data")).toByteArray();
             for (qsizetype i = 6; i < z.size(); ++i) z[i] = static_cast<char>(z[i] ^ 0x5a);
             p.insert(QLatin1String("data"), z);
             f.insert(QLatin1String("primitives"), p);
         }),
         "it is damaged: the compressed data of \"primitives.data\" is corrupt"},
        // Regression: the room for a million primitives was reserved before the records were read.
        {"a million primitives claimed by a small file",
         edited({{"primitives.count", 1000000}}),
         "it is damaged: the primitive records end early"},
        // Regression: a canvas of one long row, every field one value, made the reader allocate
        // gigabytes for a file of a few kilobytes.
        {"a canvas of one long row",
         contents([](QCborMap& f) {
             setAt(f, {"canvas", "bufferWidth"}, 37748736);
             setAt(f, {"canvas", "bufferHeight"}, 1);
             const QCborMap fields = f.value(QLatin1String("fields")).toMap();
             QCborMap filled;
             for (auto it = fields.constBegin(); it != fields.constEnd(); ++it) {
                 QCborMap field = it.value().toMap();
                 field.insert(QLatin1String("width"), 37748736);
                 field.insert(QLatin1String("height"), 1);
                 field.remove(QLatin1String("data"));
                 const bool bytes = field.value(QLatin1String("type")).toString() == "u8";
                 const qint64 channels = field.value(QLatin1String("channels")).toInteger();
                 field.insert(QLatin1String("fill"), QByteArray((bytes ? 1 : 4) * channels, '\0'));
                 filled.insert(it.key(), field);
             }
             f.insert(QLatin1String("fields"), filled);
         }),
         "it is damaged: the canvas of 37748736 x 1 cells has a side longer than 32768 cells"},
    };
    const PaintingSnapshot before = PaintingSnapshot::capture(*canvas);
    const unsigned long revision = canvas->getRevision();
    for (const auto& row : data) {
        const QString file = path("bad.nprpaint");
        write(file, row.bytes);
        QString error;
        EXPECT_FALSE(painting::loadInto(file, *canvas, &error)) << row.name;
        EXPECT_EQ(error.toStdString(),
                  "Cannot open the painting \"" + file.toStdString() + "\": " + row.reason + ".")
            << row.name;
        EXPECT_EQ(canvas->getRevision(), revision) << row.name;
    }
    const PaintingSnapshot after = PaintingSnapshot::capture(*canvas, &before);
    EXPECT_EQ(after.bytesNotSharedWith(before), 0u);
    EXPECT_EQ(after.primitives.size(), 4u);

    QString error;
    EXPECT_FALSE(painting::loadInto(path("none.nprpaint"), *canvas, &error));
    EXPECT_EQ(error.toStdString(), "Cannot open the painting \"" + path("none.nprpaint").toStdString() +
                                       "\": no such file.");
    // The good contents open into what was saved: fields, primitives of every kind, tools.
    canvas->fill3(COLOR_BUFFER, 1, 2, 3);
    canvas->getMyChildren()->begin()->second->moveBy(5.0, 0.0);
    write(path("good.nprpaint"), good);
    EXPECT_TRUE(painting::loadInto(path("good.nprpaint"), *canvas, &error)) << error.toStdString();
    const PaintingSnapshot opened = PaintingSnapshot::capture(*canvas, &before);
    EXPECT_EQ(opened.bytesNotSharedWith(before), 0u);
    ASSERT_EQ(opened.primitives.size(), 4u);
    auto key = [](const PaintingSnapshot::Primitive& p) {
        const PrimitiveLeafGL::State& s = p.state;
        return std::make_tuple(p.kind, s.x, s.y, s.rotation, s.width, s.life, s.sizeProgress, p.textureIndex,
                               p.dodging, p.shape, p.polyline.size());
    };
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(key(opened.primitives[i]), key(before.primitives[i])) << i;
    EXPECT_EQ(opened.tools.grid, before.tools.grid);
    EXPECT_EQ(opened.tools.strength, 12.5);
}

TEST_F(PaintingFileTest, RegressionPaintingOfACanvasFittedToASmallerScreenCouldNotBeOpened)
{
    // Fitted to a smaller screen, a canvas keeps its larger buffers.
    canvas->setBufferSize(200, 180);
    PaintingSnapshot read;
    QString error;
    EXPECT_TRUE(painting::decode(painting::encode(PaintingSnapshot::capture(*canvas)), &read, &error))
        << error.toStdString();
    EXPECT_EQ(read.placement.bufferWidth, 258u);
}

TEST_F(PaintingFileTest, SavingReplacesTheFileWholeAndLeavesNothingElse)
{
    const QString file = path("p.nprpaint");
    QString error;
    ASSERT_TRUE(painting::save(PaintingSnapshot::capture(*canvas), file, &error));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const qint64 oldSize = old.size();

    // A reader of the old file still reads it whole: the new one took its name, it was not
    // written into it.
    add(new TileLeafGL(vis.get(), 10.0, 10.0, 16.0, 16.0, 0.0, 1, false));
    ASSERT_TRUE(painting::save(PaintingSnapshot::capture(*canvas), file, &error));
    const QByteArray oldBytes = old.readAll();
    EXPECT_EQ(oldBytes.size(), oldSize);
    PaintingSnapshot read;
    ASSERT_TRUE(painting::decode(oldBytes, &read, &error));
    EXPECT_EQ(read.primitives.size(), 4u);
    ASSERT_TRUE(painting::load(file, &read, &error));
    EXPECT_EQ(read.primitives.size(), 5u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.nprpaint"});

    const QString nowhere = path("missing/p.nprpaint");
    EXPECT_FALSE(painting::save(read, nowhere, &error));
    EXPECT_TRUE(error.startsWith("Cannot save the painting \"" + nowhere + "\": ")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
}

} // namespace
