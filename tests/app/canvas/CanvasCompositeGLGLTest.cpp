// The painting canvas in a real context: gestures, labels, clears, resizing, curve, outline.
#include "CanvasTestSupport.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/CanvasCompositeGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace {

// A plain child for the canvas.
class DummyLeafGL : public VisComponentGL {
public:
    explicit DummyLeafGL(TabletopVisGL* vis) : VisComponentGL(vis, 10, 10, false, false, 50, 50, 0) {}

protected:
    void specificRender() override {}
    void specificRenderForPicking() override {}
};

// A child the canvas takes for a palette.
class FakePaletteGL : public DummyLeafGL {
public:
    using DummyLeafGL::DummyLeafGL;
};

class TestCanvasGL : public CanvasCompositeGL {
public:
    using CanvasCompositeGL::CanvasCompositeGL;
    using CanvasCompositeGL::specificRender;

    // Off-screen tile side (0: the GL limits) and whether off-screen targets exist.
    int tileLimit = 0;
    bool offscreen = true;

protected:
    int offscreenSizeLimit() const override
    {
        return tileLimit > 0 ? tileLimit : CanvasCompositeGL::offscreenSizeLimit();
    }
    bool canRenderOffscreen() const override
    {
        return offscreen && CanvasCompositeGL::canRenderOffscreen();
    }
    bool isPalette(VisComponent* child) const override
    {
        return dynamic_cast<FakePaletteGL*>(child) != nullptr;
    }
};

class CanvasGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        tavlor::seedRand15(3);
        vis = std::make_unique<RuduzozovorERUVisGL>(1, 64, 64, 200, 150);
        setTestPostureRanges(*vis);
        OutputCapture quiet;
        canvas = makeCanvas();
    }
    void TearDown() override { vis.reset(); }

    TestCanvasGL* makeCanvas(int labelFont = 1)
    {
        // Screen 200 x 150 with an overflow of 20: the canvas covers 240 x 190.
        auto* c = new TestCanvasGL(vis.get(), 240, 190, 100, 75, 0, 10, 20, labelFont, 12.0f, 7.0f);
        vis->addComponent(c, false);
        return c;
    }
    template <class Leaf = DummyLeafGL> Leaf* newLeaf()
    {
        auto* leaf = new Leaf(vis.get());
        vis->addComponent(leaf, false);
        return leaf;
    }

    // A press held (no release) of n samples at one place.
    void press(int x, int y, int side, int n)
    {
        for (int i = 0; i < n; ++i) canvas->hitLocalBuffer(unsigned(x + i), unsigned(y), side, side);
    }

    std::unique_ptr<RuduzozovorERUVisGL> vis;
    TestCanvasGL* canvas = nullptr;
};

} // namespace

TEST_F(CanvasGLTest, ModeLabelRestartsOnTheSameModeAndEndsWithoutAFont)
{
    // Choosing the same mode again shows the label again.
    canvas->setInteractionMode(6);
    for (int i = 0; i < 33; ++i) canvas->specificRender();
    EXPECT_TRUE(canvas->isModeLabelFadingOut());
    canvas->setInteractionMode(6);
    EXPECT_FALSE(canvas->isModeLabelFadingOut());

    OutputCapture out;
    TestCanvasGL* c = makeCanvas(0);
    EXPECT_EQ(out.take(),
              "WARNING: Fontarial72 not found\n"
              "WARNING: CanvasCompositeGL: font arial72 could not be found. Did you load it? \n");
    // Without labels a chosen mode still fades and ends.
    c->setInteractionMode(3);
    for (int i = 0; i < 100 && c->isModeChanged(); ++i) c->specificRender();
    EXPECT_FALSE(c->isModeChanged());
}

TEST_F(CanvasGLTest, LabelFontOverflowedItsGlyphTextures)
{
    // The glyphs were first met while the label lists were being compiled.
    OutputCapture quiet;
    ASSERT_TRUE(vis->loadFont(NPR_DATA_DIR "/fonts/arial.ttf", 72));
    ::testing::internal::CaptureStderr();
    TestCanvasGL* c = makeCanvas(0);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.find("ASSERTION FAILED"), std::string::npos) << errors;

    c->setInteractionMode(0);
    for (int i = 0; i < 31; ++i) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        c->specificRender();
    }
    // The label shows: grey glyphs on black where nothing else is drawn.
    int grey = 0;
    for (int y = 55; y < 110; ++y)
        for (int x = 0; x < 200; x += 2) {
            const auto p = gl->pixel(x, y);
            if (p[0] > 40 && p[0] == p[1] && p[1] == p[2]) ++grey;
        }
    EXPECT_GT(grey, 100);
}

