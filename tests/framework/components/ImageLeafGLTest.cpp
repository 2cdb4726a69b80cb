#include "components/AbstractImageGL.h"
#include "components/ImageLeafGL.h"
#include "components/StickyNoteLeafGL.h"

#include "ComponentTestSupport.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

namespace {

class ImageLeafGLTest : public ItemGLTest {
protected:
    ImageLeafGL* image(unsigned int texture = 0, double size = 100)
    {
        return scene().vis->createImage(size, size, true, true, 128, 128, 0.0, 0.0, texture, false);
    }
    // A touch of one position at (x, y), released there.
    static unsigned int tap(VisComponent* c, unsigned int x, unsigned int y)
    {
        c->hitLocalBuffer(x, y, 0, 0);
        return c->releaseLocalBuffer(x, y, 0, 0);
    }
};

// Images and notes share the hit mask (notes: StickyBoardGLTest): 100 × 100 at (128, 128).
TEST_F(ImageLeafGLTest, HitCodes)
{
    ImageLeafGL* item = image(0, 100);
    const struct {
        const char* name;
        unsigned int x, y, code;
    } rows[] = {
        {"resize corner", 172, 82, 4},  {"pen corner", 82, 172, 7},
        {"eraser corner", 172, 172, 8}, {"right edge, middle", 172, 128, 3},
        {"off the item", 250, 250, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(item->hitLocalBuffer(row.x, row.y, 0, 0), row.code) << row.name;
        item->releaseLocalBuffer(row.x, row.y, 0, 0);
        scene().frameAfter(gl, 1500); // the corners turn drawing on; a pause of a second ends it
    }
    EXPECT_EQ(item->releaseLocalBuffer(0, 0, 0, 0), 0u) << "release without a touch";
    // Touches inside the RNT circle (radius² = 100² × 0.125 for the default factor) only move.
    EXPECT_FALSE(item->checkPositionForRNT(128 + 30, 128));
    EXPECT_TRUE(item->checkPositionForRNT(128 + 36, 128));
}

TEST_F(ImageLeafGLTest, PenCornerStartsDrawingUntilASecondPassesWithoutAStroke)
{
    ImageLeafGL* img = image(ItemScene::solidTexture(255, 255, 255), 100);
    EXPECT_EQ(tap(img, 82, 172), BasicImageGL::kPenCode);

    // A stroke through the centre draws black there, and the image does not move.
    scene().frameAfter(gl, 500);
    for (unsigned int x = 108; x <= 148; x += 4)
        EXPECT_EQ(img->hitLocalBuffer(x, 128, 0, 0), BasicImageGL::kPenCode);
    img->releaseLocalBuffer(148, 128, 0, 0);
    scene().frameAfter(gl, 20);
    EXPECT_TRUE(near(gl->pixel(120, 128), 0, 0, 0, 40));
    EXPECT_TRUE(near(gl->pixel(128, 150), 255, 255, 255));
    EXPECT_DOUBLE_EQ(img->getXPos(), 128.0);

    // 900 ms later the next touch still draws; 1100 ms after that it is an ordinary touch.
    scene().frameAfter(gl, 900);
    EXPECT_EQ(tap(img, 128, 110), BasicImageGL::kPenCode);
    scene().frameAfter(gl, 1100);
    EXPECT_EQ(img->hitLocalBuffer(128, 110, 0, 0), BasicImageGL::kMoveCode);
    img->releaseLocalBuffer(128, 110, 0, 0);

    // The eraser corner clears the overlay back to the picture.
    EXPECT_EQ(tap(img, 172, 172), BasicImageGL::kEraserCode);
    for (unsigned int x = 104; x <= 152; x += 4) img->hitLocalBuffer(x, 128, 0, 0);
    img->releaseLocalBuffer(152, 128, 0, 0);
    scene().frameAfter(gl, 20);
    EXPECT_TRUE(near(gl->pixel(120, 128), 255, 255, 255));
}

TEST_F(ImageLeafGLTest, ImageAndNoteDrawTheirPictureInTheFrame)
{
    // 200 × 100: the shared lists, built for 100 × 100, are stretched to the image's size.
    scene().vis->createImage(200, 100, true, true, 128, 128, 0.0, 0.0,
                             ItemScene::solidTexture(255, 0, 0), false);
    scene().frameAfter(gl, 20);
    EXPECT_TRUE(near(gl->pixel(128, 128), 255, 0, 0));
    EXPECT_TRUE(near(gl->pixel(220, 128), 255, 0, 0));
    EXPECT_TRUE(near(gl->pixel(227, 128), 0, 0, 0)) << "the frame is the outer 2 %";
    EXPECT_TRUE(near(gl->pixel(128, 185), 0, 0, 0)) << "nothing beyond the image";

    scene().vis->createStickyNote(60, 60, true, true, 40, 40, 0.0, 0.0);
    scene().frameAfter(gl, 20);
    EXPECT_TRUE(near(gl->pixel(40, 40), 255, 255, 102)) << "pale yellow paper";
}

// Each stroke step draws a white underlay first; it used to cover the black of the steps
// before it, leaving a white stroke with only its last segment black.
TEST_F(ImageLeafGLTest, RegressionStrokeUnderlayCoversEarlierSegments)
{
    ImageLeafGL* img = image(ItemScene::solidTexture(255, 0, 0), 60);
    img->setPos(40, 40);
    StickyNoteLeafGL* note = scene().vis->createStickyNote(60, 60, true, true, 140, 40, 0.0, 0.0);
    for (VisComponent* item : {static_cast<VisComponent*>(img), static_cast<VisComponent*>(note)}) {
        const unsigned int x0 = static_cast<unsigned int>(item->getXPos()) - 26;
        ASSERT_EQ(tap(item, x0, 66), BasicImageGL::kPenCode);
        for (unsigned int x = x0 + 16; x <= x0 + 36; x += 2) item->hitLocalBuffer(x, 40, 0, 0);
        item->releaseLocalBuffer(x0 + 36, 40, 0, 0);
    }
    scene().frameAfter(gl, 20);
    for (unsigned int x : {32u, 36u, 40u, 44u, 132u, 136u, 140u, 144u})
        EXPECT_TRUE(near(gl->pixel(x, 40), 0, 0, 0, 60)) << x;
}

// Icons drawn from RGBA textures with transparent corners showed black there instead of what
// lies under them.
TEST_F(ImageLeafGLTest, RegressionTransparentIconCornersDrewBlack)
{
    // 2 × 2 texels: the bottom-left one transparent, the others opaque white.
    const unsigned char texels[4 * 4] = {0, 0, 0, 0,         255, 255, 255, 255,
                                         255, 255, 255, 255, 255, 255, 255, 255};
    const GLuint texture = ItemScene::texture(2, 2, GL_RGBA, texels);

    ClockedVisGL* vis = scene().vis.get();
    auto* icon = new AbstractImageGL(vis, 100, 100, false, false, 128, 128, 0.0, texture);
    vis->addComponent(icon, false);
    auto* under = new QuadLeafGL(vis, 200, 200, 128, 128); // registered later: behind the icon
    under->visible[1] = under->visible[2] = 0;
    vis->addComponent(under, false);
    scene().frameAfter(gl, 20);
    EXPECT_TRUE(near(gl->pixel(100, 100), 200, 0, 0)) << "the transparent corner";
    EXPECT_TRUE(near(gl->pixel(150, 150), 255, 255, 255)) << "the opaque rest";
    glDeleteTextures(1, &texture);
}

} // namespace
