// Grabbing lenses on a painted canvas through the controller's pointer door: direction and
// orientation lenses are drawn beneath the strokes, yet a touch on a stroke over one moves the
// lens; a component raised above the painting still covers it.
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/StrokeLeafGL.h"
#include "components/DirectionLensLeafGL.h"
#include "components/OrientationLensLeafGL.h"
#include "components/SizeLensLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class LensPickingGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        tavlor::seedRand15(5);
        builder.buildVis(1, 64, 64, 256, 256);
        vis = builder.getApplicationVis();
        builder.buildCanvas(10.0, 50.0, 1, 36.0f, nullptr, 256.0);
        canvas = vis->findFirst<CanvasCompositeGL>();
        ASSERT_NE(canvas, nullptr);
        vis->setOneFingerRange(0, 1000000);
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            gl->bindFramebuffer();
            vis->render(1, 60.0);
        }
    }
    template <class L> L* onCanvas(L* lens)
    {
        canvas->addChild(lens);
        return lens;
    }
    // A stroke of side 30 at (x, y), on the canvas and drawn above its lenses.
    void stroke(double x, double y)
    {
        auto* s = new StrokeLeafGL(vis, x, y, 30.0, 30.0, 0.0, 0, 0);
        vis->addComponent(s, false);
        canvas->addChild(s);
    }
    // A one-finger drag by (dx, 0) from (x, y), a frame per step.
    void drag(int x, int y, int dx)
    {
        vis->setTouchBoundWidth(0, 10.0);
        vis->setTouchBoundHeight(0, 10.0);
        vis->devicePress(unsigned(x), unsigned(y), 0, 0);
        frames(2);
        for (int step = 1; step <= 4; ++step) {
            vis->deviceMove(unsigned(x + dx * step / 4), unsigned(y), 0, 0);
            frames(1);
        }
        vis->deviceRelease(unsigned(x + dx), unsigned(y), 0, 0);
        frames(2);
    }

    OutputCapture quiet;
    RuduzozovorERUBuilderGL builder; // owns the controller
    RuduzozovorERUVisGL* vis = nullptr;
    CanvasCompositeGL* canvas = nullptr;
};

TEST_F(LensPickingGLTest, ALensUnderStrokesIsGrabbedWhereAStrokeCoversIt)
{
    const struct {
        const char* name;
        std::function<LensGL*(RuduzozovorERUVisGL*)> create;
    } data[] = {
        {"direction",
         [](RuduzozovorERUVisGL* v) {
             return v->createDirectionLens(80, 80, false, 100, 128, 0, 0, "Gaussian", 0.5, 2.0, 1, 1);
         }},
        {"orientation",
         [](RuduzozovorERUVisGL* v) {
             return v->createOrientationLens(80, 80, false, false, 100, 128, 0, 0, 0, 1, 1, 1);
         }},
    };
    for (const auto& row : data) {
        LensGL* lens = onCanvas(row.create(vis));
        frames(2);
        ASSERT_EQ(lens->getParent(), canvas) << row.name;
        // The stroke lies above the lens (drawn later) and covers its centre.
        stroke(100, 128);
        frames(1);
        drag(100, 128, 40);
        EXPECT_NEAR(lens->getXPos(), 140.0, 2.0) << row.name;
        EXPECT_NEAR(lens->getYPos(), 128.0, 2.0) << row.name;
        vis->deleteComponent(lens);
        frames(1);
    }
}

TEST_F(LensPickingGLTest, AComponentRaisedAboveTheStrokesStillCoversADirectionLens)
{
    DirectionLensLeafGL* direction = onCanvas(
        vis->createDirectionLens(80, 80, false, 100, 128, 0, 0, "Gaussian", 0.5, 2.0, 1, 1));
    stroke(100, 128);
    SizeLensLeafGL* size = onCanvas(vis->createSizeLens(60, 60, false, 100, 128, 0, 0, "Gaussian", 0.5, 2.0, 1));
    frames(2);
    drag(100, 128, 40);
    EXPECT_NEAR(size->getXPos(), 140.0, 2.0);
    EXPECT_EQ(direction->getXPos(), 100.0);
}

} // namespace
