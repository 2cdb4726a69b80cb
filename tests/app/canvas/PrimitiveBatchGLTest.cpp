// The canvas's batched drawing (point sprites, else vertex arrays) against each primitive's own
// display list: the same picture (colours within one unit) and the same picking image.
#include "CanvasTestSupport.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace {

// The controller's scene renders, back to front.
class SceneVis : public TabletopVisGL {
public:
    using TabletopVisGL::TabletopVisGL;
    using TabletopVis::renderAllComponents;
    using TabletopVis::renderAllComponentsForPicking;
};

class PrimitiveBatchGLTest : public CanvasFixture<GLTest, SceneVis> {
protected:
    // The canvas and its children (or its picking image) read back whole.
    std::vector<unsigned char> frame(bool batched, bool picking)
    {
        canvas->setBatchedDrawing(batched);
        canvas->setStrokeSprites(true); // off in the program; compared here all the same
        clear();
        if (picking)
            vis->renderAllComponentsForPicking();
        else
            vis->renderAllComponents();
        return readBack();
    }
    static void clear()
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    static std::vector<unsigned char> readBack()
    {
        std::vector<unsigned char> pixels(256 * 256 * 4);
        glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    // Window pixels as table pixels, for the batch drawn alone.
    static void pixelView()
    {
        glViewport(0, 0, 256, 256);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 256, 0, 256, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // The largest component difference, how many components differ at all and how many pixels
    // have a component more than one unit apart.
    struct Diff {
        int largest = 0, differing = 0, pixelsApart = 0;
    };
    static Diff diff(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
    {
        Diff d;
        for (std::size_t i = 0; i < a.size(); i += 4) {
            bool apart = false;
            for (std::size_t c = i; c < i + 4; ++c) {
                const int k = std::abs(a[c] - b[c]);
                d.largest = std::max(d.largest, k);
                d.differing += k != 0;
                apart = apart || k > 1;
            }
            d.pixelsApart += apart;
        }
        return d;
    }
    unsigned int loadStrokeTexture(const char* name)
    {
        OutputCapture quiet;
        return vis->loadTexture((std::string(NPR_DATA_DIR) + "/textures/strokes/" + name).c_str(), true);
    }

    // Sprites and vertex arrays used by the last frame and picking image.
    std::size_t sprites() const
    {
        return canvas->lastRenderBatch().spritesDrawn() + canvas->lastPickingBatch().spritesDrawn();
    }
    std::size_t arrays() const
    {
        return canvas->lastRenderBatch().arraysDrawn() + canvas->lastPickingBatch().arraysDrawn();
    }

    // Past the hidden frames, the batched picture and picking image against the reference;
    // colours within one unit except at `allowed` pixels.
    void expectSamePictures(int allowed = 0)
    {
        for (int i = 0; i < 4; ++i) frame(true, false);
        const Diff picture = diff(frame(true, false), frame(false, false));
        EXPECT_LE(picture.pixelsApart, allowed)
            << "largest difference " << picture.largest << ", " << picture.differing << " components differ";
        const Diff picking = diff(frame(true, true), frame(false, true));
        EXPECT_EQ(picking.largest, 0) << picking.differing << " components differ";
    }
};

TEST_F(PrimitiveBatchGLTest, BatchedAndReferencePathsDrawTheSamePictureAndPickingImage)
{
    ASSERT_NE(loadStrokeTexture("stroke-5-1.png"), TabletopVisGL::kTextureLoadFailed);
    ASSERT_NE(loadStrokeTexture("stroke-1-1.png"), TabletopVisGL::kTextureLoadFailed);

    std::mt19937 random(7);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto colour = [&](PrimitiveLeafGL* p) {
        p->setDisplayColor(static_cast<unsigned char>(random() % 256),
                           static_cast<unsigned char>(random() % 256),
                           static_cast<unsigned char>(random() % 256));
    };
    // Overlapping strokes of the first texture in the left half (fading with their life), of the
    // second in the right half, a quarter of them on the dimmed layer 1; tiles on layer 1 and
    // points on both.
    for (int i = 0; i < 40; ++i) {
        const bool second = i % 2 == 1;
        auto* s = add(new StrokeLeafGL(vis.get(), uniform(second ? 140 : 10, second ? 246 : 116),
                                       uniform(10, 246), uniform(20, 60), uniform(20, 60),
                                       uniform(0, 360), i % 4 == 0 ? 1 : 0, second ? 1 : 0));
        colour(s);
        s->setLife(static_cast<int>(uniform(20, 250)));
    }
    for (int i = 0; i < 30; ++i) {
        colour(add(new TileLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 30),
                                  uniform(8, 30), uniform(0, 360), 1, false)));
        colour(add(new PointLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 40),
                                   uniform(8, 40), uniform(0, 360), i % 2)));
    }
    // Not batched: the batch is flushed before it, so what came earlier stays under it.
    std::vector<Vector2d> line = {Vector2d(-100, -20), Vector2d(100, 20)};
    colour(add(new GeoStrokeLeafGL(vis.get(), 128, 128, 200, 40, 30, 0, line, 10)));
    for (int i = 0; i < 30; ++i)
        colour(add(new PointLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 40),
                                   uniform(8, 40), uniform(0, 360), 0)));
    canvas->tool(0, 5) = 1.0f;
    canvas->tool(0, 4) = 0.0f;

    // New primitives stay hidden for three frames on either path.
    const std::vector<unsigned char> empty = frame(true, false);
    EXPECT_EQ(frame(false, false), empty);
    frame(true, false);
    EXPECT_GT(diff(frame(false, false), empty).differing, 10000) << "drawn from the fourth frame on";
    const std::size_t spritesBefore = sprites(), arraysBefore = arrays();
    expectSamePictures();
    // Most as sprites; the largest strokes through vertex arrays.
    EXPECT_GT(sprites() - spritesBefore, arrays() - arraysBefore);
    EXPECT_GT(arrays() - arraysBefore, 0u);

    // The vertex-array path alone.
    canvas->setPointSprites(false);
    const std::size_t spritesWithout = sprites();
    expectSamePictures();
    EXPECT_EQ(sprites(), spritesWithout);
}