TEST_F(CanvasGLTest, PostureOfATouchAppliesItsPresetOnceAndSticks)
{
    // Input combination 7 (the start value): a finger presets strength 2.
    press(100, 80, 10, 4);
    EXPECT_TRUE(canvas->isPainting());
    EXPECT_EQ(canvas->getInteractionMode(), 2);
    EXPECT_EQ(canvas->getToolState(4, 1), 2.0f);
    // The recognised posture replays the path from its second sample.
    EXPECT_EQ(canvas->getReplayedStamps(), 3u);
    // The hand flattens: the posture stays for the rest of the touch, without a second replay.
    press(104, 80, 350, 6);
    EXPECT_EQ(canvas->getReplayedStamps(), 3u);
    EXPECT_EQ(canvas->getPostureClassifier().getPosture(), 1);
    canvas->releaseLocalBuffer(107, 80, 0, 0);
    EXPECT_FALSE(canvas->isPainting());
    EXPECT_EQ(canvas->getPostureClassifier().getSampleCount(), 0);

    // A fake posture (the fist) overrides the contact and skips the replay.
    canvas->setFakePosture(3, 50, 50);
    press(100, 80, 1, 4);
    EXPECT_EQ(canvas->getToolState(0, 2), 130.0f);
    EXPECT_EQ(canvas->getReplayedStamps(), 3u);
}

TEST_F(CanvasGLTest, DeferredClearsRunOnTheirPass)
{
    // The pass after which each buffer is clear: the erase buffer through its validity.
    const std::pair<BUFFERTAG, int> clearedAfter[] = {
        {FRAME_VECTOR_BUFFER, 1}, {SECOND_TEMPORARY_ORIENTATION_BUFFER, 1}, {ERASE_BUFFER, 1},
        {TEMPORARY_ORIENTATION_BUFFER, 2}, {SIZE_DIFFERENCE_BUFFER, 2}, {SELECTION_BUFFER, 2}};
    auto cell = [&](BUFFERTAG tag) {
        return tag == SELECTION_BUFFER ? float(canvas->getActiveBufferAs<bool>(tag)->getValue(3u, 3u))
                                       : canvas->getActiveBufferAs<float>(tag)->getValue(3u, 3u);
    };
    for (const auto& [tag, pass] : clearedAfter) {
        if (tag == SELECTION_BUFFER)
            canvas->getActiveBufferAs<bool>(tag)->fillEntireBuffer(true);
        else
            canvas->getActiveBufferAs<float>(tag)->fillEntireBuffer(1.0f);
    }
    canvas->requestClearTempOrientation();
    canvas->requestClearTempOrientation2();
    canvas->requestClearSelection();
    canvas->requestClearSizeDiff();
    canvas->requestClearErase();
    for (int pass = 1; pass <= 2; ++pass) {
        canvas->renderIntoBuffers();
        for (const auto& [tag, at] : clearedAfter)
            EXPECT_EQ(cell(tag), pass >= at ? 0.0f : 1.0f) << "tag " << tag << " pass " << pass;
    }
    EXPECT_TRUE(canvas->getActiveBuffer(ERASE_BUFFER)->isValid());

    // Nothing is cleared again without a request.
    auto* temp = canvas->getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER);
    temp->fillEntireBuffer(2.0f);
    canvas->renderIntoBuffers();
    EXPECT_EQ(temp->getValue(3u, 3u), 2.0f);
}

TEST_F(CanvasGLTest, ChildrenPalettesAndTheDeletionQueue)
{
    auto* leaf = newLeaf();
    EXPECT_EQ(canvas->addChild(nullptr), 0);
    canvas->addChild(leaf);
    EXPECT_EQ(canvas->addChild(leaf), 0);
    // The canvas's buffers reach the child.
    leaf->setPassiveBuffer(ORIENTATION_BUFFER, nullptr);
    canvas->removeChild(leaf);
    canvas->addChild(leaf);
    EXPECT_EQ(leaf->getPassiveBuffer(ORIENTATION_BUFFER), canvas->getActiveBuffer(ORIENTATION_BUFFER));

    FakePaletteGL* p[4];
    for (auto*& q : p) q = newLeaf<FakePaletteGL>();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(canvas->addChild(p[i]), 1);
    {
        OutputCapture out;
        canvas->addChild(p[3]);
        EXPECT_EQ(out.take(), "WARNING: CanvasCompositeGL: no room for a fourth palette.\n");
    }
    EXPECT_EQ(canvas->removeChild(p[1]), 1);
    ASSERT_EQ(canvas->getNumberOfPalettes(), 2u);
    EXPECT_EQ(canvas->getPalette(1), p[2]);

    // A child queued twice is deleted once, at the next pass.
    const unsigned long before = vis->countComponents();
    canvas->queueForDeletion(leaf);
    canvas->queueForDeletion(leaf);
    canvas->renderIntoBuffers();
    EXPECT_EQ(vis->countComponents(), before - 1);
}

