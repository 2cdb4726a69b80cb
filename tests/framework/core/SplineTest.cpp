#include "core/Spline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using Point = Spline::SplinePoint;

Spline makeSpline(const std::vector<Point>& points, unsigned level)
{
    Spline s;
    s.initializeAndSetParameters(static_cast<unsigned>(points.size()), level);
    *s.controlPoints() = points;
    s.buildOrRebuildSpline();
    return s;
}

// Counter-clockwise corners of the square of half side 1 around the origin.
Spline unitSquare(unsigned level)
{
    return makeSpline({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, level);
}

bool allFinite(const std::vector<Point>& points)
{
    return std::all_of(points.begin(), points.end(),
                       [](const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

} // namespace

TEST(SplineTest, SquareIsRoundedThroughTheCornersWithInwardUnitNormals)
{
    const Spline s = unitSquare(2);
    ASSERT_EQ(s.splinePoints()->size(), 16u);
    // Control points are kept; every inserted point lies outside the square's edges.
    const auto& pts = *s.splinePoints();
    for (unsigned i = 0; i < 16; ++i) {
        if (i % 4 == 0)
            EXPECT_TRUE(pts[i].x == (*s.controlPoints())[i / 4].x && pts[i].y == (*s.controlPoints())[i / 4].y);
        else
            EXPECT_GT(std::max(std::fabs(pts[i].x), std::fabs(pts[i].y)), 1.0) << "point " << i;
    }
    // At level three the normals are unit vectors facing the inside of the counter-clockwise curve.
    const Spline fine = unitSquare(3);
    const auto& finePts = *fine.splinePoints();
    const auto& normals = *fine.splinePointNormalVectors();
    for (unsigned i = 0; i < fine.numSplinePoints(); ++i) {
        EXPECT_NEAR(std::hypot(normals[i].x, normals[i].y), 1.0, 1e-12) << "point " << i;
        EXPECT_LT(normals[i].x * finePts[i].x + normals[i].y * finePts[i].y, 0.0) << "point " << i;
    }
}

TEST(SplineTest, DegenerateOrShortInputGivesNoPointsOrZeroNormalsButNeverNaN)
{
    const struct { const char* name; std::vector<Point> points; unsigned long expectedPoints; } rows[] = {
        {"no control points", {}, 0},
        {"one control point", {{1, 1}}, 0},
        {"two control points", {{0, 0}, {2, 0}}, 8},
        {"coincident neighbours", {{0, 0}, {0, 0}, {1, 0}, {1, 1}}, 16},
        {"all points equal", {{5, 5}, {5, 5}, {5, 5}}, 12},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Spline s = makeSpline(r.points, 2);
        EXPECT_EQ(s.splinePointNormalVectors()->size(), r.expectedPoints);
        EXPECT_TRUE(allFinite(*s.splinePoints()) && allFinite(*s.splinePointNormalVectors()) &&
                    allFinite(*s.controlPointNormalVectors()));
    }

    // Fewer control points than announced: built from those given.
    Spline s;
    s.initializeAndSetParameters(5, 1);
    *s.controlPoints() = {{0, 0}, {4, 0}, {0, 3}};
    s.buildOrRebuildSpline();
    EXPECT_EQ(s.numSplinePoints(), 6u);
    EXPECT_EQ(s.controlPointNormalVectors()->size(), 3u);
}

TEST(SplineTest, CopiesAreIndependentAndReinitializingEmpties)
{
    Spline original = unitSquare(1);
    const Spline copy = original.copySpline();
    (*original.splinePoints())[0].x = 42;
    original.initializeAndSetParameters(3, 0);
    EXPECT_TRUE(original.controlPoints()->empty() && original.splinePoints()->empty());
    EXPECT_EQ(copy.numSplinePoints(), 8u);
    EXPECT_EQ((*copy.splinePoints())[0].x, -1.0);
}
