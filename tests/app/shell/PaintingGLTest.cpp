// Painting through the whole controller: frames rendered, a mouse-sized pointer dragged.
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/ContextMenuGL.h"
#include "canvas/CornerMenuGL.h"
#include "canvas/StrokeMenuGL.h"
#include "canvas/PaletteLayout.h"
#include "canvas/PaletteLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kMouseContact = 10.0;
constexpr float kInitialSize = 36.0f;

class PaintingGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        tavlor::seedRand15(11);
        OutputCapture quiet;
        builder.buildVis(1, 64, 64, static_cast<unsigned>(gl->width()),
                         static_cast<unsigned>(gl->height()));
        vis = builder.getApplicationVis();
        vis->setAnimating(true);
        // The whole 256 x 256 table lies in the classifier's corner band, where areas count
        // double: the mouse's 10 x 10 gives 200, a one-finger area.
        vis->setPenRange(0, 40);
        vis->setOneFingerRange(40, 300);
        vis->setTwoFingersRange(300, 800);
        vis->setFistRange(800, 10000);
        vis->setHandRange(10000, 400000);
        builder.buildCanvas(10.0, 50.0, 1, kInitialSize, nullptr, 256.0);
        canvas = vis->findFirst<CanvasCompositeGL>();
        ASSERT_NE(canvas, nullptr);
        canvas->updatePostureRanges();
        frames(2);
    }
    void frame()
    {
        gl->bindFramebuffer();
        vis->render(1, 60.0);
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) frame();
    }

    // A drag from (x0, y) to (x1, y), one frame per step of dx.
    void drag(int x0, int x1, int y, int dx)
    {
        vis->setTouchBoundWidth(0, kMouseContact);
        vis->setTouchBoundHeight(0, kMouseContact);
        vis->devicePress(unsigned(x0), unsigned(y), 0, 0);
        frame();
        for (int x = x0; x <= x1; x += dx) {
            vis->deviceMove(unsigned(x), unsigned(y), 0, 0);
            frame();
        }
        vis->deviceRelease(unsigned(x1), unsigned(y), 0, 0);
        frame();
    }

    template <class P> std::vector<P*> primitives()
    {
        std::vector<P*> found;
        for (const auto& entry : *canvas->getMyChildren())
            if (auto* p = dynamic_cast<P*>(entry.second)) found.push_back(p);
        return found;
    }

    // Lit pixels of the row y, for a dark background.
    int litPixelsInRow(int y)
    {
        int n = 0;
        for (int x = 0; x < gl->width(); ++x) {
            const auto p = gl->pixel(x, y);
            if (p[0] + p[1] + p[2] > 30) ++n;
        }
        return n;
    }

    RuduzozovorERUBuilderGL builder; // owns the controller
    RuduzozovorERUVisGL* vis = nullptr;
    CanvasCompositeGL* canvas = nullptr;
};

// ---- The drag paints ----

TEST_F(PaintingGLTest, AFingerPaintsAlongItsPathAndOnThePaintAndAHandErasesIt)
{
    builder.buildStrokes(48.0, 48.0, 0, false);
    drag(60, 200, 128, 4);
    const auto strokes = primitives<StrokeLeafGL>();
    // One primitive a frame for the one-finger preset (strength 2, diameter 20).
    EXPECT_GE(strokes.size(), 20u);
    for (StrokeLeafGL* s : strokes) {
        EXPECT_GE(s->getXPos(), 60.0 - 12.0);
        EXPECT_LE(s->getXPos(), 200.0 + 12.0);
        EXPECT_NEAR(s->getYPos(), 128.0, 12.0);
    }
    // A touch starting on the painted strokes paints instead of dragging them.
    frames(10);
    std::vector<double> xs;
    for (StrokeLeafGL* s : strokes) xs.push_back(s->getXPos());
    drag(80, 160, 128, 4);
    const std::size_t painted = primitives<StrokeLeafGL>().size();
    EXPECT_GT(painted, strokes.size());
    for (std::size_t i = 0; i < strokes.size(); ++i) EXPECT_EQ(strokes[i]->getXPos(), xs[i]);

    // The hand posture erases what the finger painted: erosion of 10 a frame takes a life of
    // 210 in about 21 frames.
    canvas->setFakePosture(4, 350, 350);
    for (int pass = 0; pass < 2; ++pass) drag(60, 200, 128, 4);
    frames(3);
    EXPECT_LT(primitives<StrokeLeafGL>().size(), painted / 4);
}

