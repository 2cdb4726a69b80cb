// The lens arithmetic without a GL context.
#include "components/LensField.h"
#include "core/epsEnums.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using namespace lensfield;

TEST(LensFieldTest, DropoffByNameIncludingUnknownOnes)
{
    const struct {
        const char* name;
        int function;
        float shift;
        int epsType;
    } rows[] = {
        {"Manhattan", 1, 0.5f, 0}, {"TrueLinear", 8, 0.8f, 8},
        // Names are compared whole and with their case.
        {"linear", 0, 0.0f, 2}, {"Linear ", 0, 0.0f, 2}, {nullptr, 0, 0.0f, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name ? row.name : "(null)");
        const Dropoff d = dropoffByName(row.name);
        EXPECT_EQ(d.function, row.function);
        EXPECT_FLOAT_EQ(d.colorShift, row.shift);
        EXPECT_EQ(d.epsType, row.epsType);
    }
    EXPECT_EQ(dropoffOf(9).function, 0);
    EXPECT_EQ(dropoffOf(-1).function, 0);
}

TEST(LensFieldTest, StrengthClampColourShiftAndUpVector)
{
    EXPECT_EQ(clampStrength(1.7), 1.0);
    EXPECT_EQ(clampStrength(-0.3), 0.0);
    EXPECT_EQ(clampStrength(std::numeric_limits<double>::quiet_NaN()), 0.0);

    // A component above 1.0 after the shift loses 1.0.
    const float border[3] = {0.2f, 0.5f, 0.9f};
    float out[3];
    shiftColor(border, 0.6f, out);
    EXPECT_FLOAT_EQ(out[0], 0.8f);
    EXPECT_FLOAT_EQ(out[2], 1.5f - 1.0f);

    // (3, 4) becomes (0.6, 0.8) on a control surface (LensGLTest); no direction is up.
    double x = 0, y = 0;
    normaliseUp(x, y);
    EXPECT_DOUBLE_EQ(y, 1.0);
}

TEST(LensFieldTest, SizeFactorsAreTheMagnificationInTheFocusAndOneOutside)
{
    // A 100 x 100 lens: r = 45, focus 45 * 0.5.
    for (const char* name : {"Gaussian", "Linear", "Manhattan", "Hemispheric", "TrueLinear"}) {
        SCOPED_TRACE(name);
        BufferTemplate<float> f(1, 0);
        f.setSizeAndAllocateMemory(102, 102);
        fillSizeFactors(f, 50.0, 50.0, 0.5, 2.0, 0.1, dropoffByName(name).epsType);
        EXPECT_NEAR(f.getValue(51u + 20u, 51u), 2.0f, 1e-5) << "inside the focus radius 22.5";
        EXPECT_EQ(f.getValue(101u, 51u), 1.0f) << "beyond r = 45";
        float previous = 2.1f;
        for (unsigned int x = 51; x < 102; ++x) {
            const float v = f.getValue(x, 51u);
            EXPECT_GE(v, 1.0f);
            EXPECT_LE(v, previous + 1e-6f) << "falls off towards the rim at " << x;
            previous = v;
        }
    }
    // Strength 0: a point focus, only the centre reaches the full factor.
    BufferTemplate<float> f(1, 0);
    f.setSizeAndAllocateMemory(102, 102);
    fillSizeFactors(f, 50.0, 50.0, 0.0, 2.0, 0.1, dropoffByName("Linear").epsType);
    EXPECT_LT(f.getValue(51u + 20u, 51u), 1.6f);
}

// Outward and inward vectors are checked on a control surface (LensGLTest).
TEST(LensFieldTest, DirectionVectorsOfAnEllipseStayInsideItsOutline)
{
    BufferTemplate<float> e(2, 0);
    e.setSizeAndAllocateMemory(102, 52);
    fillDirectionVectors(e, 50.0, 25.0, 0.9, 2.0, 0.1, epsEnums::GAUSSIAN, 1);
    float a[2];
    e.get2DValues(51u, 51u, a);
    EXPECT_EQ(a[1], 0.0f) << "beyond the short half axis";
}

TEST(LensFieldTest, PlacementClipsToTheParentAndRectanglesMergeWhereTheyOverlap)
{
    const struct {
        const char* name;
        double cx, cy;
        Placement expected;
    } rows[] = {
        {"inside", 50.0, 40.0, {45, 35, {45, 35, 55, 45}}},
        {"over the left edge", 2.0, 40.0, {-3, 35, {0, 35, 7, 45}}},
        {"beyond the top right", 200.0, 200.0, {195, 195, {}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Placement p = place(row.cx, row.cy, 10, 10, 100, 80);
        EXPECT_EQ(p.originX, row.expected.originX);
        EXPECT_EQ(p.originY, row.expected.originY);
        EXPECT_TRUE(p.rect == row.expected.rect);
    }

    std::vector<CellRect> rects = {{0, 0, 10, 10}, {20, 0, 30, 10}, {5, 5, 15, 15}, {3, 3, 3, 9}};
    mergeOverlapping(rects);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_TRUE((rects[0] == CellRect{0, 0, 15, 15}));
    // A merged rectangle that reaches another merges again.
    rects = {{0, 0, 10, 10}, {12, 0, 20, 10}, {8, 8, 14, 12}};
    mergeOverlapping(rects);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_TRUE((rects[0] == CellRect{0, 0, 20, 12}));
    // fillRect clips a rectangle reaching beyond the field.
    BufferTemplate<float> field(2, 0);
    field.setSizeAndAllocateMemory(8, 8);
    fillRect(field, CellRect{6, 6, 12, 12}, 3.0f);
    float v[2];
    field.get2DValues(7u, 7u, v);
    EXPECT_EQ(v[1], 3.0f);
}

} // namespace
