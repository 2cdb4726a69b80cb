// Lenses drawn beneath the strokes are still grabbed through a stroke over them.
#include "PaintingSceneTestSupport.h"

#include "canvas/StrokeLeafGL.h"
#include "components/DirectionLensLeafGL.h"
#include "components/OrientationLensLeafGL.h"
#include "components/SizeLensLeafGL.h"

#include <gtest/gtest.h>

#include <functional>
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