TEST_F(PaintingGLTest, MenusAloneChooseTheToolAndThePrimitive)
{
    // The menus as the builder places them (no textures: the test runs outside data/).
    VeskConfiguration c;
    auto frameOf = [](auto& m, uint32_t side, uint32_t x, uint32_t y) {
        m.width = {side};
        m.height = {side};
        m.xpos = {x};
        m.ypos = {y};
        m.opacity = {1.0};
        m.rnt = {false};
        m.tossing = {false};
    };
    frameOf(c.contextmenu, 150, 128, 128);
    frameOf(c.cornermenu, 80, 40, 240); // kept on the screen: centre (40, 216)
    frameOf(c.strokemenu, 200, 128, 128);
    builder.buildStrokes(48.0, 48.0, 0, false);
    builder.buildContextMenu(c, 0);
    builder.buildCornerMenu(c, 0);
    builder.buildStrokeMenu(c, 0);
    auto* context = vis->findFirst<ContextMenuGL>();
    auto* corner = vis->findFirst<CornerMenuGL>();
    auto* strokes = vis->findFirst<StrokeMenuGL>();
    ASSERT_TRUE(context && corner && strokes);
    frames(2);

    auto tap = [&](int x, int y) {
        vis->devicePress(unsigned(x), unsigned(y), 0, 0);
        frame();
        vis->deviceRelease(unsigned(x), unsigned(y), 0, 0);
        frames(2);
    };
    // The corner icon opens the context menu; its "Create" (above the centre) chooses create.
    tap(40, 225);
    tap(128, 178);
    EXPECT_FALSE(context->isShown());
    EXPECT_EQ(canvas->getInteractionMode(), 0);
    EXPECT_EQ(corner->getIconIndex(), 2);
    // The band under the icon opens the stroke menu: points, accepted.
    tap(40, 191);
    tap(82, 198);
    tap(82, 56);
    EXPECT_FALSE(strokes->isShown());
    EXPECT_EQ(canvas->getToolState(4, 2), 2.0f);

    drag(60, 200, 100, 4);
    EXPECT_GE(primitives<PointLeafGL>().size(), 10u);
    EXPECT_TRUE(primitives<StrokeLeafGL>().empty());
    EXPECT_EQ(corner->bandText(), "Points  200");
}

TEST_F(PaintingGLTest, TilesDemoCreatesTiles)
{
    builder.buildTiles(28.0, 28.0, 0, false);
    drag(60, 120, 100, 4);
    EXPECT_GE(primitives<TileLeafGL>().size(), 10u);
    EXPECT_TRUE(primitives<StrokeLeafGL>().empty());
}

TEST_F(PaintingGLTest, RegressionPenDragChangedThePicture)
{
    // The pen chooses no tool; on a fresh canvas the grid's initial brush kind (absolute size)
    // used to paint along the drag, and a kind left by an earlier touch kept working.
    builder.buildStrokes(48.0, 48.0, 0, false);
    BufferTemplate<float>* size = canvas->getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER);
    ASSERT_NE(size, nullptr);
    const std::vector<float> before(size->getBufferArray(),
                                    size->getBufferArray() + size->getWidth() * size->getHeight());
    canvas->setFakePosture(0, 3, 3);
    drag(60, 200, 128, 4);
    canvas->setToolState(0, 0, 4.0f); // as a create touch leaves it before its release
    drag(60, 200, 128, 4);
    EXPECT_TRUE(primitives<StrokeLeafGL>().empty());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), size->getBufferArray()));
    EXPECT_EQ(canvas->getToolState(0, 0), 8.0f);
}

