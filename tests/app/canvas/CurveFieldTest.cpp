// The curve overlay's depth-to-orientation steps and the selection outline, without GL.
#include "canvas/CurveField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using canvas::OutlineCorner;

namespace {

// A 1-wide column of depths, bottom first.
std::vector<double> columnGradientY(const std::vector<double>& depth)
{
    std::vector<double> g(depth.size() * 2);
    canvas::gradientFromDepth(depth.data(), 1, depth.size(), g.data());
    std::vector<double> gy;
    for (std::size_t i = 0; i < depth.size(); ++i) gy.push_back(g[2 * i + 1]);
    return gy;
}

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

TEST(CurveFieldTest, GradientKeepsASlopeOnTheValleyFloorAndIgnoresFarCells)
{
    const double s = 1.0 / 60.0;
    // far, band edge, slope down to the curve at index 4, back up, far.
    const std::vector<double> depth = {1.0, 1.0, 2 * s, s, 0.0, s, 2 * s, 1.0};
    const std::vector<double> gy = columnGradientY(depth);
    EXPECT_EQ(gy[0], 0.0);
    EXPECT_EQ(gy[1], 0.0);
    EXPECT_NEAR(gy[2], -s, 1e-12); // one-sided: the far cell below is no neighbour
    EXPECT_NEAR(gy[3], -s, 1e-12);
    EXPECT_NEAR(std::fabs(gy[4]), s, 1e-12); // the floor: steeper one-sided slope, not 0
    EXPECT_NEAR(gy[6], s, 1e-12);
    EXPECT_EQ(gy[7], 0.0);
    // A single cell with no neighbours has no slope.
    EXPECT_EQ(columnGradientY({0.5})[0], 0.0);
}

TEST(CurveFieldTest, OrientationRunsAlongTheCurveTheWayTheHintPoints)
{
    // Gradients up and down (the two sides of a horizontal curve) and none.
    const std::vector<double> g = {0.0, 0.2, 0.0, -0.03, 0.0, 0.0};
    std::vector<float> o(6, 9.0f);
    canvas::orientationFromGradient(g.data(), nullptr, 3, 1, o.data());
    EXPECT_FLOAT_EQ(std::fabs(o[0]), 1.0f);
    EXPECT_FLOAT_EQ(o[1], 0.0f);
    EXPECT_FLOAT_EQ(o[0], -o[2]); // unhinted, the sides disagree
    EXPECT_EQ(o[4], 0.0f);
    EXPECT_EQ(o[5], 0.0f);

    // Hinted towards -x on both sides; a cell without hint keeps its own sign.
    std::vector<std::uint8_t> hints(12, 0);
    canvas::TangentHint::encode(-1.0, 0.0, &hints[0]);
    canvas::TangentHint::encode(-0.9, 0.1, &hints[4]);
    canvas::orientationFromGradient(g.data(), hints.data(), 3, 1, o.data());
    EXPECT_FLOAT_EQ(o[0], -1.0f);
    EXPECT_FLOAT_EQ(o[2], -1.0f);
    double tx = 0, ty = 0;
    EXPECT_FALSE(canvas::TangentHint::decode(&hints[8], &tx, &ty));
    ASSERT_TRUE(canvas::TangentHint::decode(&hints[4], &tx, &ty));
    EXPECT_NEAR(tx, -0.9, 0.01);
    EXPECT_NEAR(ty, 0.1, 0.01);
}

TEST(CurveFieldTest, SelectionOutlineIsClosedLoopsOfTurningCorners)
{
    EXPECT_TRUE(outline({"...", "..."}).empty());

    // A 2 x 1 block in the grid's corner: one anticlockwise rectangle.
    auto loops = outline({"...", "##."});
    ASSERT_EQ(loops.size(), 1u);
    EXPECT_EQ(loops[0], (std::vector<OutlineCorner>{{0, 0}, {2, 0}, {2, 1}, {0, 1}}));

    // The whole grid: its border.
    loops = outline({"##", "##"});
    ASSERT_EQ(loops.size(), 1u);
    EXPECT_EQ(loops[0].size(), 4u);

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
