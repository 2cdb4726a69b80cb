// The selection outline's loops without GL. The depth-to-orientation steps are checked on a
// drawn curve in the canvas's GL test.
#include "canvas/CurveField.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using canvas::OutlineCorner;

namespace {

// Rows top first, '#' selected.
std::vector<std::vector<OutlineCorner>> outline(const std::vector<const char*>& rows)
{
    const std::size_t h = rows.size();
    const std::size_t w = std::string(rows[0]).size();
    std::unique_ptr<bool[]> cells(new bool[w * h]);
    for (std::size_t r = 0; r < h; ++r)
        for (std::size_t x = 0; x < w; ++x) cells[(h - 1 - r) * w + x] = rows[r][x] == '#';
    return canvas::selectionOutline(cells.get(), w, h);
}

} // namespace

TEST(CurveFieldTest, SelectionOutlineIsClosedLoopsOfTurningCorners)
{
    EXPECT_TRUE(outline({"...", "..."}).empty());

    // A 2 x 1 block in the grid's corner: one anticlockwise rectangle.
    auto loops = outline({"...", "##."});
    ASSERT_EQ(loops.size(), 1u);
    EXPECT_EQ(loops[0], (std::vector<OutlineCorner>{{0, 0}, {2, 0}, {2, 1}, {0, 1}}));

    // Diagonal neighbours stay two squares; a ring has an outer loop and a hole.
    loops = outline({".#", "#."});
    ASSERT_EQ(loops.size(), 2u);
    EXPECT_EQ(loops[0].size(), 4u);
    EXPECT_EQ(loops[1].size(), 4u);
    loops = outline({"###", "#.#", "###"});
    ASSERT_EQ(loops.size(), 2u);
    EXPECT_EQ(loops[0].size(), 4u);
    EXPECT_EQ(loops[1], (std::vector<OutlineCorner>{{1, 1}, {1, 2}, {2, 2}, {2, 1}}));

    // An L: six corners, none where the edge runs straight.
    loops = outline({"#..", "###"});
    ASSERT_EQ(loops.size(), 1u);
    EXPECT_EQ(loops[0], (std::vector<OutlineCorner>{{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {0, 2}}));
}
