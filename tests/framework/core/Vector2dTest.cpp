#include "core/Vector2d.h"
#include "core/Vector3d.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Vector2dTest, DefaultIsZeroAndIndexingReachesComponents)
{
    Vector2d v;
    EXPECT_EQ(v, Vector2d(0, 0));
    v[0] = 3;
    v[1] = 4;
    EXPECT_EQ(v, Vector2d(3, 4));
    const Vector2d& c = v;
    EXPECT_EQ(c[0], 3);
    EXPECT_EQ(c[1], 4);
    // Out-of-range indices stay inside the vector.
    EXPECT_EQ(c[7], 4);
    EXPECT_EQ(c[-1], 4);
}

TEST(Vector2dTest, Lengths)
{
    const struct {
        Vector2d v;
        double length, square, approximate;
    } rows[] = {
        {{3, 4}, 5.0, 25.0, 5.098},
        {{-3, 4}, 5.0, 25.0, 5.098},
        {{4, -3}, 5.0, 25.0, 5.098},
        {{0, 0}, 0.0, 0.0, 0.0},
        {{-2, 0}, 2.0, 4.0, 2.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.v.x << "," << r.v.y);
        EXPECT_DOUBLE_EQ(r.v.length(), r.length);
        EXPECT_DOUBLE_EQ(r.v.squareLength(), r.square);
        EXPECT_DOUBLE_EQ(r.v.approximateLength(), r.approximate);
    }
}

TEST(Vector2dTest, NormalizeInPlaceAndCopy)
{
    Vector2d v(3, 4);
    const Vector2d n = v.normalized();
    EXPECT_EQ(v, Vector2d(3, 4));
    EXPECT_DOUBLE_EQ(n.x, 0.6);
    EXPECT_DOUBLE_EQ(n.y, 0.8);
    v.normalize();
    EXPECT_EQ(v, n);
}

TEST(Vector2dTest, NormalizingZeroVectorKeepsZeroInsteadOfNaN)
{
    Vector2d v;
    v.normalize();
    EXPECT_EQ(v, Vector2d(0, 0));
    EXPECT_EQ(Vector2d().normalized(), Vector2d(0, 0));
}

TEST(Vector2dTest, PerpAndDot)
{
    EXPECT_EQ(Vector2d(2, 3).perp(), Vector2d(-3, 2));
    EXPECT_DOUBLE_EQ(Vector2d(2, 3).dot(Vector2d(4, -5)), -7.0);
    EXPECT_DOUBLE_EQ(Vector2d(2, 3).dot(Vector2d(2, 3).perp()), 0.0);
}

TEST(Vector2dTest, ArithmeticWithVectorsIsComponentWise)
{
    const Vector2d a(2, 3), b(4, 5);
    EXPECT_EQ(a + b, Vector2d(6, 8));
    EXPECT_EQ(a - b, Vector2d(-2, -2));
    EXPECT_EQ(a * b, Vector2d(8, 15));
    EXPECT_EQ(Vector2d(8, 15) / b, Vector2d(2, 3));
    Vector2d c = a;
    c += b;
    EXPECT_EQ(c, Vector2d(6, 8));
    c -= b;
    EXPECT_EQ(c, a);
    c *= b;
    EXPECT_EQ(c, Vector2d(8, 15));
    c /= b;
    EXPECT_EQ(c, a);
}

TEST(Vector2dTest, ArithmeticWithNumbersShiftsOrScales)
{
    const Vector2d a(2, 3);
    EXPECT_EQ(a + 1.0, Vector2d(3, 4));
    EXPECT_EQ(a - 1.0, Vector2d(1, 2));
    EXPECT_EQ(a * 2.0, Vector2d(4, 6));
    EXPECT_EQ(2.0 * a, Vector2d(4, 6));
    EXPECT_EQ(a / 2.0, Vector2d(1, 1.5));
    Vector2d c = a;
    c += 1.0;
    c *= 2.0;
    c -= 2.0;
    c /= 4.0;
    EXPECT_EQ(c, Vector2d(1, 1.5));
}

TEST(Vector2dTest, EqualityIsExact)
{
    EXPECT_TRUE(Vector2d(1, 2) == Vector2d(1, 2));
    EXPECT_FALSE(Vector2d(1, 2) != Vector2d(1, 2));
    EXPECT_TRUE(Vector2d(1, 2) != Vector2d(1, 2.0000001));
    EXPECT_TRUE(Vector2d(1, 2) != Vector2d(2, 1));
}

