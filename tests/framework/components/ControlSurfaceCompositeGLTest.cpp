#include "components/ControlSurfaceCompositeGL.h"

#include "ComponentTestSupport.h"

#include <gtest/gtest.h>

namespace {

using ControlSurfaceGLTest = ContainerGLTest;

TEST_F(ControlSurfaceGLTest, FrictionRampsDownAtTheEdge)
{
    // createControlSurface(screen w, screen h, centre x, centre y, z, border, overflow).
    ControlSurfaceCompositeGL* s = scene.vis->createControlSurface(400, 360, 200, 180, 0, 10, 20);
    const BufferTemplate<float>* f = s->getActiveBufferAs<float>(TOSSING_FRICTION_BUFFER);
    const unsigned my = f->getHeight() / 2;
    const struct {
        const char* name;
        unsigned x, y;
        float value;
    } rows[] = {
        {"left edge", 0, my, 0.0f},
        {"ten cells in", 10, my, 10.0f / 150},
        {"corner takes the nearer edge", 5, 3, 3.0f / 150},
        {"ramp capped by the slow-down factor", 149, my, 0.98f},
    };
    for (const auto& row : rows) EXPECT_FLOAT_EQ(f->getValue(row.x, row.y), row.value) << row.name;

    // A grid too small for the full ramp: no cell is 150 from an edge; each holds its own distance.
    BufferTemplate<float> small(1, 0);
    small.setSizeAndAllocateMemory(40, 30);
    ControlSurfaceCompositeGL::fillFrictionRamp(small, 0.98);
    EXPECT_FLOAT_EQ(small.getValue(20u, 15u), 14.0f / 150);
}

TEST_F(ControlSurfaceGLTest, GrowingScreenCentresTheSurfaceAndBringsStrayChildrenBack)
{
    ControlSurfaceCompositeGL* s = scene.vis->createControlSurface(256, 256, 128, 128, 0, 10, 20);
    scene.frame(); // the first frame rebuilds it for the screen and drops it
    const double oldWidth = s->getWidth(), oldHeight = s->getHeight();

    auto* beyond = new FieldFollower(scene.vis.get(), 10, oldWidth + 50, 100);
    auto* below = new FieldFollower(scene.vis.get(), 10, 60, -30);
    auto* inside = new FieldFollower(scene.vis.get(), 10, 70, 80);
    for (VisComponent* c : {static_cast<VisComponent*>(beyond), static_cast<VisComponent*>(below),
                            static_cast<VisComponent*>(inside)}) {
        scene.vis->addComponent(c, false);
        ASSERT_EQ(s->addChild(c), 1);
    }
    scene.vis->setScreensize(400, 300);
    scene.frame();
    EXPECT_DOUBLE_EQ(beyond->getXPos(), 0.9 * oldWidth);
    EXPECT_DOUBLE_EQ(below->getYPos(), 0.1 * oldHeight);
    EXPECT_DOUBLE_EQ(inside->getXPos(), 70);
    EXPECT_DOUBLE_EQ(s->getWidth(), 440);
    EXPECT_DOUBLE_EQ(s->getYPos(), 150);
    // The children read the new fields.
    EXPECT_EQ(inside->getPassiveBuffer(RELATIVE_SIZE_BUFFER),
              s->getActiveBuffer(RELATIVE_SIZE_BUFFER));
}

} // namespace
