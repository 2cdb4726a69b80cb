// The stroke menu: its choice written into the canvas's tool-state grid, and its drawing.
#include "MenuTestSupport.h"

#include "canvas/StrokeMenuGL.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class StrokeMenuTest : public MenuGLTest {
protected:
    void SetUp() override
    {
        MenuGLTest::SetUp();
        // The brush icon and three groups of nine strokes in the texture table.
        OutputCapture quiet;
        vis->loadTexture(NPR_DATA_DIR "/textures/brush_icon.png", true);
        for (int g = 0; g < 3; ++g)
            for (int v = 1; v <= 9; ++v)
                vis->loadTexture((std::string(NPR_DATA_DIR "/textures/strokes/stroke-") +
                                  std::to_string(g) + "-" + std::to_string(v) + ".png")
                                     .c_str(),
                                 true);
        // 300 x 300 at (200, 150): points (130, 260), tiles (270, 260), accept (130, 40),
        // cancel (270, 40); samples in a row from (80, 180) on, 69 pixels apart.
        menu = place(new StrokeMenuGL(vis.get(), 300, 300, 200, 150, 1, false, false, 1.0f, 0,
                                      0, 0, 0));
        canvas->setToolState(4, 2, 7.0f);
        canvas->setToolState(4, 4, 7.0f);
    }
    StrokeMenuGL* menu = nullptr;
};

} // namespace

TEST_F(StrokeMenuTest, AcceptWritesTheChoiceIntoTheToolStateAndCancelNothing)
{
    EXPECT_EQ(menu->getGroupCount(), 3);
    // An accept with nothing chosen, and a cancel, close the menu and write nothing.
    menu->show();
    tap(menu, 130, 40);
    EXPECT_FALSE(menu->isShown());
    menu->show();
    tap(menu, 130, 260);
    tap(menu, 270, 40);
    EXPECT_EQ(menu->getSelection(), -1);
    EXPECT_FALSE(menu->isShown());
    EXPECT_EQ(canvas->getToolState(4, 2), 7.0f);
    EXPECT_EQ(canvas->getToolState(4, 4), 7.0f);

    const struct { const char* name; unsigned int x, y; int selection; float kind, group; } rows[] = {
        {"points", 130, 260, 0, 2.0f, 7.0f},
        {"tiles", 270, 260, 1, 1.0f, 7.0f},
        {"first group", 80, 180, 2, 0.0f, 0.0f},
        {"third group", 218, 180, 4, 0.0f, 2.0f},
    };
    for (const auto& r : rows) {
        canvas->setToolState(4, 4, 7.0f);
        menu->show();
        tap(menu, r.x, r.y);
        EXPECT_EQ(menu->getSelection(), r.selection) << r.name;
        EXPECT_TRUE(menu->isShown()) << r.name;
        tap(menu, 130, 40);
        EXPECT_EQ(canvas->getToolState(4, 2), r.kind) << r.name;
        EXPECT_EQ(canvas->getToolState(4, 4), r.group) << r.name;
        EXPECT_EQ(menu->getSelection(), -1) << r.name;
        EXPECT_FALSE(menu->isShown()) << r.name;
    }
    // Only the first contact of a touch chooses: sliding onto tiles keeps points.
    menu->show();
    menu->hitLocalBuffer(130, 260, 10, 10);
    menu->hitLocalBuffer(270, 260, 10, 10);
    menu->releaseLocalBuffer(270, 260, 0, 0);
    EXPECT_EQ(menu->getSelection(), 0);
    // An empty sample cell and the panel choose nothing.
    tap(menu, 287, 180);
    tap(menu, 200, 10);
    EXPECT_EQ(menu->getSelection(), 0);
}

TEST_F(StrokeMenuTest, DrawsTheSamplesAndMarksTheChoice)
{
    auto* drawn = place(new StrokeMenuGL(vis.get(), 240, 240, 128, 128, 1, false, false, 1.0f,
                                         0, 0, 0, 0));
    auto render = [&] {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        drawn->render();
    };
    auto darkIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (gl->pixel(x, y)[0] < 120) ++n;
        return n;
    };
    render();
    // The first sample cell spans x 20 … 70, y 79 … 177: a dark stroke in its middle.
    EXPECT_GT(darkIn(22, 82, 66, 146), 50);
    // The chosen "Points" gets an orange frame.
    drawn->hitLocalBuffer(70, 210, 10, 10);
    drawn->releaseLocalBuffer(70, 210, 0, 0);
    render();
    int orange = 0;
    for (int y = 185; y < 240; ++y)
        for (int x = 10; x < 128; ++x) {
            const auto p = gl->pixel(x, y);
            if (p[0] > 200 && p[1] > 90 && p[1] < 140 && p[2] < 60) ++orange;
        }
    EXPECT_GT(orange, 40);
}