// Pixel centres exactly on edges and corners, where the fill rule decides; shapes too large or
// too small for a sprite between them, so sprites and vertex arrays alternate within one kind.
TEST_F(PrimitiveBatchGLTest, SpritesKeepTheFillRuleOnPixelCentresAndTheOrderAcrossFallbacks)
{
    ASSERT_NE(loadStrokeTexture("stroke-5-1.png"), TabletopVisGL::kTextureLoadFailed);
    int n = 0;
    auto colour = [&n](PrimitiveLeafGL* p) {
        ++n;
        p->setDisplayColor(static_cast<unsigned char>(40 + n * 37 % 200),
                           static_cast<unsigned char>(60 + n * 53 % 190),
                           static_cast<unsigned char>(30 + n * 71 % 220));
    };
    for (int row = 0; row < 4; ++row) {
        const double angle = 90.0 * row;
        const double y = 24.5 + 60.0 * row;
        for (int column = 0; column < 4; ++column) {
            const double x = 20.5 + 60.0 * column + (column % 2) * 0.5;
            const double size = column < 2 ? 20.0 : 21.0;
            colour(add(new TileLeafGL(vis.get(), x, y, size, size + 4, angle, 0, false)));
            colour(add(new PointLeafGL(vis.get(), x + 15, y, size, size, angle, 0)));
            // Odd sides, so the texture is not sampled on its middle row or column exactly.
            auto* s = add(new StrokeLeafGL(vis.get(), x + 10.5 - (column % 2) * 0.5, y + 12.5,
                                           size + 9 - (column < 2 ? 0 : 1), 21, angle, 0, 0));
            colour(s);
            s->setLife(200);
        }
    }
    // Too large (over 84 pixels across) and too small (under 5) for a sprite, between others.
    for (int i = 0; i < 6; ++i) {
        const double size = i % 2 == 0 ? 90.0 : 3.0;
        colour(add(new PointLeafGL(vis.get(), 40.0 + 30 * i, 128.0, size, size, 10.0 * i, 0)));
        colour(add(new PointLeafGL(vis.get(), 50.0 + 30 * i, 135.0, 16.0, 16.0, 7.0 * i, 0)));
    }
    canvas->tool(0, 5) = 1.0f;
    canvas->tool(0, 4) = 0.0f;

    const std::size_t spritesBefore = sprites(), arraysBefore = arrays();
    // One pixel: its centre lies exactly on a stroke's side, where the texture is sampled at
    // exactly its first column; the paths' texture coordinates differ in the last bit there and
    // the filtered border differs by 75. The picking image (coverage) is the same.
    expectSamePictures(1);
    EXPECT_GT(sprites() - spritesBefore, 0u);
    EXPECT_GT(arrays() - arraysBefore, 0u);
}

