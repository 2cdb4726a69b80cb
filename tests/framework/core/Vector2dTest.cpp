#include "core/Vector2d.h"
#include "core/Vector3d.h"

#include <gtest/gtest.h>

TEST(Vector2dTest, LengthsOfAllSignCombinations)
{
    // The approximation takes the larger component whole: 4 + 0.366 * 3 either way round.
    const struct { Vector2d v; double length, approximate; } rows[] = {
        {{3, 4}, 5.0, 5.098}, {{4, -3}, 5.0, 5.098}, {{0, 0}, 0.0, 0.0}, {{-2, 0}, 2.0, 2.0}};
    for (const auto& r : rows) {
        EXPECT_DOUBLE_EQ(r.v.length(), r.length) << r.v.x << "," << r.v.y;
        EXPECT_DOUBLE_EQ(r.v.approximateLength(), r.approximate) << r.v.x << "," << r.v.y;
    }
}

TEST(Vector2dTest, IndexingStaysInsideTheVectorAndZeroNormalizesToZero)
{
    Vector2d v(3, 4);
    EXPECT_EQ(static_cast<const Vector2d&>(v)[7], 4);
    EXPECT_EQ(v[-1], 4);
    Vector2d zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector2d(0, 0));
}

TEST(Vector2dTest, OrderingComparesLengthsOnly)
{
    const Vector2d shortV(1, 0), longV(0, 2), sameLength(0, 1);
    EXPECT_TRUE(shortV < longV && shortV <= longV && longV > shortV && longV >= shortV);
    // Different vectors of equal length: neither < nor >, but <= and >= hold.
    EXPECT_FALSE(shortV < sameLength || sameLength < shortV || shortV > sameLength);
    EXPECT_TRUE(shortV <= sameLength && shortV >= sameLength);
    EXPECT_NE(shortV, sameLength);
}

TEST(Vector3dTest, LengthsUseTheLargestComponent)
{
    for (const Vector3d& v : {Vector3d(2, 3, 6), Vector3d(-6, 2, 3), Vector3d(2, -6, -3)})
        EXPECT_DOUBLE_EQ(v.approximateLength(), 6 + 0.366 * 5);
    Vector3d zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector3d(0, 0, 0));
    EXPECT_EQ(Vector3d(1, 2, 3)[9], 3);
    EXPECT_TRUE(Vector3d(0, 0, 1) < Vector3d(0, 2, 0));
    EXPECT_FALSE(Vector3d(0, 0, 1) < Vector3d(1, 0, 0) || Vector3d(1, 0, 0) < Vector3d(0, 0, 1));
}
