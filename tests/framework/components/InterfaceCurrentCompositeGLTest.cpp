#include "components/InterfaceCurrentCompositeGL.h"
#include "components/StorageBinCompositeGL.h"

#include "ComponentTestSupport.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class InterfaceCurrentGLTest : public ContainerGLTest {
protected:
    // A belt (or pool) of 200 x 200 in the middle of the table: outline radius 85, ring 50.
    InterfaceCurrentCompositeGL* make(bool belt)
    {
        OutputCapture quiet; // the belt reports its direction dump
        return scene.vis->createInterfaceCurrent(200, 200, true, true, 128, 128, 0.0, 8, 4, belt,
                                                 true);
    }
    static bool allZero(const BufferTemplate<float>* b)
    {
        const float* d = b->getBufferArray();
        for (std::size_t i = 0, n = std::size_t(b->getWidth()) * b->getHeight() * 2; i < n; ++i)
            if (d[i] != 0.0f) return false;
        return true;
    }
    static BufferTemplate<float>* direction(InterfaceCurrentCompositeGL* c)
    {
        return c->getActiveBufferAs<float>(DIRECTION_BUFFER);
    }
    // A swipe from (x0, y0) to (x1, y1): press, one move, release.
    static unsigned swipe(InterfaceCurrentCompositeGL* c, double x0, double y0, double x1, double y1)
    {
        OutputCapture quiet;
        EXPECT_EQ(c->hitLocalBuffer(unsigned(x0), unsigned(y0), 0, 0), 1u) << "swipe keeps it in place";
        c->hitLocalBuffer(unsigned(x1), unsigned(y1), 0, 0);
        return c->releaseLocalBuffer(unsigned(x1), unsigned(y1), 0, 0);
    }
};

TEST_F(InterfaceCurrentGLTest, SwipesSetTheBeltSpeedAndAStoppedBeltWritesNoFlow)
{
    InterfaceCurrentCompositeGL* belt = make(true);
    // On the ring at the top the orientation is (0, -1): a swipe to the right runs it backwards.
    const double x = 128, y = 128 + 60;
    EXPECT_EQ(swipe(belt, x, y, x + 400, y), 1u);
    EXPECT_DOUBLE_EQ(belt->getSpeed(), -8.0);
    EXPECT_FALSE(allZero(direction(belt)));
    EXPECT_EQ(swipe(belt, x, y, x + 5, y), 1u);
    EXPECT_TRUE(allZero(direction(belt)));
}

TEST_F(InterfaceCurrentGLTest, ItemDroppedOnABeltRidesAroundIt)
{
    scene.vis->setAnimating(true);
    InterfaceCurrentCompositeGL* belt = make(true);
    // On the ring, to the right of the centre: radius 60 (ring 35 … 85).
    auto* item = new FieldFollower(scene.vis.get(), 20, 128 + 60, 128);
    scene.vis->addComponent(item, true);
    scene.frame(); // drops the belt (onto nothing), then the item onto the belt
    ASSERT_EQ(item->getParent(), belt);

    double lastAngle = std::atan2(item->getYPos() - 128, item->getXPos() - 128);
    double travelled = 0.0;
    for (int frame = 0; frame < 60; ++frame) {
        scene.frames(1);
        const double r = std::hypot(item->getXPos() - 128, item->getYPos() - 128);
        EXPECT_TRUE(r > 35.0 && r < 85.0) << frame << ": " << r;
        const double angle = std::atan2(item->getYPos() - 128, item->getXPos() - 128);
        const double step = std::remainder(angle - lastAngle, 2 * M_PI);
        EXPECT_LT(step, 0.0) << frame; // speed 1 runs clockwise: the angle falls every frame
        travelled += step;
        lastAngle = angle;
    }
    EXPECT_LT(travelled, -0.5); // well along the ring
    // It grew to fit the belt (0.7 of the ring width of 50) and turned with the outline.
    EXPECT_NEAR(item->getWidth(), 35.0, 2.0);
    const double facing = std::fmod(item->getRotation() + 360.0, 360.0);
    const double expected = std::fmod(lastAngle * 180 / M_PI + 90.0 + 360.0, 360.0);
    EXPECT_NEAR(std::fabs(std::remainder(facing - expected, 360.0)), 0.0, 10.0);
}

TEST_F(InterfaceCurrentGLTest, PoolWritesNoDirectionAndItsItemsStayPut)
{
    scene.vis->setAnimating(true);
    InterfaceCurrentCompositeGL* pool = make(false);
    swipe(pool, 128, 128, 128 + 300, 128);
    EXPECT_TRUE(allZero(direction(pool)));

    auto* item = new FieldFollower(scene.vis.get(), 20, 128 + 30, 128 - 20);
    scene.vis->addComponent(item, true);
    scene.frames(20);
    ASSERT_EQ(item->getParent(), pool);
    EXPECT_DOUBLE_EQ(item->getXPos(), 128 + 30);
}

TEST_F(InterfaceCurrentGLTest, ScreenshotOfBinPoolAndBelt)
{
    {
        OutputCapture quiet;
        scene.vis->createStorageBin(100, 80, true, true, 60, 200, 0.0, 6, 3, false, false);
        scene.vis->createInterfaceCurrent(100, 100, true, true, 190, 190, 0.0, 6, 3, false, true);
        scene.vis->createInterfaceCurrent(150, 130, true, true, 110, 75, 0.0, 8, 4, true, true);
        scene.frames(2);
    }
    glFinish();
    std::vector<unsigned char> rgba(256 * 256 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // Outline colour (255, 128, 0) and the inside colour blended over black at opacity 0.75.
    int border = 0, inside = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        const int r = rgba[i], g = rgba[i + 1], b = rgba[i + 2];
        if (r > 240 && std::abs(g - 128) < 12 && b < 15) ++border;
        if (std::abs(r - 38) < 6 && std::abs(g - 57) < 6 && std::abs(b - 153) < 6) ++inside;
    }
    EXPECT_GT(border, 300);
    EXPECT_GT(inside, 3000);
    // Each container's body shows its inside colour at its centre (the belt's hole does not).
    const auto at = [&](int x, int y) { return &rgba[(std::size_t(y) * 256 + x) * 4]; };
    EXPECT_EQ(at(110, 75)[2], 0);
}

} // namespace
