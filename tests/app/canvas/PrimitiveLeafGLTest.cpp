// Primitives and the brush drawn in a real context: colours, dimming, alpha, mask, lighting, outline.
#include "CanvasTestSupport.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "canvas/ToolBrushLeafGL.h"

#include <GL/gl.h>

#include <array>
#include <memory>
#include <vector>

namespace {

class PrimitiveLeafGLTest : public CanvasFixture<GLTest> {
protected:
    // Clears to black and renders n frames of c; primitives stay hidden for their first three.
    static void draw(VisComponentGL* c, int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
            c->render();
        }
    }
};

// The hidden first frames: the batch test.
TEST_F(PrimitiveLeafGLTest, PointIsDrawnInItsColourAndDimmed)
{
    auto* p = add(new PointLeafGL(vis.get(), 64, 64, 40, 40, 0, 0));
    p->setDisplayColor(200, 100, 50);
    draw(p, 4);
    const auto px = gl->pixel(64, 64);
    EXPECT_EQ((std::array<int, 3>{px[0], px[1], px[2]}), (std::array<int, 3>{200, 100, 50}));

    canvas->tool(0, 5) = 1.0f;
    canvas->tool(0, 4) = 1.0f;
    draw(p);
    EXPECT_EQ(gl->pixel(64, 64)[0], 100) << "dimmed: halved";
}

TEST_F(PrimitiveLeafGLTest, StrokeAlphaIsItsLifeAndTheMaskHidesIt)
{
    auto* s = add(new StrokeLeafGL(vis.get(), 128, 128, 40, 40, 0, 0, 0));
    s->setDisplayColor(255, 255, 255);
    s->setLife(60);
    draw(s, 4);
    draw(s);
    EXPECT_NEAR(gl->pixel(128, 128)[0], 60, 1);
    canvas->fill<bool>(VALIDITY_MASK_BUFFER, false);
    draw(s);
    EXPECT_EQ(gl->pixel(128, 128)[0], 0);
}

TEST_F(PrimitiveLeafGLTest, LongStrokeTextureWasStretchedIntoARoundDab)
{
    // A stroke texture painted in a 96 x 24 band of its 128 x 128 square.
    OutputCapture quiet;
    ASSERT_NE(vis->loadTexture(NPR_DATA_DIR "/textures/strokes/stroke-5-1.png", true),
              TabletopVisGL::kTextureLoadFailed);
    auto* s = add(new StrokeLeafGL(vis.get(), 128, 128, 96, 96, 0, 0, 0));
    s->setDisplayColor(255, 255, 255);
    draw(s, 4);
    int across = 0, along = 0;
    for (int i = 80; i < 176; ++i) {
        if (gl->pixel(i, 128)[0] > 20) ++along;
        if (gl->pixel(128, i)[0] > 20) ++across;
    }
    EXPECT_GT(along, 50);
    EXPECT_LT(across, along / 3) << "the fine line keeps its shape";
}

TEST_F(PrimitiveLeafGLTest, TileIsLitInItsColourAndGeoStrokeDrawsItsPolyline)
{
    auto* t = add(new TileLeafGL(vis.get(), 128, 128, 40, 40, 0, 0, false));
    t->setDisplayColor(0, 200, 0);
    draw(t, 4);
    const auto px = gl->pixel(128, 128);
    EXPECT_GT(px[1], 100);

    std::vector<Vector2d> line = {Vector2d(-30, 0), Vector2d(30, 0)};
    auto* g = add(new GeoStrokeLeafGL(vis.get(), 128, 100, 60, 10, 0, 0, line, 10));
    g->setDisplayColor(255, 0, 0);
    draw(g, 4);
    bool found = false;
    for (int y = 98; y <= 102; ++y) found = found || gl->pixel(128, y)[0] == 255;
    EXPECT_TRUE(found);
}

TEST_F(PrimitiveLeafGLTest, BrushOutlineRingInThePaintColour)
{
    auto* brush = new ToolBrushLeafGL(vis.get(), 230, 230, 128, 128, 1, 600, 200);
    vis->addComponent(brush, false);
    canvas->addChild(brush);
    canvas->tool(3, 1) = 255.0f;
    brush->renderIntoBuffers();
    brush->showOutline();
    draw(brush);
    // Ring between radius 88 and 100 around the brush centre (table 128, 128 here).
    EXPECT_GT(gl->pixel(128 + 94, 128)[0], 200);
    brush->hideOutline();
    draw(brush);
    EXPECT_LT(gl->pixel(128 + 94, 128)[0], 100);
}

} // namespace
