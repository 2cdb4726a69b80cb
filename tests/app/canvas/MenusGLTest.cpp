// The menus on the painting canvas: the context menu following touches and choosing the tool,
// the corner menu's icons and the menus it opens, the stroke menu's choice; and their drawing.
// A 400 x 300 table with the painting canvas and the label font; menus placed as the builder does.
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/ContextMenuGL.h"
#include "canvas/CornerMenuGL.h"
#include "canvas/StrokeMenuGL.h"
#include "canvas/ToolBrushLeafGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class MenuGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        vis = std::make_unique<RuduzozovorERUVisGL>(1, 64, 64, 400, 300);
        OutputCapture quiet;
        vis->loadFont(NPR_DATA_DIR "/fonts/arial.ttf", 32);
        canvas = new CanvasCompositeGL(vis.get(), 400, 300, 200, 150, 0, 0, 0, 1, 12.0f, 0.0f);
        vis->addComponent(canvas, false);
    }
    void TearDown() override { vis.reset(); }

    template <class M> M* place(M* menu)
    {
        vis->addComponent(menu, false);
        canvas->addChild(menu);
        return menu;
    }
    // One tap on a component: press and release at table (x, y).
    template <class C> unsigned int tap(C* c, unsigned int x, unsigned int y)
    {
        c->hitLocalBuffer(x, y, 10, 10);
        return c->releaseLocalBuffer(x, y, 0, 0);
    }
    unsigned int texture(const char* relative)
    {
        return vis->loadTexture((std::string(NPR_DATA_DIR "/") + relative).c_str(), false);
    }

    std::unique_ptr<RuduzozovorERUVisGL> vis;
    CanvasCompositeGL* canvas = nullptr;
};

class ContextMenuTest : public MenuGLTest {
protected:
    void SetUp() override
    {
        MenuGLTest::SetUp();
        menu = place(new ContextMenuGL(vis.get(), 150, 150, 200, 150, 1, true, false, 1.0f, 0));
    }
    ContextMenuGL* menu = nullptr;
};

class CornerMenuTest : public MenuGLTest {
protected:
    void SetUp() override
    {
        MenuGLTest::SetUp();
        // 200 x 200 at (100, 200): icon square around (100, 222), band below it.
        corner = place(new CornerMenuGL(vis.get(), 200, 200, 100, 200, 1, false, false, 1.0f,
                                        std::vector<unsigned int>(12, 0)));
    }
    CornerMenuGL* corner = nullptr;
};

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

