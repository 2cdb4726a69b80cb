// Lenses on a control surface in a real context: the field cells they write and restore.
#include "components/ControlSurfaceCompositeGL.h"
#include "components/DirectionLensLeafGL.h"
#include "components/OrientationLensLeafGL.h"
#include "components/SizeLensLeafGL.h"

#include "ComponentTestSupport.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

class LensGLTest : public ContainerGLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        // 256 x 256 without overflow: a table pixel (x, y) is buffer cell (x + 1.5, y + 1.5).
        surface = scene.vis->createControlSurface(256, 256, 128, 128, 0, 10, 0);
        scene.frame();
    }
    // The controller drops a new lens onto the surface in the next frame.
    template <class L> L* dropped(L* lens)
    {
        scene.frame();
        EXPECT_EQ(lens->getParent(), surface);
        return lens;
    }
    SizeLensLeafGL* sizeLens(double x, double y, const char* dropoff = "Linear",
                             unsigned int visible = 1)
    {
        return dropped(scene.vis->createSizeLens(40, 40, false, x, y, 0, 0, dropoff, 0.5, 2.0,
                                                 visible));
    }
    BufferTemplate<float>* field(BUFFERTAG tag) { return surface->getActiveBufferAs<float>(tag); }
    // Relative size at table pixel (x, y).
    float size(int x, int y) { return field(RELATIVE_SIZE_BUFFER)->getValue(x + 1, y + 1); }
    std::array<float, 2> vec(BUFFERTAG tag, int x, int y)
    {
        float v[2];
        field(tag)->get2DValues(static_cast<unsigned>(x + 1), static_cast<unsigned>(y + 1), v);
        return {v[0], v[1]};
    }

    ControlSurfaceCompositeGL* surface = nullptr;
};

TEST_F(LensGLTest, FieldIsRewrittenOnlyWhereTheLensLeftAndEntered)
{
    SizeLensLeafGL* lens = sizeLens(80, 80);
    // Marks far from the lens, and inside the area it will leave.
    field(RELATIVE_SIZE_BUFFER)->setValue(200u, 200u, 7.0f);
    field(RELATIVE_SIZE_BUFFER)->setValue(62u, 80u, 7.0f);
    const lensfield::CellRect before = lens->getFieldRect();

    lens->moveBy(3, 0, true);
    scene.frame();
    EXPECT_TRUE(lens->getFieldRect() == before) << "3 pixels rewrite nothing";
    EXPECT_EQ(size(61, 79), 7.0f);

    lens->moveBy(2, 0, true);
    scene.frame();
    EXPECT_NEAR(size(85, 80), 2.0f, 1e-5);
    EXPECT_EQ(size(61, 79), 1.0f) << "the cell the lens left is back at rest";
    EXPECT_EQ(size(199, 199), 7.0f) << "the rest of the field is not refilled";

    // One drag step of 6 pixels, then the lens is let go: the field is at the new place at once.
    SCOPED_TRACE("RegressionFieldFollowedTheLensOneMoveLate");
    lens->moveBy(6, 0, true);
    scene.frame();
    EXPECT_NEAR(size(91, 80), 2.0f, 1e-5);
    EXPECT_EQ(size(73, 80), 1.0f) << "magnified before the step, outside the lens after it";
}

TEST_F(LensGLTest, OverlappingSizeLensesMultiplyAndTheOtherStaysWhenOneLeaves)
{
    SizeLensLeafGL* a = sizeLens(100, 100);
    SizeLensLeafGL* b = sizeLens(100, 100);
    EXPECT_NEAR(size(100, 100), 4.0f, 1e-4);
    // b moves half across a: the overlap keeps both factors, a's other side only a's.
    b->moveBy(10, 0, true);
    scene.frame();
    EXPECT_NEAR(size(105, 100), 4.0f, 1e-4);
    EXPECT_NEAR(size(93, 100), 2.0f, 1e-4);
    surface->removeChild(a);
    EXPECT_NEAR(size(105, 100), 2.0f, 1e-4);
    EXPECT_EQ(size(93, 100), 1.0f);
    scene.vis->deleteComponent(b);
    EXPECT_EQ(size(110, 100), 1.0f) << "a deleted lens restores its area";
}

