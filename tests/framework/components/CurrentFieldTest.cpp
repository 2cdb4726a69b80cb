#include "components/CurrentField.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A belt of 300 x 300 with a ring 60 wide, its grids and the default fill.
struct Belt {
    ContainerOutline outline;
    BufferMapping mapping;
    BufferTemplate<float> size{1, 0};
    BufferTemplate<float> orientation{2, 1};
    BufferTemplate<float> direction{2, 2};

    Belt(unsigned points, unsigned level, bool rounded) : outline(points, level, true, rounded)
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
};

TEST(CurrentField, SwipeSpeed)
{
    // Orientation where the swipe began: (0, 1), i.e. the belt's up is +y.
    const struct {
        const char* name;
        double dx, dy, speed;
    } rows[] = {
        {"just under 10 pixels stops it", 9.99, 0, 0.0},
        {"400 pixels capped at 160", 400, 0, 8.0},
        {"along the orientation: q = 0 counts as negative", 0, 400, -8.0},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(CurrentField::swipeSpeed(row.dx, row.dy, 0.0, 1.0), row.speed) << row.name;
    // With the orientation turned, the sign turns: on a belt in InterfaceCurrentGLTest.
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