TEST_F(ContextMenuTest, CanvasTouchesMoveTheMenuWhichStaysOnTheScreen)
{
    // Every contact on the canvas, the first and the moves, hands the menu its place on the screen.
    const struct { unsigned int x, y; double ex, ey; } rows[] = {
        {120, 140, 120, 140}, {399, 299, 325, 225}, {200, 0, 200, 75}};
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

    // Erase with a drawn curve turns the curve into the field instead.
    vis->setInputCombo(7);
    for (double t : {0.1, 0.3, 0.5}) canvas->getCurve().addPoint(t, t);
    menu->show();
    EXPECT_EQ(tap(menu, 200, 100), 2u);
    EXPECT_TRUE(canvas->getCurve().isComplete());
    EXPECT_EQ(canvas->getInteractionMode(), 3);
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

TEST_F(CornerMenuTest, EachTouchHandlerShowsItsIcon)
{
    vis->setInputCombo(0);
    // The sub-modes' icons by buttons are the handler plans'; here the postures choose them.
    const struct { const char* name; int mode, posture, side, icon; } rows[] = {
        {"create", 0, 1, 10, 2},          {"erase", 1, 1, 10, 3},
        {"orient radial", 3, 2, 15, 6},   {"move follow", 4, 1, 10, 7},
        {"move repulsion", 4, 3, 50, 9},  {"size smaller", 5, 3, 50, 11},
    };
    for (const auto& r : rows) {
        canvas->setInteractionMode(r.mode);
        canvas->setFakePosture(r.posture, r.side, r.side);
        for (int i = 0; i < 4; ++i) canvas->hitLocalBuffer(250 + i, 150, 10, 10);
        canvas->releaseLocalBuffer(253, 150, 0, 0);
        EXPECT_EQ(corner->getIconIndex(), r.icon) << r.name;
    }
    // Create, erase and the sizes show the brush diameter, the others only the primitive.
    canvas->getToolBrush(0)->setDiameter(80.0f, false);
    corner->setIcon(3, 0);
    EXPECT_EQ(corner->bandText(), "Strokes  80");
    canvas->setToolState(4, 2, 2.0f);
    corner->setIcon(7, 0);
    EXPECT_EQ(corner->bandText(), "Points");
    // The brush outline follows whether the menu is shown.
    corner->hide();
    corner->setIcon(2, 0);
    EXPECT_FALSE(canvas->getToolBrush(0)->isOutlineShown());
    corner->show();
    corner->setIcon(2, 0);
    EXPECT_TRUE(canvas->getToolBrush(0)->isOutlineShown());
    // Indices outside the twelve icons change nothing.
    corner->setIcon(12, 0);
    EXPECT_EQ(corner->getIconIndex(), 2);
}

TEST_F(CornerMenuTest, ReleaseOpensTheMenusAndWithoutATouchReturns17)
{
    auto* context = place(new ContextMenuGL(vis.get(), 150, 150, 200, 150, 1, true, false, 1.0f, 0));
    auto* strokes = place(new StrokeMenuGL(vis.get(), 300, 300, 200, 150, 1, false, false, 1.0f,
                                           0, 0, 0, 0));
    context->hide();
    strokes->hide();
    EXPECT_EQ(corner->releaseLocalBuffer(100, 222, 0, 0), 17u);

    EXPECT_EQ(corner->hitLocalBuffer(100, 222, 10, 10), 1u);
    EXPECT_EQ(corner->releaseLocalBuffer(100, 222, 0, 0), 0u);
    EXPECT_TRUE(context->isShown());
    EXPECT_EQ(tap(corner, 100, 222), 0u);
    EXPECT_FALSE(context->isShown());

    EXPECT_EQ(tap(corner, 100, 140), 1u);
    EXPECT_TRUE(strokes->isShown());
    EXPECT_EQ(tap(corner, 100, 140), 1u);
    EXPECT_FALSE(strokes->isShown());
    // The blank corner of the menu: returned, nothing opens.
    EXPECT_EQ(tap(corner, 195, 295), 17u);
    EXPECT_FALSE(strokes->isShown());
}

TEST_F(CornerMenuTest, DrawsTheCurrentIcon)
{
    std::vector<unsigned int> icons(12, 0);
    icons[2] = texture("textures/contextmenu/create.png");
    icons[3] = texture("textures/contextmenu/erase.png");
    auto* drawn = place(new CornerMenuGL(vis.get(), 200, 200, 128, 128, 1, false, false, 1.0f,
                                         icons));
    auto centre = [&] {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        drawn->render();
        return gl->pixel(128 + 30, 150);
    };
    // The neutral icon has no texture here: nothing where the icon stands.
    EXPECT_EQ(centre()[2], 0);
    drawn->setIcon(2, 0);
    const auto create = centre();
    EXPECT_GT(create[0] + create[1] + create[2], 60);
    // The band names the primitive under the icon.
    int text = 0;
    for (int y = 60; y < 75; ++y)
        for (int x = 90; x < 166; ++x)
            if (gl->pixel(x, y)[1] > 20) ++text;
    EXPECT_GT(text, 10);
}

TEST_F(StrokeMenuTest, AcceptWritesTheChoiceIntoTheToolStateAndCancelNothing)
{
    // An accept with nothing chosen, and a cancel, close the menu and write nothing.
    menu->show();
    tap(menu, 130, 40);
    EXPECT_FALSE(menu->isShown());
    menu->show();
    tap(menu, 130, 260);
    tap(menu, 270, 40);
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