TEST_F(PaintingGLTest, EraseModeStrengthSetsHowLongAStrokeLastsUnderTheBrush)
{
    // Input combination 0, erase mode: a frame erodes the posture's strength at the brush centre.
    // A stroke's life of 210 lasts about 100 frames under one finger (strength 2), 21 under a
    // fist (10) and 7 under a hand (30).
    const struct { int posture, side, minFrames, maxFrames; } data[] = {
        {1, 10, 98, 103}, {3, 50, 19, 23}, {4, 350, 6, 9}};
    vis->setInputCombo(0);
    canvas->setInteractionMode(1);
    for (const auto& row : data) {
        builder.buildStrokes(48.0, 48.0, 1, false);
        frames(1);
        ASSERT_EQ(primitives<StrokeLeafGL>().size(), 1u);
        primitives<StrokeLeafGL>().front()->setPos(128.0, 128.0);
        canvas->setFakePosture(row.posture, row.side, row.side);
        vis->devicePress(128, 128, 0, 0);
        int n = 0;
        for (; n < 200 && !primitives<StrokeLeafGL>().empty(); ++n) {
            vis->deviceMove(128, 128, 0, 0);
            frame();
        }
        vis->deviceRelease(128, 128, 0, 0);
        frames(2);
        EXPECT_GE(n, row.minFrames) << row.posture;
        EXPECT_LE(n, row.maxFrames) << row.posture;
    }
}

// ---- What the builder places is visible ----

TEST_F(PaintingGLTest, BuilderStrokesWereDrawnAFewPixelsWide)
{
    builder.buildStrokes(48.0, 48.0, 1, false);
    frames(1); // dropped onto the canvas
    const auto strokes = primitives<StrokeLeafGL>();
    ASSERT_EQ(strokes.size(), 1u);
    StrokeLeafGL* s = strokes.front();
    s->setPos(128.0, 128.0);
    s->rotate(-s->getRotation());
    s->setDisplayColor(255, 255, 255);
    // The size animation takes it to the canvas's initial size in 50 frames.
    frames(60);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    s->render();
    EXPECT_NEAR(litPixelsInRow(128), kInitialSize, 3.0);
}

} // namespace

// ---- The palette, through the controller's picking ----

TEST_F(PaintingGLTest, TappingASwatchThenDraggingPaintsTheCanvasInItsColour)
{
    VeskConfiguration config;
    config.palette.number = {1};
    config.palette.width = {120.0};
    config.palette.height = {120.0};
    config.palette.xpos = {190};
    config.palette.ypos = {66};
    config.palette.opacity = {1.0};
    config.palette.toolbrush_type_id = {1.0};
    config.palette.default_toolbrush_size = {60.0};
    {
        OutputCapture quiet;
        builder.buildPalette(config, 0);
    }
    auto* palette = vis->findFirst<PaletteLeafGL>();
    ASSERT_NE(palette, nullptr);
    frames(2);

    // A tap on the blue swatch: press, a frame to pick the palette, release.
    const palette::Rect blue = palette::rectOf(palette::kFirstSwatch + 2);
    double x = 0, y = 0;
    palette->fractionToTable(0.5 * (blue.u0 + blue.u1), 0.5 * (blue.v0 + blue.v1), &x, &y);
    vis->devicePress(unsigned(x), unsigned(y), 0, 0);
    frames(2);
    vis->deviceRelease(unsigned(x), unsigned(y), 0, 0);
    frames(2);

    // The drag over the canvas colours it blue under the brush's path (well away from the
    // palette, which keeps its place).
    drag(30, 110, 200, 4);
    unsigned char c[3];
    // Canvas cell = table pixel + overflow 50 + 1.
    canvas->getActiveBufferAs<unsigned char>(COLOR_BUFFER)->get3DValues(121u, 251u, c);
    EXPECT_LT(c[0], 60);
    EXPECT_LT(c[1], 60);
    EXPECT_GT(c[2], 150);
}