TEST_F(LensGLTest, DirectionAndOrientationLensesWriteTheirKindOfVector)
{
    OutputCapture quiet;
    // Mode 1 streams away from the centre, any other mode towards it; nothing beyond the rim.
    dropped(scene.vis->createDirectionLens(60, 60, false, 60, 60, 0, 0, "Gaussian", 0.9, 2.0, 1, 1));
    auto* in = dropped(scene.vis->createDirectionLens(60, 60, false, 190, 60, 0, 0, "Gaussian",
                                                      0.9, 2.0, 7, 1));
    EXPECT_GT(vec(DIRECTION_BUFFER, 75, 60)[0], 0.5f);
    EXPECT_LT(vec(DIRECTION_BUFFER, 205, 60)[0], -0.5f);
    EXPECT_EQ(vec(DIRECTION_BUFFER, 60 + 40, 60)[0], 0.0f);
    // Between an outward and an inward lens both vectors point the same way and add up.
    const float alone = vec(DIRECTION_BUFFER, 69, 60)[0];
    in->moveBy(-115, 0, true);
    scene.frame();
    EXPECT_GT(vec(DIRECTION_BUFFER, 69, 60)[0], alone + 0.5f);
    EXPECT_EQ(vec(DIRECTION_BUFFER, 205, 60)[0], 0.0f) << "left behind";

    const struct {
        const char* name;
        double x, y, upX, upY;
        unsigned int kind;
        int px, py;
        float vx, vy;
    } rows[] = {
        {"up, (3, 4) normalised", 60, 190, 3, 4, 0, 70, 200, 0.6f, 0.8f},
        {"unknown kind is up", 60, 190, 1, 0, 9, 50, 180, 1.0f, 0.0f},
        {"in points to the centre", 190, 190, 0, 1, 1, 210, 190, -1.0f, 0.0f},
        {"out points away", 190, 190, 0, 1, 2, 190, 170, 0.0f, -1.0f},
        {"ellipse: nothing in the box's corner", 190, 190, 0, 1, 2, 213, 213, 0.0f, 0.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* lens = dropped(scene.vis->createOrientationLens(50, 50, true, true, row.x, row.y, 0,
                                                              0, row.upX, row.upY, 1, row.kind));
        EXPECT_NEAR(vec(TEMPORARY_ORIENTATION_BUFFER, row.px, row.py)[0], row.vx, 1e-3);
        EXPECT_NEAR(vec(TEMPORARY_ORIENTATION_BUFFER, row.px, row.py)[1], row.vy, 1e-3);
        scene.vis->deleteComponent(lens);
        EXPECT_EQ(vec(TEMPORARY_ORIENTATION_BUFFER, row.px, row.py)[0], 0.0f);
    }
    // A square lens writes into its bounding box's corners (an elliptical one does not: rows).
    auto* square = dropped(scene.vis->createOrientationLens(50, 50, true, true, 190, 190, 0, 0, 0,
                                                            1, 1, 0));
    EXPECT_EQ(vec(TEMPORARY_ORIENTATION_BUFFER, 190 + 23, 190 + 23)[1], 1.0f);
    // Turned by a touch-driven rotation, the up vector turns along, written at the next touch.
    square->rotate(90);
    square->hitLocalBuffer(190, 190, 0, 0);
    scene.frame();
    EXPECT_NEAR(vec(TEMPORARY_ORIENTATION_BUFFER, 190, 200)[0], -1.0f, 1e-5);
}

TEST_F(LensGLTest, RenderOrderAndMessages)
{
    SizeLensLeafGL* linear = scene.vis->createSizeLens(40, 40, true, 50, 50, 0, 0, "Linear", 0.3,
                                                       2.0, 1);
    // A size lens goes to the front; direction and orientation lenses right above the surface.
    EXPECT_EQ(scene.vis->getRenderList().front(), linear);
    OutputCapture capture;
    DirectionLensLeafGL* d = scene.vis->createDirectionLens(40, 40, true, 50, 50, 0, 0, "Power",
                                                            0.5, 2.0, 1, 1);
    OrientationLensLeafGL* o = scene.vis->createOrientationLens(40, 40, true, false, 50, 50, 0, 0,
                                                                0, 1, 1, 1);
    EXPECT_EQ(capture.take(), "control surface wasn't the last in our render list. watch the fuck "
                              "out...\ncontrol surface wasn't the last in our render list. watch "
                              "the fuck out...\n");
    const auto& order = scene.vis->getRenderList();
    EXPECT_EQ(order.back(), surface);
    EXPECT_EQ(*std::next(order.rbegin()), o);
    EXPECT_EQ(*std::next(order.rbegin(), 2), d);
    EXPECT_EQ(linear->hitLocalBuffer(50, 50, 0, 0), 3u) << "touches move every lens";
}

TEST_F(LensGLTest, InvisibleLensIsNeitherDrawnNorPickedButStillWrites)
{
    SizeLensLeafGL* shown = sizeLens(64, 128, "Manhattan");
    SizeLensLeafGL* hidden = sizeLens(192, 128, "Manhattan", 0);
    EXPECT_NEAR(size(192, 128), 2.0f, 1e-5);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    shown->render();
    hidden->render();
    // Clear glass in the middle, the lens colour towards the rim.
    EXPECT_GT(gl->pixel(64 + 17, 128)[1], 60);
    EXPECT_EQ(gl->pixel(192 + 17, 128)[1], 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND); // as the controller's picking pass: id colours arrive unblended
    shown->renderForPicking(true);
    hidden->renderForPicking(true);
    const auto id = gl->pixel(64, 128);
    EXPECT_EQ(scene.vis->determineIdFromColor(id[0], id[1], id[2]), shown->getId());
    EXPECT_EQ(gl->pixel(192, 128)[0], 0);
    EXPECT_EQ(gl->pixel(64 + 25, 128)[0], 0) << "outside the ellipse";
}

} // namespace