// The batch alone under the caller's transform: a turned and scaled view draws sprites that
// match the vertex-array path; a perspective view draws through vertex arrays only.
TEST_F(PrimitiveBatchGLTest, SpritesFollowTheCallersTransformAndPerspectiveFallsBack)
{
    std::mt19937 random(11);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto fill = [&](PrimitiveBatch& batch) {
        random.seed(11);
        for (int i = 0; i < 60; ++i) {
            PrimitivePlacement at;
            at.x = uniform(50, 206);
            at.y = uniform(50, 206);
            const double a = uniform(0, 6.3);
            at.cosA = std::cos(a);
            at.sinA = std::sin(a);
            at.sx = uniform(8, 30);
            at.sy = uniform(8, 30);
            const unsigned char rgba[4] = {static_cast<unsigned char>(random() % 256),
                                           static_cast<unsigned char>(random() % 256),
                                           static_cast<unsigned char>(random() % 256),
                                           static_cast<unsigned char>(60 + random() % 196)};
            const float diffuse[4] = {rgba[0] / 256.0f, rgba[1] / 256.0f, rgba[2] / 256.0f, 1.0f};
            const float texCoords[4] = {0.0f, 1.0f, 0.0f, 1.0f};
            if (i % 3 == 0) batch.addPoint(at, i % 16, rgba);
            if (i % 3 == 1) batch.addTile(at, diffuse);
            if (i % 3 == 2) batch.addStroke(at, 0, texCoords, rgba);
        }
    };
    const unsigned char pick[4] = {10, 200, 30, 255};
    auto draw = [&](bool sprites, bool picking) {
        PrimitiveBatch batch;
        batch.setSprites(sprites);
        batch.setStrokeSprites(true);
        fill(batch);
        clear();
        batch.flush(picking ? pick : nullptr);
        EXPECT_EQ(batch.spritesDrawn(), sprites ? 60u : 0u);
        return readBack();
    };
    pixelView();
    glTranslated(128, 128, 0);
    glRotated(30, 0, 0, 1);
    glScaled(1.3, 0.8, 1);
    glTranslated(-128, -128, 0);
    const std::vector<unsigned char> sprites = draw(true, false);
    EXPECT_EQ(diff(sprites, draw(false, false)).pixelsApart, 0);
    const Diff picking = diff(draw(true, true), draw(false, true));
    EXPECT_EQ(picking.largest, 0) << picking.differing << " components differ";
    EXPECT_GT(diff(sprites, std::vector<unsigned char>(sprites.size(), 0)).differing, 10000)
        << "the primitives are drawn";

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0, 0, -2);
    glScaled(1 / 128.0, 1 / 128.0, 1);
    glTranslated(-128, -128, 0);
    PrimitiveBatch batch;
    batch.setStrokeSprites(true);
    fill(batch);
    batch.flush();
    EXPECT_EQ(batch.spritesDrawn(), 0u);
    EXPECT_EQ(batch.arraysDrawn(), 60u);
}

// Points whose rim vertices fall on pixel centres (sizes giving whole-pixel radii, centres on
// pixel centres, quarter turns, mirrored), every shape: each pixel on the outline or a vertex
// is kept or left as the fan's triangles decide.
TEST_F(PrimitiveBatchGLTest, PointSpritesKeepTheFansPixelsOnRimVerticesAndEdges)
{
    auto draw = [](bool sprites) {
        PrimitiveBatch batch;
        batch.setSprites(sprites);
        int n = 0;
        for (int shape = 0; shape < PrimitiveBatch::kShapeCount; ++shape)
            for (int turn = 0; turn < 5; ++turn) {
                PrimitivePlacement at;
                at.x = 12.5 + 26 * (n % 9) + (shape % 2) * 0.5;
                at.y = 12.5 + 30 * (n / 9);
                // Quarter turns exactly, and one turned a little.
                const double cosA[5] = {1.0, 0.0, -1.0, 0.0, std::cos(0.3)};
                const double sinA[5] = {0.0, 1.0, 0.0, -1.0, std::sin(0.3)};
                at.cosA = cosA[turn];
                at.sinA = sinA[turn];
                at.sx = (shape % 3 == 0 ? -1 : 1) * (shape < 8 ? 20.0 : 25.0);
                at.sy = shape % 4 == 1 ? 15.0 : 20.0;
                const unsigned char rgba[4] = {static_cast<unsigned char>(30 + 2 * n),
                                               static_cast<unsigned char>(250 - 2 * n), 90, 255};
                batch.addPoint(at, shape, rgba);
                ++n;
            }
        clear();
        batch.flush();
        EXPECT_EQ(batch.spritesDrawn(), sprites ? 80u : 0u);
        return readBack();
    };
    pixelView();
    EXPECT_EQ(diff(draw(true), draw(false)).pixelsApart, 0);
}

} // namespace
