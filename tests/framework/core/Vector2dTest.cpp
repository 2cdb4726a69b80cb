#include "core/Vector2d.h"
#include "core/Vector3d.h"

#include <gtest/gtest.h>

TEST(Vector2dTest, LengthsOfAllSignCombinations)
{
    const struct {
        Vector2d v;
        double length, square, approximate;
    } rows[] = {
        {{3, 4}, 5.0, 25.0, 5.098}, {{-3, 4}, 5.0, 25.0, 5.098}, {{4, -3}, 5.0, 25.0, 5.098},
        {{0, 0}, 0.0, 0.0, 0.0},    {{-2, 0}, 2.0, 4.0, 2.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.v.x << "," << r.v.y);
        EXPECT_DOUBLE_EQ(r.v.length(), r.length);
        EXPECT_DOUBLE_EQ(r.v.squareLength(), r.square);
        EXPECT_DOUBLE_EQ(r.v.approximateLength(), r.approximate);
    }
}

TEST(Vector2dTest, IndexingStaysInsideTheVector)
{
    Vector2d v;
    v[0] = 3;
    v[1] = 4;
    EXPECT_EQ(v, Vector2d(3, 4));
    EXPECT_EQ(static_cast<const Vector2d&>(v)[7], 4);
    EXPECT_EQ(v[-1], 4);
}

TEST(Vector2dTest, NormalizeAndTheZeroVector)
{
    Vector2d v(3, 4);
    const Vector2d n = v.normalized();
    EXPECT_EQ(v, Vector2d(3, 4));
    EXPECT_DOUBLE_EQ(n.x, 0.6);
    EXPECT_DOUBLE_EQ(n.y, 0.8);
    v.normalize();
    EXPECT_EQ(v, n);
    // No NaN from a zero vector.
    Vector2d zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector2d(0, 0));
    EXPECT_EQ(Vector2d().normalized(), Vector2d(0, 0));
}

TEST(Vector2dTest, Arithmetic)
{
    const Vector2d a(2, 3), b(4, 5);
    EXPECT_EQ(a.perp(), Vector2d(-3, 2));
    EXPECT_DOUBLE_EQ(a.dot(b), 23.0);
    EXPECT_EQ(a + b, Vector2d(6, 8));
    EXPECT_EQ(a - b, Vector2d(-2, -2));
    EXPECT_EQ(a * b, Vector2d(8, 15));
    EXPECT_EQ(Vector2d(8, 15) / b, a);
    EXPECT_EQ(a + 1.0, Vector2d(3, 4));
    EXPECT_EQ(a - 1.0, Vector2d(1, 2));
    EXPECT_EQ(2.0 * a, Vector2d(4, 6));
    EXPECT_EQ(a / 2.0, Vector2d(1, 1.5));
    Vector2d c = a;
    c += b;
    c *= b;
    c -= 4.0;
    c /= 2.0;
    EXPECT_EQ(c, Vector2d(10, 18));
    c += 1.0;
    c *= 2.0;
    c -= a;
    c /= b;
    EXPECT_EQ(c, Vector2d(5, 7));
    EXPECT_TRUE(a != Vector2d(2, 3.0000001));
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

TEST(Vector3dTest, LengthsUseTheLargestComponent)
{
    for (const Vector3d& v : {Vector3d(2, 3, 6), Vector3d(-6, 2, 3), Vector3d(2, -6, -3)}) {
        EXPECT_DOUBLE_EQ(v.length(), 7.0);
        EXPECT_DOUBLE_EQ(v.squareLength(), 49.0);
        EXPECT_DOUBLE_EQ(v.approximateLength(), 6 + 0.366 * 5);
    }
    const Vector3d n = Vector3d(2, 3, 6).normalized();
    EXPECT_DOUBLE_EQ(n.z, 6.0 / 7);
    Vector3d zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector3d(0, 0, 0));
    EXPECT_EQ(Vector3d(1, 2, 3)[9], 3);
}

TEST(Vector3dTest, ArithmeticAndOrdering)
{
    const Vector3d a(2, 3, 4), b(4, 5, 2);
    EXPECT_EQ(a * b, Vector3d(8, 15, 8));
    EXPECT_EQ(a - b + 1.0, Vector3d(-1, -1, 3));
    EXPECT_EQ(0.5 * a / 2.0, Vector3d(0.5, 0.75, 1));
    EXPECT_DOUBLE_EQ(a.dot(b), 31.0);
    Vector3d c = a;
    c *= b;
    c /= a;
    EXPECT_EQ(c, b);
    EXPECT_TRUE(Vector3d(0, 0, 1) < Vector3d(0, 2, 0));
    EXPECT_FALSE(Vector3d(0, 0, 1) < Vector3d(1, 0, 0));
    EXPECT_FALSE(Vector3d(1, 0, 0) < Vector3d(0, 0, 1));
    EXPECT_TRUE(Vector3d(1, 0, 0) >= Vector3d(0, 0, 1));
}
