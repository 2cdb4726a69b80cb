#include "components/StickyBoardCompositeGL.h"
#include "components/StickyNoteLeafGL.h"
#include "components/StorageBinCompositeGL.h"

#include "ComponentTestSupport.h"

#include <gtest/gtest.h>

namespace {

class StickyBoardGLTest : public ItemGLTest {
protected:
    // 300 × 250 asked at (300, 300): corners at ±120, ±100, widened by the border (15):
    // 270 × 230.
    StickyBoardCompositeGL* board()
    {
        return scene().vis->createStickyBoard(300, 250, true, true, 300, 300, 0.0);
    }
};

TEST_F(StickyBoardGLTest, CodesAndNotesLaidOutAndResizedWithTheBoard)
{
    StickyBoardCompositeGL* b = board();
    const double width = 270, height = 230, left = 300 - 135.0, bottom = 300 - 115.0;
    const struct {
        const char* name;
        double lx, ly;
        unsigned int code;
        bool rnt;
    } rows[] = {
        {"body moves and turns", 135, 115, 3, true},
        {"left border only moves", 5, 115, 12, false},
        {"beside the resize corner", 200, 10, 12, false},
    };
    for (const auto& row : rows) {
        b->setRNTActive(true);
        const auto x = static_cast<unsigned int>(left + row.lx);
        const auto y = static_cast<unsigned int>(bottom + row.ly);
        EXPECT_EQ(b->hitLocalBuffer(x, y, 0, 0), row.code) << row.name;
        EXPECT_EQ(b->getRNTActive(), row.rnt) << row.name;
        EXPECT_EQ(b->releaseLocalBuffer(x, y, 0, 0), row.code) << row.name;
    }

    StickyNoteLeafGL* note = scene().vis->createStickyNote(60, 60, true, true, 270, 330, 0.0, 0.0);
    ASSERT_EQ(b->addChild(note), 1);
    const double top = bottom + height;
    // Drag the resize corner (code 4, turning kept) to 60 pixels beyond the right edge: the corner
    // follows the finger and the top-left corner stays.
    const unsigned int cx = static_cast<unsigned int>(left + width - 5);
    const unsigned int cy = static_cast<unsigned int>(bottom + 5);
    b->setRNTActive(true);
    ASSERT_EQ(b->hitLocalBuffer(cx, cy, 0, 0), 4u);
    b->hitLocalBuffer(cx + 65, cy - 5, 0, 0);
    EXPECT_EQ(b->releaseLocalBuffer(cx + 65, cy - 5, 0, 0), 4u);

    EXPECT_NEAR(b->getWidth(), width + 60, 1e-6);
    EXPECT_NEAR(b->getXPos() - b->getWidth() / 2, left, 1e-6) << "the left edge stays";
    EXPECT_NEAR(b->getYPos() + b->getHeight() / 2, top, 1e-6) << "the top edge stays";
    // The note keeps its place relative to the board's edges, scaled with its width.
    const double sx = (width + 60) / width;
    EXPECT_NEAR(note->getWidth(), 60 * sx, 1e-6);
    EXPECT_NEAR(note->getXPos() - left, (270 - left) * sx, 1e-6);
    EXPECT_NEAR(note->getYPos(), 330, 1e-6);
}

// Containers hide their children's handles, and with them the pen and eraser corners: a note on
// a board could not be written on. A board lets its notes be written on; its notes' resize
// corner still only moves them, and other containers keep every corner closed.
TEST_F(StickyBoardGLTest, RegressionNotesOnABoardCouldNotBeWrittenOn)
{
    StickyBoardCompositeGL* b = board();
    StorageBinCompositeGL* bin =
        scene().vis->createStorageBin(200, 200, true, true, 100, 100, 0.0, 6, 0, false, true);
    const struct {
        const char* name;
        VisComponent* parent;
        unsigned int pen, resize;
        bool writes;
    } rows[] = {
        {"board", b, BasicImageGL::kPenCode, BasicImageGL::kMoveCode, true},
        {"storage bin", bin, 0, 0, false},
    };
    for (const auto& row : rows) {
        // 100 × 100 at the parent's centre: pen corner top left, resize corner bottom right.
        const double cx = row.parent->getXPos(), cy = row.parent->getYPos();
        StickyNoteLeafGL* note =
            scene().vis->createStickyNote(100, 100, true, true, cx, cy, 0.0, 0.0);
        ASSERT_EQ(row.parent->addChild(note), 1) << row.name;
        const auto x = static_cast<unsigned int>(note->getXPos());
        const auto y = static_cast<unsigned int>(note->getYPos());
        EXPECT_EQ(note->hitLocalBuffer(x + 44, y - 44, 0, 0), row.resize) << row.name;
        note->releaseLocalBuffer(x + 44, y - 44, 0, 0);

        EXPECT_EQ(note->hitLocalBuffer(x - 44, y + 44, 0, 0), row.pen) << row.name;
        note->releaseLocalBuffer(x - 44, y + 44, 0, 0);
        EXPECT_EQ(note->isDrawingMode(), row.writes) << row.name;
        for (unsigned int dx = 0; dx <= 30; dx += 3) note->hitLocalBuffer(x - 15 + dx, y, 0, 0);
        note->releaseLocalBuffer(x + 15, y, 0, 0);
        scene().frameAfter(gl, 20);
        EXPECT_EQ(near(gl->pixel(x, y), 0, 0, 0, 60), row.writes) << row.name;
    }
}

} // namespace
