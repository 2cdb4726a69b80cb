#include "components/ContainerOutline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kBorder = 15.0;

// A container shape of 200 x 120 with its grid, as a container builds it.
struct Shape {
    ContainerOutline outline;
    BufferMapping mapping;
    BufferTemplate<int> mask;
    BufferTemplate<unsigned char> handle;

    Shape(unsigned points, unsigned level, bool ring, bool rounded, double w = 200, double h = 120,
          double ringWidth = 30)
        : outline(points, level, ring, rounded)
    {
        outline.computeInitialControlPoints(w / 2, h / 2, kBorder, ringWidth);
        double dx = 0, dy = 0;
        outline.fitSize(true, &w, &h, &dx, &dy);
        mapping = {w / 2, h / 2, 1.0, 1.0};
        mask.setSizeAndAllocateMemory(unsigned(w + 2.5), unsigned(h + 2.5));
        const unsigned r = ContainerOutline::handleRadius(kBorder);
        handle.setSizeAndAllocateMemory(2 * r, 2 * r);
        ContainerOutline::fillHandleMask(handle);
        outline.fillHitMask(mask, handle, mapping, true);
    }
    // The code at a point of the shape frame.
    int codeAt(double x, double y) const
    {
        return mask.getValue(unsigned(mapping.column(x)), unsigned(mapping.row(y)));
    }
};

TEST(ContainerOutline, ControlPointCountAndLevelAreClamped)
{
    EXPECT_EQ(ContainerOutline(0, 2, false, false).controlPointCount(), 3u);
    EXPECT_EQ(ContainerOutline(30, 2, false, false).controlPointCount(), 24u);
    EXPECT_EQ(ContainerOutline(4, 12, false, false).splineLevel(), 8u);
}

// A point at radius r, 22.5 degrees past the k-th of 8 control points (between two handles).
double px(double r, int k = 0) { return r * std::cos((k * 45 + 22.5) * M_PI / 180); }
double py(double r, int k = 0) { return r * std::sin((k * 45 + 22.5) * M_PI / 180); }

TEST(ContainerOutline, HitMaskRegionCodesOfPoolAndBelt)
{
    // Circles of 300 x 300: outline radius 135, hole radius 95 (ring 40), borders 15 wide;
    // 8 handles at 0, 45, 90 ... degrees.
    Shape pool(8, 4, false, true, 300, 300, 40);
    Shape belt(8, 4, true, true, 300, 300, 40);
    const struct {
        const char* name;
        const Shape& shape;
        double x, y;
        int code;
    } rows[] = {
        {"pool centre is body", pool, 0, 0, 3},
        {"pool outer border", pool, px(142, 5), py(142, 5), 12},
        {"pool outside the border", pool, px(153), py(153), 0},
        {"belt hole near its border", belt, px(75, 2), py(75, 2), 0},
        {"belt ring", belt, px(115, 1), py(115, 1), 3},
        {"belt inner border", belt, px(88, 7), py(88, 7), 13},
        {"belt outside handle 4 (odd)", belt, -135, 0, 23},
        {"belt inside handle 6 (even)", belt, 0, -95, 28},
    };
    for (const auto& row : rows) EXPECT_EQ(row.shape.codeAt(row.x, row.y), row.code) << row.name;
}

} // namespace
