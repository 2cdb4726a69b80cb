// The air-hockey game in a real context: rink buffers, paddles under a finger, goals, drawing.
#include "components/HockeyPaddleLeafGL.h"
#include "components/HockeyPuckLeafGL.h"
#include "components/HockeySurfaceCompositeGL.h"

#include "ComponentTestSupport.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class HockeyGLTest : public ContainerGLTest {
protected:
    HockeySurfaceCompositeGL* rink = nullptr;

    // A 256 x 256 rink with an overflow of 20 and the given friction, built as the builder does.
    void makeRink(double friction)
    {
        scene.vis->setAnimating(true);
        rink = scene.vis->createHockeySurface(256, 256, 128, 128, 0.0, 5.0, 20.0, friction);
    }
    HockeyPuckLeafGL* puck(double x, double y, double speed, double dx, double dy,
                           double diameter = 20)
    {
        return scene.vis->createHockeyPuck(diameter, speed, 30, dx, dy, false, false, x, y, 1.0);
    }
    HockeyPaddleLeafGL* paddle(double x, double y)
    {
        return scene.vis->createHockeyPaddle(40, false, true, x, y, 1.0);
    }
    void frames(int n) { scene.frames(n); }
};

TEST_F(HockeyGLTest, PaddleDraggedIntoARestingPuckShootsItIntoTheGoal)
{
    makeRink(1.0);
    HockeyPaddleLeafGL* p = paddle(40, 128);
    HockeyPuckLeafGL* k = puck(100, 128, 0, 0, 0);
    frames(2);
    ASSERT_EQ(k->getParent(), rink);

    // A finger grabs the paddle and moves it 45 pixels right in one step: it now overlaps the
    // puck (centres 15 apart, radii 20 + 10), which takes 0.4 of the paddle's movement.
    scene.vis->devicePress(40, 128, 0, 0);
    frames(1);
    ASSERT_EQ(scene.vis->getActiveComponent(0), p);
    scene.vis->deviceMove(85, 128, 0, 0);
    frames(1);
    // It lands at 118, inside the slow strip (x 113.5 … 142.5), which takes a fifth a frame.
    EXPECT_DOUBLE_EQ(k->getXPos(), 118);
    EXPECT_NEAR(k->getVX(), 18 * 0.8, 1e-5);
    // Held still for two frames, the paddle is not tossed on release.
    frames(2);
    scene.vis->deviceRelease(85, 128, 0, 0);

    // Braked once more in the strip, on at the rink's friction of 1 and out through the right
    // goal opening: it rests at the centre and the bell rings once.
    OutputCapture out;
    double fastest = 0;
    for (int i = 0; i < 40 && k->getVX() != 0.0; ++i) {
        fastest = std::max(fastest, k->getVX());
        frames(1);
    }
    k->waitForGoalSound();
    EXPECT_EQ(out.take(), "\a\n");
    EXPECT_DOUBLE_EQ(k->getXPos(), 128);
    EXPECT_NEAR(fastest, 18 * 0.8 * 0.8, 1e-5);
}

TEST_F(HockeyGLTest, RinkCoversTheScreenAndItsPiecesAreClampedAndDrawn)
{
    makeRink(1.0);
    HockeyPuckLeafGL* still = puck(200, 200, 3, 0.05, 0.05);
    EXPECT_DOUBLE_EQ(still->getVX(), 3) << "a direction shorter than 0.1 is +x";
    scene.vis->deleteComponent(still);

    HockeyPaddleLeafGL* corner = paddle(250, 5);
    HockeyPuckLeafGL* shown = puck(180, 60, 0, 1, 0);
    frames(2);
    // The first frame rebuilt the rink for the screen with an overflow on each side; h = 148:
    // goals at 148 ∓ 37 − 20.
    EXPECT_DOUBLE_EQ(rink->getWidth(), 296);
    EXPECT_DOUBLE_EQ(rink->getLowerGoalHeight(), 91);
    EXPECT_DOUBLE_EQ(rink->getUpperGoalHeight(), 165);
    EXPECT_EQ(rink->getActiveBufferAs<float>(TOSSING_FRICTION_BUFFER)->getWidth(), 298u);
    EXPECT_DOUBLE_EQ(corner->getXPos(), 236) << "a radius inside the screen";
    EXPECT_DOUBLE_EQ(corner->getYPos(), 20);
    // The puck's centre is white, the paddle's knob dark red; neither is hidden by the rink.
    const auto puckPixel = gl->pixel(180, 60), knob = gl->pixel(236, 20);
    EXPECT_GT(puckPixel[0], 240);
    EXPECT_GT(puckPixel[2], 240);
    EXPECT_EQ(knob[0], 89);
    EXPECT_EQ(knob[1], 0);

    // The paddle is drawn highlighted while held; the puck cannot be picked.
    scene.vis->devicePress(236, 20, 0, 0);
    frames(1);
    EXPECT_NEAR(gl->pixel(236, 20)[0], 178, 1);
    scene.vis->deviceRelease(236, 20, 0, 0);
    frames(1);
    scene.vis->devicePress(180, 60, 0, 0);
    frames(1);
    EXPECT_NE(scene.vis->getActiveComponent(0), shown);
    scene.vis->deviceRelease(180, 60, 0, 0);
}

} // namespace
