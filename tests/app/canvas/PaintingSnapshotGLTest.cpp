// A painting restored after its canvas changed draws the same picture and evolves the same way.
#include "CanvasTestSupport.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PaintingFile.h"
#include "canvas/PaintingSnapshot.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"

#include <GL/gl.h>

#include <QTemporaryDir>

#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

class SceneVis : public TabletopVisGL {
public:
    using TabletopVisGL::TabletopVisGL;
    using TabletopVis::renderAllComponents;
    using TabletopVis::renderAllComponentsWithAnimation;
};

class PaintingSnapshotGLTest : public CanvasFixture<GLTest, SceneVis> {
protected:
    std::vector<unsigned char> picture()
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        vis->renderAllComponents();
        std::vector<unsigned char> pixels(256 * 256 * 4);
        glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    // Frames with a fixed step: the measured frame rate would make them differ.
    void animate(int frames)
    {
        for (int i = 0; i < frames; ++i) vis->renderAllComponentsWithAnimation(1.0);
    }

    // Overlapping strokes of two textures on layers 0 and 1 (layer 1 dimmed), tiles on layer 1,
    // points on both, a geometric stroke; colour and size fields painted in the left half.
    void paint()
    {
        {
            OutputCapture quiet;
            for (const char* name : {"/textures/strokes/stroke-5-1.png", "/textures/strokes/stroke-1-1.png"})
                ASSERT_NE(vis->loadTexture((std::string(NPR_DATA_DIR) + name).c_str(), true),
                          TabletopVisGL::kTextureLoadFailed);
        }
        std::mt19937 random(5);
        auto uniform = [&](double lo, double hi) {
            return std::uniform_real_distribution<double>(lo, hi)(random);
        };
        auto colour = [&](PrimitiveLeafGL* p) {
            p->setDisplayColor(static_cast<unsigned char>(random() % 256),
                               static_cast<unsigned char>(random() % 256),
                               static_cast<unsigned char>(random() % 256));
        };
        for (int i = 0; i < 30; ++i) {
            auto* s = add(new StrokeLeafGL(vis.get(), uniform(10, 246), uniform(10, 246),
                                           uniform(20, 60), uniform(20, 60), uniform(0, 360),
                                           i % 3 == 0 ? 1 : 0, static_cast<unsigned>(i % 2)));
            colour(s);
            s->setLife(static_cast<int>(uniform(20, 250)));
        }
        for (int i = 0; i < 20; ++i) {
            colour(add(new TileLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 30),
                                      uniform(8, 30), uniform(0, 360), 1, false)));
            colour(add(new PointLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 40),
                                       uniform(8, 40), uniform(0, 360), i % 2)));
        }
        const std::vector<Vector2d> line = {Vector2d(-100, -20), Vector2d(0, 15), Vector2d(100, 20)};
        colour(add(new GeoStrokeLeafGL(vis.get(), 128, 128, 200, 40, 30, 0, line, 10)));
        canvas->tool(0, 5) = 1.0f;
        canvas->tool(0, 4) = 0.0f;
        auto* colours = canvas->buffer<unsigned char>(COLOR_BUFFER);
        auto* sizes = canvas->buffer<float>(ABSOLUTE_SIZE_BUFFER);
        for (unsigned int y = 0; y < colours->getHeight(); ++y)
            for (unsigned int x = 0; x < colours->getWidth() / 2; ++x) {
                unsigned char c[3] = {static_cast<unsigned char>(x), 40, static_cast<unsigned char>(y)};
                colours->set3DValues(x, y, c);
                sizes->setValue(x, y, 12.0f + static_cast<float>(y % 20));
            }
        // Hidden frames past, size animations under way.
        animate(8);
    }
};

TEST_F(PaintingSnapshotGLTest, RestoredPaintingDrawsTheSamePictureAndEvolvesTheSame)
{
    // Kept in memory, and saved to a file and opened again.
    const struct {
        const char* name;
        bool throughFile;
    } ways[] = {{"snapshot", false}, {"file", true}};
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("p.nprpaint");
    paint();
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        const PaintingSnapshot snapshot = PaintingSnapshot::capture(*canvas);
        ASSERT_EQ(snapshot.primitives.size(), 71u);
        QString error;
        if (way.throughFile) {
            ASSERT_TRUE(painting::save(snapshot, file, &error)) << error.toStdString();
        }
        const std::vector<unsigned char> before = picture();
        animate(30);
        const std::vector<unsigned char> beforeLater = picture();
        const PaintingSnapshot later = PaintingSnapshot::capture(*canvas);

        // The canvas changes: primitives come and go, fields and tools are repainted.
        int removed = 0;
        for (const auto& entry : std::map<unsigned long, VisComponent*>(*canvas->getMyChildren()))
            if (removed++ % 3 == 0) vis->deleteComponent(entry.second);
        add(new TileLeafGL(vis.get(), 100, 100, 40, 40, 10, 0, false));
        canvas->fill3(COLOR_BUFFER, 200, 10, 10);
        canvas->fill(ABSOLUTE_SIZE_BUFFER, 30.0f);
        canvas->tool(0, 3) = 1.0f;
        animate(5);
        ASSERT_NE(picture(), beforeLater);

        const unsigned long revision = canvas->getRevision();
        if (way.throughFile) {
            ASSERT_TRUE(painting::loadInto(file, *canvas, &error)) << error.toStdString();
        } else {
            ASSERT_TRUE(snapshot.restore(*canvas));
        }
        EXPECT_NE(canvas->getRevision(), revision);
        EXPECT_EQ(canvas->getNumberOfChildren(), 71u);
        EXPECT_EQ(picture(), before);
        animate(30);
        EXPECT_EQ(picture(), beforeLater);

        // What the canvas holds now is what it held then, down to the animation state.
        const PaintingSnapshot again = PaintingSnapshot::capture(*canvas);
        ASSERT_EQ(again.primitives.size(), later.primitives.size());
        auto key = [](const PaintingSnapshot::Primitive& p) {
            const PrimitiveLeafGL::State& s = p.state;
            return std::make_tuple(p.kind, s.x, s.y, s.rotation, s.width, s.life, s.sizeProgress, s.targetWidth);
        };
        for (std::size_t i = 0; i < later.primitives.size(); ++i)
            EXPECT_EQ(key(again.primitives[i]), key(later.primitives[i])) << i;
        for (std::size_t i = 0; i < later.fields.size(); ++i)
            EXPECT_EQ(again.fields[i].toBytes(), later.fields[i].toBytes()) << later.fields[i].name;
        EXPECT_EQ(again.tools.grid, later.tools.grid);
    }
}

} // namespace