TEST_F(CanvasGLTest, FittingToALargerScreenKeepsContentsCentred)
{
    auto* size = canvas->getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER);
    size->setValue(10u, 20u, 55.0f);
    canvas->getActiveBufferAs<int>(SPEED_BUFFER)->setValue(241u, 191u, 7);

    vis->setScreensize(260, 170); // buffers grow by 60 x 20
    canvas->rebuildGraphicRepresentation();
    EXPECT_EQ(canvas->getXPos(), 130.0);
    size = canvas->getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER);
    ASSERT_EQ(size->getWidth(), 302u);
    EXPECT_EQ(size->getValue(10u + 31u, 20u + 11u), 55.0f);
    EXPECT_EQ(size->getValue(0u, 0u), 12.0f);
    EXPECT_EQ(canvas->getActiveBufferAs<int>(SPEED_BUFFER)->getValue(272u, 202u), 7);
    // A smaller screen keeps the buffers.
    vis->setScreensize(100, 100);
    canvas->rebuildGraphicRepresentation();
    EXPECT_EQ(canvas->getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER), size);
}

TEST_F(CanvasGLTest, GrowingInOneDirectionOnlyStaysInside)
{
    // Regression: the extra cell of the offset pushed the last row past a buffer that did not
    // grow in height.
    canvas->getActiveBufferAs<int>(SPEED_BUFFER)->setValue(241u, 191u, 7);
    vis->setScreensize(260, 150);
    canvas->rebuildGraphicRepresentation();
    auto* speed = canvas->getActiveBufferAs<int>(SPEED_BUFFER);
    EXPECT_EQ(speed->getHeight(), 192u);
    EXPECT_EQ(speed->getValue(272u, 191u), 0);
}

namespace {

// Runs a completed curve of normalised canvas points through the canvas's overlay.
void drawCurve(CanvasCompositeGL& c, std::initializer_list<std::pair<double, double>> points)
{
    Curve2D& curve = c.getCurve();
    curve.clear();
    for (const auto& p : points) curve.addPoint(p.first, p.second);
    curve.setComplete(true);
    OutputCapture quiet;
    c.drawCurveOverlay();
}

std::array<float, 2> vectorAt(CanvasCompositeGL& c, BUFFERTAG tag, unsigned x, unsigned y)
{
    std::array<float, 2> v{};
    c.getActiveBufferAs<float>(tag)->get2DValues(x, y, v.data());
    return v;
}

} // namespace

TEST_F(CanvasGLTest, StraightCurveOrientsPrimitivesAlongItNearbyOnlyForSomePasses)
{
    // Row 0.5 of the 190-high canvas is buffer row 96.5: the middle of cell row 96.
    drawCurve(*canvas, {{0.1, 0.5}, {0.5, 0.5}, {0.9, 0.5}});

    auto* depth = canvas->getActiveBufferAs<double>(DEPTH_BUFFER);
    EXPECT_LT(depth->getValue(120u, 96u), 0.01);
    EXPECT_NEAR(depth->getValue(120u, 126u), 30.0 / 60.0, 0.01);
    EXPECT_EQ(depth->getValue(120u, 170u), 1.0);

    // Along the curve on both sides and on it, all pointing the way it was drawn.
    for (unsigned y = 50; y <= 142; y += 2)
        for (unsigned x = 40; x <= 200; x += 8) {
            const auto v = vectorAt(*canvas, TEMPORARY_ORIENTATION_BUFFER, x, y);
            ASSERT_NEAR(v[0], 1.0f, 1e-3f) << x << "," << y;
            ASSERT_NEAR(v[1], 0.0f, 0.05f) << x << "," << y;
        }
    for (unsigned y : {0u, 20u, 170u, 191u})
        for (unsigned x = 0; x < 242; x += 11) {
            const auto v = vectorAt(*canvas, TEMPORARY_ORIENTATION_BUFFER, x, y);
            ASSERT_EQ(v[0], 0.0f) << x << "," << y;
            ASSERT_EQ(v[1], 0.0f) << x << "," << y;
        }

    // The orientation is held for turning, then handed back.
    auto* temp = canvas->getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER);
    // A brush writes one cell meanwhile; that cell stays the brush's.
    float brush[2] = {0.0f, 1.0f};
    temp->set2DValues(120u, 105u, brush);
    for (int pass = 1; pass < CanvasCompositeGL::kCurveOrientationPasses; ++pass)
        canvas->renderIntoBuffers();
    EXPECT_EQ(vectorAt(*canvas, TEMPORARY_ORIENTATION_BUFFER, 120, 100)[0], 1.0f);
    canvas->renderIntoBuffers();
    EXPECT_EQ(vectorAt(*canvas, TEMPORARY_ORIENTATION_BUFFER, 120, 100)[0], 0.0f);
    EXPECT_EQ(vectorAt(*canvas, TEMPORARY_ORIENTATION_BUFFER, 120, 105)[1], 1.0f);
}

