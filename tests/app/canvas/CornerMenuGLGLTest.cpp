// The corner menu: its icons, the menus it opens and its drawing.
#include "MenuTestSupport.h"

#include "canvas/ContextMenuGL.h"
#include "canvas/CornerMenuGL.h"
#include "canvas/StrokeMenuGL.h"
#include "canvas/ToolBrushLeafGL.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace {

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

} // namespace

TEST_F(CornerMenuTest, EachTouchHandlerShowsItsIcon)
{
    EXPECT_EQ(corner->getIconIndex(), 1);
    vis->setInputCombo(0);
    const struct { const char* name; int mode, posture, side, icon; } rows[] = {
        {"create", 0, 1, 10, 2},         {"erase", 1, 1, 10, 3},
        {"orient follow", 3, 1, 10, 4},  {"orient circular", 3, 3, 50, 5},
        {"orient radial", 3, 2, 15, 6},  {"move follow", 4, 1, 10, 7},
        {"move attraction", 4, 2, 15, 8}, {"move repulsion", 4, 3, 50, 9},
        {"size bigger", 5, 1, 10, 10},   {"size smaller", 5, 3, 50, 11},
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
    EXPECT_FALSE(context->isShown());

    EXPECT_EQ(corner->hitLocalBuffer(100, 222, 10, 10), 1u);
    EXPECT_EQ(corner->releaseLocalBuffer(100, 222, 0, 0), 0u);
    EXPECT_TRUE(context->isShown());
    EXPECT_TRUE(corner->isContextMenuOpen());
    EXPECT_EQ(tap(corner, 100, 222), 0u);
    EXPECT_FALSE(context->isShown());

    EXPECT_EQ(tap(corner, 100, 140), 1u);
    EXPECT_TRUE(strokes->isShown());
    EXPECT_EQ(tap(corner, 100, 140), 1u);
    EXPECT_FALSE(strokes->isShown());
    // The blank corner of the menu: returned, nothing opens.
    EXPECT_EQ(tap(corner, 195, 295), 17u);
    EXPECT_FALSE(context->isShown());
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

    OutputCapture out;
    vis = std::make_unique<RuduzozovorERUVisGL>(1, 64, 64, 400, 300);
    CornerMenuGL without(vis.get(), 200, 200, 100, 100, 1, false, false, 1.0f, {});
    EXPECT_EQ(out.take(), "WARNING: Fontarial32 not found\n"
                          "WARNING: CornerMenuGL: font arial32 could not be found. Did you load it? \n");
    EXPECT_EQ(without.getIconTexture(), 0u);
}

TEST_F(CornerMenuTest, WiiUpShowsAndDownHidesIt)
{
    std::vector<WiiCommunicationData::WIIMOTE_BUTTON> none;
    WiiCommunicationData d;
    const struct { bool up, down, shown; } rows[] = {
        {false, true, false}, {false, false, false}, {true, false, true}, {true, false, true},
        {false, true, false},
    };
    for (const auto& r : rows) {
        d.up = r.up;
        d.down = r.down;
        canvas->wiimoteEvent(none, d);
        EXPECT_EQ(corner->isShown(), r.shown);
        EXPECT_EQ(canvas->isCornerMenuShown(), r.shown);
    }
}
