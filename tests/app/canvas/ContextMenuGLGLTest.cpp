// The context menu on the canvas: following touches, choosing the canvas's tool, its drawing.
#include "MenuTestSupport.h"

#include "canvas/ContextMenuGL.h"
#include "canvas/CornerMenuGL.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace {

class ContextMenuTest : public MenuGLTest {
protected:
    void SetUp() override
    {
        MenuGLTest::SetUp();
        menu = place(new ContextMenuGL(vis.get(), 150, 150, 200, 150, 1, true, false, 1.0f, 0));
    }
    ContextMenuGL* menu = nullptr;
};

} // namespace

TEST_F(ContextMenuTest, CanvasTouchesMoveTheMenuWhichStaysOnTheScreen)
{
    // Every contact on the canvas, the first and the moves, hands the menu its place on the screen.
    const struct { unsigned int x, y; double ex, ey; } rows[] = {
        {120, 140, 120, 140}, {130, 160, 130, 160}, {399, 299, 325, 225}, {200, 0, 200, 75}};
    for (const auto& r : rows) {
        canvas->hitLocalBuffer(r.x, r.y, 10, 10);
        EXPECT_DOUBLE_EQ(menu->getXPos(), r.ex) << r.x << "," << r.y;
        EXPECT_DOUBLE_EQ(menu->getYPos(), r.ey) << r.x << "," << r.y;
    }
    canvas->releaseLocalBuffer(200, 0, 0, 0);
}

TEST_F(ContextMenuTest, ChoicesSetTheToolAndTheCentreCloses)
{
    // 150-pixel menu at (200, 150): arm 50, half side 25.
    menu->show();
    EXPECT_EQ(vis->getInputCombo(), 7);
    const struct { const char* name; unsigned int x, y; unsigned int region; int mode; } rows[] = {
        {"Create", 200, 200, 0, 0}, {"Erase", 200, 100, 2, 1}, {"Colour", 150, 150, 3, 6},
        {"Modify", 250, 150, 1, 3}, {"Modify again", 250, 150, 1, 4},
    };
    for (const auto& r : rows) {
        menu->show();
        EXPECT_EQ(tap(menu, r.x, r.y), r.region) << r.name;
        EXPECT_EQ(canvas->getInteractionMode(), r.mode) << r.name;
        EXPECT_FALSE(menu->isShown()) << r.name;
        // The posture presets would overrule the choice at the next touch: they give way.
        EXPECT_EQ(vis->getInputCombo(), 0) << r.name;
    }
    // The Wii pointing combination keeps its buttons for create and erase; the touch that chose
    // waits.
    vis->setInputCombo(6);
    menu->show();
    tap(menu, 200, 200);
    EXPECT_EQ(canvas->getInteractionMode(), 2);
    EXPECT_TRUE(canvas->isPendingMenuChoice());
    EXPECT_EQ(vis->getInputCombo(), 6);

    // The centre closes at the touch and chooses nothing; outside the cross the menu is dragged.
    menu->show();
    EXPECT_EQ(menu->hitLocalBuffer(200, 150, 10, 10), 1u);
    EXPECT_FALSE(menu->isShown());
    EXPECT_EQ(menu->releaseLocalBuffer(200, 150, 0, 0), 4u);
    EXPECT_EQ(canvas->getInteractionMode(), 2);
    EXPECT_EQ(menu->hitLocalBuffer(140, 210, 10, 10), 0u);
    EXPECT_EQ(menu->releaseLocalBuffer(140, 210, 0, 0), 5u);
    // A release without a touch before returns 5.
    EXPECT_EQ(menu->releaseLocalBuffer(200, 200, 0, 0), 5u);

    // Erase with a drawn curve turns the curve into the field instead.
    vis->setInputCombo(7);
    for (double t : {0.1, 0.3, 0.5}) canvas->getCurve().addPoint(t, t);
    menu->show();
    EXPECT_EQ(tap(menu, 200, 100), 2u);
    EXPECT_TRUE(canvas->getCurve().isComplete());
    EXPECT_EQ(canvas->getInteractionMode(), 3);
    EXPECT_FALSE(menu->isShown());
}

TEST_F(ContextMenuTest, DrawsItsBackgroundAndLabels)
{
    auto* drawn = place(new ContextMenuGL(vis.get(), 150, 150, 128, 128, 1, true, false, 1.0f,
                                          texture("textures/contextmenu/background.png")));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    drawn->render();
    // The light disc under the cross, dark label glyphs above the centre, nothing off the menu.
    const auto disc = gl->pixel(128 + 40, 128 - 10);
    EXPECT_GT(disc[0], 150);
    int dark = 0;
    for (int y = 170; y < 190; ++y)
        for (int x = 100; x < 156; ++x)
            if (gl->pixel(x, y)[0] < 60) ++dark;
    EXPECT_GT(dark, 20);
    EXPECT_EQ(gl->pixel(10, 10)[0], 0);

    OutputCapture out;
    vis = std::make_unique<RuduzozovorERUVisGL>(1, 64, 64, 400, 300);
    ContextMenuGL without(vis.get(), 150, 150, 200, 150, 1, true, false, 1.0f, 0);
    EXPECT_EQ(out.take(), "WARNING: Fontarial32 not found\n"
                          "WARNING: ContextMenuGL: font arial32 could not be found. Did you load it? \n");
    canvas = nullptr;
}