TEST_F(CanvasGLTest, CurveLeavingTheCanvasRestoresTheCallersState)
{
    // The caller's target, viewport, matrix mode, matrices and enables come back unchanged.
    glViewport(3, 4, 100, 90);
    glMatrixMode(GL_PROJECTION);
    glTranslated(5.0, 6.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(7.0, 8.0, 0.0);
    glEnable(GL_BLEND);
    const auto state = [] {
        std::vector<double> v(40);
        GLint i[7];
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &i[0]);
        glGetIntegerv(GL_VIEWPORT, &i[1]);
        glGetIntegerv(GL_MATRIX_MODE, &i[5]);
        i[6] = glIsEnabled(GL_BLEND) * 2 + glIsEnabled(GL_DEPTH_TEST);
        std::copy(i, i + 7, v.begin());
        glGetDoublev(GL_PROJECTION_MATRIX, &v[8]);
        glGetDoublev(GL_MODELVIEW_MATRIX, &v[24]);
        return v;
    };
    const std::vector<double> before = state();
    drawCurve(*canvas, {{-0.5, 0.2}, {0.5, 0.5}, {1.5, 1.7}});
    EXPECT_EQ(state(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // The part inside reached the grids.
    EXPECT_LT(canvas->getActiveBufferAs<double>(DEPTH_BUFFER)->getValue(121u, 96u), 0.05);
}

TEST_F(CanvasGLTest, TiledCurveRenderingMatchesOneTarget)
{
    TestCanvasGL* tiled = nullptr;
    {
        OutputCapture quiet;
        tiled = makeCanvas();
    }
    tiled->tileLimit = 50;
    const auto points = {std::make_pair(0.05, 0.1), std::make_pair(0.4, 0.8),
                         std::make_pair(0.95, 0.3)};
    drawCurve(*canvas, points);
    drawCurve(*tiled, points);
    const auto* a = canvas->getActiveBufferAs<double>(DEPTH_BUFFER)->getBufferArray();
    const auto* b = tiled->getActiveBufferAs<double>(DEPTH_BUFFER)->getBufferArray();
    double worst = 0.0;
    for (unsigned i = 0; i < 242u * 192u; ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
    EXPECT_LT(worst, 1e-4); // a misplaced tile would be off by 1/60 a cell or more
}

TEST_F(CanvasGLTest, SelectionOutlineTracesTheBoundaryOfASelectedDisc)
{
    // A disc of radius 30 cells around cell (121, 96): table (100, 75). Cell corner X lies at
    // table X - 21.5.
    auto* selection = canvas->getActiveBufferAs<bool>(SELECTION_BUFFER);
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 242; ++x)
            selection->setValue(unsigned(x), unsigned(y), std::hypot(x - 121, y - 96) <= 30.0);
    auto lit = [&](int x, int y) { return gl->pixel(x, y)[0] > 0; };
    // Renders and counts the lit pixels around the disc.
    auto litOnCircle = [&] {
        glClear(GL_COLOR_BUFFER_BIT);
        canvas->specificRender();
        int n = 0;
        for (int y = 40; y <= 110; ++y)
            for (int x = 65; x <= 135; ++x) n += lit(x, y);
        return n;
    };

    canvas->setSelectionOutline(true);
    const int solid = litOnCircle();
    // A lit pixel within two of the circle at 36 angles.
    for (int k = 0; k < 36; ++k) {
        const double a = k * 10.0 * 3.14159265 / 180.0;
        const int cx = int(std::lround(100 + 30.5 * std::cos(a)));
        const int cy = int(std::lround(75 + 30.5 * std::sin(a)));
        bool any = false;
        for (int dy = -2; dy <= 2 && !any; ++dy)
            for (int dx = -2; dx <= 2 && !any; ++dx) any = lit(cx + dx, cy + dy);
        EXPECT_TRUE(any) << k * 10;
    }
    for (int y = 60; y <= 90; y += 2)
        for (int x = 85; x <= 115; x += 2) ASSERT_FALSE(lit(x, y)) << x << "," << y;

    // Dashed: the same line with gaps.
    canvas->setSelectionOutline(false);
    canvas->setSelectionOutlineDashed(true);
    const int dashed = litOnCircle();
    EXPECT_GT(dashed, solid / 5);
    EXPECT_LT(dashed, solid * 4 / 5);

    // A touch switches the outline off.
    canvas->hitLocalBuffer(10, 10, 10, 10);
    EXPECT_EQ(litOnCircle(), 0);
}