TEST(Vector2dTest, OrderingComparesLengthsOnly)
{
    const Vector2d shortV(1, 0), longV(0, 2), sameLength(0, 1);
    EXPECT_TRUE(shortV < longV);
    EXPECT_TRUE(shortV <= longV);
    EXPECT_TRUE(longV > shortV);
    EXPECT_TRUE(longV >= shortV);
    EXPECT_FALSE(longV < shortV);

    // Different vectors of equal length: neither < nor >, but <= and >= hold.
    EXPECT_FALSE(shortV < sameLength);
    EXPECT_FALSE(sameLength < shortV);
    EXPECT_FALSE(shortV > sameLength);
    EXPECT_TRUE(shortV <= sameLength);
    EXPECT_TRUE(shortV >= sameLength);
    EXPECT_NE(shortV, sameLength);
}

TEST(Vector3dTest, DefaultIsZeroAndIndexingReachesComponents)
{
    Vector3d v;
    EXPECT_EQ(v, Vector3d(0, 0, 0));
    v[0] = 1;
    v[1] = 2;
    v[2] = 3;
    EXPECT_EQ(v, Vector3d(1, 2, 3));
    const Vector3d& c = v;
    EXPECT_EQ(c[2], 3);
    EXPECT_EQ(c[5], 3);
}

TEST(Vector3dTest, Lengths)
{
    const struct {
        Vector3d v;
        double length, square, approximate;
    } rows[] = {
        {{2, 3, 6}, 7.0, 49.0, 6 + 0.366 * 5},
        {{-6, 2, 3}, 7.0, 49.0, 6 + 0.366 * 5},
        {{2, -6, -3}, 7.0, 49.0, 6 + 0.366 * 5},
        {{0, 0, 0}, 0.0, 0.0, 0.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.v.x << "," << r.v.y << "," << r.v.z);
        EXPECT_DOUBLE_EQ(r.v.length(), r.length);
        EXPECT_DOUBLE_EQ(r.v.squareLength(), r.square);
        EXPECT_DOUBLE_EQ(r.v.approximateLength(), r.approximate);
    }
}

TEST(Vector3dTest, NormalizeAndZeroVector)
{
    const Vector3d n = Vector3d(2, 3, 6).normalized();
    EXPECT_DOUBLE_EQ(n.x, 2.0 / 7);
    EXPECT_DOUBLE_EQ(n.y, 3.0 / 7);
    EXPECT_DOUBLE_EQ(n.z, 6.0 / 7);
    Vector3d zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector3d(0, 0, 0));
}

TEST(Vector3dTest, Arithmetic)
{
    const Vector3d a(2, 3, 4), b(4, 5, 2);
    EXPECT_EQ(a + b, Vector3d(6, 8, 6));
    EXPECT_EQ(a - b, Vector3d(-2, -2, 2));
    EXPECT_EQ(a * b, Vector3d(8, 15, 8));
    EXPECT_EQ(Vector3d(8, 15, 8) / b, a);
    EXPECT_EQ(a + 1.0, Vector3d(3, 4, 5));
    EXPECT_EQ(a - 1.0, Vector3d(1, 2, 3));
    EXPECT_EQ(0.5 * a, Vector3d(1, 1.5, 2));
    EXPECT_EQ(a / 2.0, Vector3d(1, 1.5, 2));
    EXPECT_DOUBLE_EQ(a.dot(b), 31.0);
    Vector3d c = a;
    c += b;
    c -= a;
    c *= a;
    c /= b;
    c += 1.0;
    c *= 2.0;
    c -= 2.0;
    c /= 2.0;
    EXPECT_EQ(c, a);
}

TEST(Vector3dTest, OrderingComparesLengthsOnly)
{
    EXPECT_TRUE(Vector3d(0, 0, 1) < Vector3d(0, 2, 0));
    EXPECT_FALSE(Vector3d(0, 0, 1) < Vector3d(1, 0, 0));
    EXPECT_FALSE(Vector3d(1, 0, 0) < Vector3d(0, 0, 1));
    EXPECT_TRUE(Vector3d(1, 0, 0) <= Vector3d(0, 0, 1));
    EXPECT_TRUE(Vector3d(0, 3, 0) > Vector3d(1, 1, 1));
    EXPECT_TRUE(Vector3d(0, 3, 0) >= Vector3d(1, 1, 1));
    EXPECT_TRUE(Vector3d(1, 2, 3) != Vector3d(3, 2, 1));
}
