// Lenses drawn beneath the strokes are still grabbed through a stroke over them.
#include "PaintingSceneTestSupport.h"

#include "canvas/StrokeLeafGL.h"
#include "components/DirectionLensLeafGL.h"
#include "components/OrientationLensLeafGL.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

class LensPickingGLTest : public PaintingSceneGLTest {
protected:
    void SetUp() override
    {
        PaintingSceneGLTest::SetUp();
        buildScene(256, 256, 5, 36.0f, false);
        vis->setOneFingerRange(0, 1000000);
        quiet.emplace();
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
    // A one-finger drag by (dx, 0) from (x, y) in four steps.
    void drag(int x, int y, int dx) { PaintingSceneGLTest::drag({{x, y}, {x + dx, y}}, std::abs(dx) / 4); }

    std::optional<OutputCapture> quiet;
};

TEST_F(LensPickingGLTest, ALensUnderStrokesIsGrabbedWhereAStrokeCoversIt)
{
    for (const char* name : {"direction", "orientation"}) {
        SCOPED_TRACE(name);
        LensGL* lens = onCanvas(name[0] == 'd' ? static_cast<LensGL*>(vis->createDirectionLens(
                                                     80, 80, false, 100, 128, 0, 0, "Gaussian", 0.5, 2.0, 1, 1))
                                               : vis->createOrientationLens(80, 80, false, false, 100, 128, 0,
                                                                            0, 0, 1, 1, 1));
        frames(2);
        // The stroke lies above the lens (drawn later) and covers its centre.
        stroke(100, 128);
        frames(1);
        drag(100, 128, 40);
        EXPECT_NEAR(lens->getXPos(), 140.0, 2.0);
        EXPECT_NEAR(lens->getYPos(), 128.0, 2.0);
        vis->deleteComponent(lens);
        frames(1);
    }
}

} // namespace
