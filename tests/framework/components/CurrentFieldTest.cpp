#include "components/CurrentField.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// A belt of 300 x 300 with a ring 60 wide, its grids and the default fill.
struct Belt {
    ContainerOutline outline;
    BufferMapping mapping;
    BufferTemplate<float> size{1, 0};
    BufferTemplate<float> orientation{2, 1};
    BufferTemplate<float> direction{2, 2};

    Belt(unsigned points, unsigned level, bool rounded, bool ring = true)
        : outline(points, level, ring, rounded)
    {
        double w = 300, h = 300, dx = 0, dy = 0;
        outline.computeInitialControlPoints(w / 2, h / 2, 15.0, 60.0);
        outline.fitSize(true, &w, &h, &dx, &dy);
        mapping = {w / 2, h / 2, 1.0, 1.0};
        for (auto* b : {&size, &orientation, &direction})
            b->setSizeAndAllocateMemory(unsigned(w + 2.5), unsigned(h + 2.5));
        CurrentField::fillDefaults(grids());
    }
    CurrentField::Grids grids() { return {&size, &orientation, &direction}; }
    // Field values at a point of the shape frame, read from the cell.
    void at(double x, double y, float* s, float* o, float* d) const
    {
        const unsigned cx = unsigned(mapping.column(x)), cy = unsigned(mapping.row(y));
        *s = size.getValue(cx, cy);
        orientation.get2DValues(cx, cy, o);
        direction.get2DValues(cx, cy, d);
    }
};

TEST(CurrentField, SwipeSpeed)
{
    // Orientation where the swipe began: (0, 1), i.e. the belt's up is +y.
    const struct {
        const char* name;
        double dx, dy, speed;
    } rows[] = {
        {"just under 10 pixels stops it", 9.99, 0, 0.0},
        {"10 pixels", 10, 0, 0.5},
        {"400 pixels capped at 160", 400, 0, 8.0},
        {"along the orientation: q = 0 counts as negative", 0, 400, -8.0},
        {"diagonal 3-4-5", 60, 80, 5.0},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(CurrentField::swipeSpeed(row.dx, row.dy, 0.0, 1.0), row.speed) << row.name;
    // The sign follows the orientation: turned by 180 degrees, the same swipe runs the other way.
    EXPECT_DOUBLE_EQ(CurrentField::swipeSpeed(400, 0, 0.0, -1.0), -8.0);
}

TEST(CurrentField, BeltFieldsAlongTheRing)
{
    Belt belt(12, 3, true);
    const double speed = 2.0;
    const auto segments = CurrentField::buildSegments(belt.outline, belt.mapping, speed, 15.0);
    CurrentField::fillSegments(segments, 0, segments.size(), belt.grids());

    float s, o[2], d[2];
    // Middle of the ring on the right (outline at x = 135, inside at 75): normal points to the
    // centre, flow runs downwards (clockwise for positive speed), size 0.7 x 60.
    belt.at(105, 0, &s, o, d);
    EXPECT_NEAR(o[0], -1.0, 0.02);
    EXPECT_NEAR(o[1], 0.0, 0.02);
    EXPECT_NEAR(d[0], 0.0, 0.05);
    EXPECT_NEAR(d[1], -speed, 0.05);
    EXPECT_NEAR(s, 0.7 * 60, 1.0);
    // Walls push back into the ring with the wall strength.
    belt.at(142, 0, &s, o, d);
    EXPECT_NEAR(d[0], -15.0, 0.3);
    belt.at(68, 0, &s, o, d);
    EXPECT_NEAR(d[0], 15.0, 0.3);
    // The hole and the area outside keep the defaults.
    belt.at(0, 0, &s, o, d);
    EXPECT_EQ(s, 100.0f);
    EXPECT_EQ(d[0], 0.0f);
    EXPECT_EQ(d[1], 0.0f);
    EXPECT_EQ(o[0], 0.0f);
    // A pool has no ring and so no flow.
    Belt pool(6, 2, true, false);
    EXPECT_TRUE(CurrentField::buildSegments(pool.outline, pool.mapping, 1.0, 15.0).empty());
}

TEST(CurrentField, TwoThreadFillEqualsOneThreadFill)
{
    // A rectangle belt with sharp corners: its quads overlap where the ring turns, so the order
    // of the fills matters there.
    for (bool rounded : {false, true}) {
        Belt one(24, 4, rounded), two(24, 4, rounded);
        const auto segments = CurrentField::buildSegments(one.outline, one.mapping, -3.5, 15.0);
        CurrentField::fillSegments(segments, 0, segments.size(), one.grids());
        CurrentField::fillTwoThreads(segments, two.grids());
        for (auto pair : {std::make_pair(&one.size, &two.size),
                          std::make_pair(&one.orientation, &two.orientation),
                          std::make_pair(&one.direction, &two.direction)}) {
            const std::size_t bytes = pair.first->getAllocatedMemorySizeInBytes();
            EXPECT_EQ(std::memcmp(pair.first->getBufferArray(), pair.second->getBufferArray(), bytes), 0)
                << "rounded " << rounded << " grid " << pair.first->getID();
        }
    }
}

} // namespace
