// Lenses on the painting canvas: strokes grow, stream and turn under them; the canvas's own
// clears leave the lenses' fields in place.
#include "CanvasTestSupport.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/StrokeLeafGL.h"
#include "components/DirectionLensLeafGL.h"
#include "components/OrientationLensLeafGL.h"
#include "components/SizeLensLeafGL.h"

#include <cmath>

namespace {

class CanvasLensGLTest : public CanvasFixture<GLTest> {
protected:
    StrokeLeafGL* stroke(double x, double y, double rotation = 0.0)
    {
        return add(new StrokeLeafGL(vis.get(), x, y, 20.0, 20.0, rotation, 0, 0));
    }
    template <class L> L* onCanvas(L* lens)
    {
        canvas->addChild(lens);
        return lens;
    }
    // One buffer pass (the lenses bring the fields up to date), then n updates of p.
    void frames(VisComponent* lens, PrimitiveLeafGL* p, int n)
    {
        for (int i = 0; i < n; ++i) {
            lens->renderIntoBuffers();
            p->update(1.0);
        }
    }
    OutputCapture quiet;
};

TEST_F(CanvasLensGLTest, StrokesUnderASizeLensGrowAndShrinkBackWhenItMovesOn)
{
    StrokeLeafGL* s = stroke(100, 100);
    StrokeLeafGL* far = stroke(200, 200);
    auto* lens = onCanvas(vis->createSizeLens(60, 60, false, 100, 100, 0, 0, "Gaussian", 0.6, 2.5, 1));
    frames(lens, s, 1);
    EXPECT_NEAR(s->getWidth(), 50.0, 1e-3);
    far->update(1.0);
    EXPECT_EQ(far->getWidth(), 20.0);
    // The size buffer still sets the stroke's own size under the lens.
    canvas->fill<float>(ABSOLUTE_SIZE_BUFFER, 30.0f);
    frames(lens, s, 60);
    EXPECT_NEAR(s->getWidth(), 75.0, 1e-3);
    lens->moveBy(90, 0, true);
    frames(lens, s, 1);
    EXPECT_NEAR(s->getWidth(), 30.0, 1e-3);
}

TEST_F(CanvasLensGLTest, StrokesStreamUnderADirectionLensAndTurnUnderAnOrientationLens)
{
    const struct { const char* name; unsigned int mode; double sign; } streams[] = {
        {"away from the centre", 1, 1.0}, {"towards the centre", 0, -1.0}};
    for (const auto& row : streams) {
        SCOPED_TRACE(row.name);
        StrokeLeafGL* s = stroke(120, 100);
        auto* lens = onCanvas(vis->createDirectionLens(80, 80, false, 100, 100, 0, 0, "Gaussian",
                                                       0.9, 2.0, row.mode, 1));
        frames(lens, s, 3);
        EXPECT_GT(row.sign * (s->getXPos() - 120.0), 5.0);
        EXPECT_NEAR(s->getYPos(), 100.0, 1.0);
        vis->deleteComponent(lens);
        vis->deleteComponent(s);
    }

    const struct { const char* name; unsigned int kind; double x, y, start, target; } turns[] = {
        {"up", 0, 100, 120, 90.0, 0.0},
        {"in: to the left of a stroke right of the centre", 1, 120, 100, 0.0, 90.0},
        {"out: away, to the right", 2, 120, 100, 0.0, 270.0},
    };
    for (const auto& row : turns) {
        SCOPED_TRACE(row.name);
        StrokeLeafGL* s = stroke(row.x, row.y, row.start);
        auto* lens = onCanvas(vis->createOrientationLens(80, 80, true, true, 100, 100, 0, 0, 0, 1,
                                                         1, row.kind));
        frames(lens, s, 60);
        EXPECT_NEAR(std::remainder(s->getRotation() - row.target, 360.0), 0.0, 1.0);
        vis->deleteComponent(lens);
        vis->deleteComponent(s);
    }
}

TEST_F(CanvasLensGLTest, CanvasClearsAndTouchReleasesLeaveTheLensFieldsInPlace)
{
    auto* lens = onCanvas(vis->createOrientationLens(40, 40, true, true, 100, 100, 0, 0, 1, 0, 1, 0));
    lens->renderIntoBuffers();
    BufferTemplate<float>* temp = canvas->buffer<float>(TEMPORARY_ORIENTATION_BUFFER);
    const auto x = [temp](unsigned int cx, unsigned int cy) {
        float v[2];
        temp->get2DValues(cx, cy, v);
        return v[0];
    };
    canvas->clearTempOrientationBuffer();
    lens->renderIntoBuffers();
    EXPECT_EQ(x(101, 101), 1.0f);
    // A brush clearing its footprint over the lens: the release has the lens write again.
    temp->fillEntireBuffer(0.0f);
    canvas->releaseLocalBuffer(0, 0, 0, 0);
    lens->renderIntoBuffers();
    EXPECT_EQ(x(101, 101), 1.0f);
    EXPECT_EQ(x(150, 101), 0.0f);
}

} // namespace
