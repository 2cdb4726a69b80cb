#include "core/epsLens.h"
#include "core/epsLensSurround.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A lens at `focus` with the given shape and one full surround.
struct LensFixture {
    epsLens lens;
    epsLensSurround surround;

    LensFixture(int shape, int dropoff, float width = 100.0f, float growth = 1.0f, epsPoint focus = {})
    {
        lens.setFocusShape(shape);
        surround.setWidth(width);
        surround.setMagnificationGrowth(growth);
        surround.setDropoffType(dropoff);
        lens.setSurround(&surround);
        lens.setFocus(focus);
    }

    float at(float x, float y) const { return lens.getMagnificationAt(epsPoint{x, y}); }
};

// The magnification of the default viewer (height 600) for a lift fraction D with M = 2.
float magnificationForDropoff(float d)
{
    return 600.0f / (600.0f - d * 300.0f);
}

} // namespace

TEST(epsLensTest, EveryDropoffFallsMonotonicallyToItsReach)
{
    for (int code = 0; code <= 8; ++code) {
        SCOPED_TRACE(code);
        LensFixture f(5, code);
        EXPECT_TRUE(code != 0 || f.at(21.0f, 0.0f) == 1.0f) << "Manhattan steps at the focus edge";
        float previous = f.at(20.0f, 0.0f);
        EXPECT_FLOAT_EQ(previous, 2.0f);
        for (float x = 21.0f; x < 400.0f; x += 3.0f) {
            const float m = f.at(x, 0.0f);
            EXPECT_LE(m, previous + 1e-6f) << x;
            EXPECT_GE(m, 1.0f);
            previous = m;
        }
        EXPECT_EQ(previous, 1.0f);
    }

    // The Gaussian reaches two widths (W = 120) beyond the focus; at t = 1 it is at its tail 0.1.
    LensFixture gaussian(5, 2);
    EXPECT_FLOAT_EQ(gaussian.at(140.0f, 0.0f), magnificationForDropoff(0.1f));
    EXPECT_GT(gaussian.at(259.0f, 0.0f), 1.0f);
    EXPECT_EQ(gaussian.at(260.0f, 0.0f), 1.0f);

    // The true-linear drop-off is linear in the magnification itself.
    LensFixture trueLinear(5, 8, 100.0f, 0.0f);
    trueLinear.lens.setMagnification(3.0f);
    EXPECT_NEAR(trueLinear.at(45.0f, 0.0f), 2.5f, 1e-5f); // t = 0.25
    EXPECT_EQ(trueLinear.at(120.0f, 0.0f), 1.0f);
}

TEST(epsLensTest, ChangesAfterAnEvaluationTakeEffect)
{
    LensFixture f(5, 6);
    f.surround.setPowerExponent(2.0f); // parabolic: (1 - 0.5)^2 at t = 0.5
    EXPECT_FLOAT_EQ(f.at(80.0f, 0.0f), magnificationForDropoff(0.25f));
    f.surround.setDropoffType(1);
    f.surround.setWidth(180.0f);
    f.surround.setMagnificationGrowth(0.0f); // W = 180
    EXPECT_FLOAT_EQ(f.at(80.0f, 0.0f), magnificationForDropoff(1.0f - 60.0f / 180.0f));
    f.lens.setFocusRadius(50.0f);
    EXPECT_EQ(f.at(50.0f, 0.0f), 2.0f);
    f.lens.setFocus(epsPoint{1000.0f, 0.0f});
    EXPECT_EQ(f.at(50.0f, 0.0f), 1.0f);
}

TEST(epsLensTest, FocusShapesAndFactorsMeasureFromTheirBoundary)
{
    // Focus radius 20 (or the 50 x 30 rectangle), linear surround of width 100 (W = 120 for the
    // growing rows): the lift is 1 - (distance from the boundary) / W.
    const struct { const char* name; int shape, metric; float growth, x, y, dropoff; epsPoint focus = {};
                   void (epsLens::*setter)(float) = nullptr; float factor = 0; } rows[] = {
        {"point L1", 0, 0, 0, 30, 40, 0.3f}, {"point Linf", 0, 3, 0, 30, 40, 0.6f}, {"circle", 5, 1, 0, 0, 70, 0.5f},
        {"horizontal segment off a corner", 1, 1, 0, 50, 40, 0.5f}, {"vertical segment", 2, 1, 0, 30, -15, 0.7f},
        {"square off a corner", 3, 1, 0, 50, 60, 0.5f}, {"rectangle top", 4, 1, 0, 0, 65, 0.5f},
        {"growing width around an offset focus", 5, 1, 1, 380, 200, 0.5f, {300, 200}},
        {"x scale shrinks both x sides", 5, 1, 1, 40, 0, 0.5f, {}, &epsLens::setXScale, 2.0f},
        {"positive x leaves negative x alone", 5, 1, 1, -80, 0, 0.5f, {}, &epsLens::setPositiveXFactor, 2.0f},
        {"y scale below 1 stretches past the box", 5, 1, 1, 0, 200, 1.0f / 3.0f, {}, &epsLens::setYScale, 0.5f},
        {"zero factor: an endless strip", 5, 1, 1, 5000, 10, 1.0f, {}, &epsLens::setPositiveXFactor, 0.0f}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        LensFixture f(r.shape, 1, 100.0f, r.growth, r.focus);
        f.lens.setDistanceMetric(r.metric);
        if (r.setter) (f.lens.*r.setter)(r.factor);
        EXPECT_NEAR(f.at(r.x, r.y), magnificationForDropoff(r.dropoff), 1e-5f);
    }
    // A second angle of 90 degrees stands the 50 x 30 rectangle upright.
    LensFixture upright(4, 1, 100.0f, 0.0f);
    upright.lens.setSecondAngle(90.0f);
    EXPECT_EQ(upright.at(0.0f, 24.0f), 2.0f);
    EXPECT_NEAR(upright.at(65.0f, 0.0f), magnificationForDropoff(0.5f), 1e-5f);
}

TEST(epsLensTest, PolygonFocusAndDegeneratePolygons)
{
    const epsPoint square[] = {{-20, -20}, {20, -20}, {20, 20}, {-20, 20}};
    for (int metric : {0, 1, 3}) {
        SCOPED_TRACE(metric);
        LensFixture polygon(0, 1, 100.0f, 0.0f);
        LensFixture box(3, 1, 100.0f, 0.0f);
        ASSERT_TRUE(polygon.lens.setFocusPolygon(square, 4));
        EXPECT_TRUE(polygon.lens.isFocusPolygonConvex());
        polygon.lens.setDistanceMetric(metric);
        box.lens.setDistanceMetric(metric);
        for (epsPoint p : {epsPoint{19, 19}, epsPoint{50, 60}, epsPoint{-45, 30}, epsPoint{200, 0}})
            EXPECT_NEAR(polygon.at(p.x, p.y), box.at(p.x, p.y), 1e-4f) << p.x << "," << p.y;
    }

    // An L shape: the notch at the upper right lies outside.
    const epsPoint ell[] = {{0, 0}, {40, 0}, {40, 20}, {20, 20}, {20, 40}, {0, 40}};
    LensFixture f(0, 1, 100.0f, 0.0f);
    ASSERT_TRUE(f.lens.setFocusPolygon(ell, 6));
    EXPECT_FALSE(f.lens.isFocusPolygonConvex());
    EXPECT_EQ(f.at(10.0f, 30.0f), 2.0f);
    EXPECT_NEAR(f.at(30.0f, 30.0f), magnificationForDropoff(0.9f), 1e-5f);
    EXPECT_NEAR(f.at(50.0f, 60.0f), magnificationForDropoff(1.0f - std::sqrt(1300.0f) / 100.0f), 1e-5f);

    // Degenerate polygons are refused and leave the last good one.
    const epsPoint repeated[] = {{1, 1}, {1, 1}, {5, 5}, {0, 4}};
    const epsPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    LensFixture d(0, 1, 100.0f, 0.0f);
    EXPECT_FALSE(d.lens.setFocusPolygon(repeated, 4));
    EXPECT_FALSE(d.lens.setFocusPolygon(triangle, 2));
    EXPECT_FALSE(d.lens.setFocusPolygon(nullptr, 3));
    EXPECT_EQ(d.lens.getFocusShape(), 0);
    // The polygon code without a polygon behaves as the point focus.
    d.lens.setFocusShape(6);
    EXPECT_NEAR(d.at(50.0f, 0.0f), magnificationForDropoff(0.5f), 1e-5f);
    EXPECT_TRUE(d.lens.setFocusPolygon(triangle, 3));
    EXPECT_FALSE(d.lens.setFocusPolygon(repeated, 4));
    EXPECT_EQ(d.lens.getFocusPolygonSize(), 3);
}

TEST(epsLensTest, SurroundSectors)
{
    epsLens lens;
    lens.setFocusShape(5);
    epsLensSurround upper, lower;
    for (epsLensSurround* s : {&upper, &lower}) {
        s->setDropoffType(1);
        s->setMagnificationGrowth(0.0f);
        s->setAngularSpan(180.0f);
        ASSERT_TRUE(lens.addSurround(s));
    }
    lower.setWidth(200.0f);
    lower.setStartAngle(-180.0f);

    // Each sector includes its start direction and excludes its end.
    EXPECT_FLOAT_EQ(lens.getMagnificationAt(epsPoint{70, 0}), magnificationForDropoff(0.5f));
    EXPECT_FLOAT_EQ(lens.getMagnificationAt(epsPoint{-70, 0}), magnificationForDropoff(0.75f));

    // A single partial surround leaves the other directions unaffected.
    lens.removeSurround(&lower);
    EXPECT_EQ(lens.getMagnificationAt(epsPoint{0, -10}), 1.0f);
    EXPECT_EQ(lens.getMagnificationAt(epsPoint{0, 10}), 2.0f);
}

TEST(epsLensTest, SurfacePointDisplacementAndRotation)
{
    LensFixture f(5, 1);
    epsPoint3D s;
    EXPECT_FLOAT_EQ(f.lens.getMagnificationAndSurfacePoint(epsPoint{80, 0}, &s), 600.0f / 450.0f);

    // Seen from above the focus, points move outwards by the magnification.
    const struct { epsPoint from, to; } rows[] = {{{10, 5}, {20, 10}}, {{80, 0}, {80 * 4.0f / 3.0f, 0}}, {{500, 7}, {500, 7}}};
    for (auto r : rows) {
        f.lens.displacePoint(r.from);
        EXPECT_FLOAT_EQ(r.from.x, r.to.x);
        EXPECT_FLOAT_EQ(r.from.y, r.to.y);
    }

    // From a viewer beside the focus the sheet is lifted towards it: d = (50, 0, 300), and the
    // focus centre still appears in place.
    const epsPoint3D viewer{100.0f, 0.0f, 600.0f};
    f.lens.setViewPoint(&viewer);
    f.lens.getSurfacePoint(epsPoint{0, 0}, s);
    EXPECT_FLOAT_EQ(s.x, 50.0f);
    epsPoint p{0, 0};
    EXPECT_EQ(f.lens.getMagnificationAt(p, &p), 2.0f);
    EXPECT_NEAR(p.x, 0.0f, 1e-4f);

    // A rotation twists the focus fully and the surround by the drop-off.
    LensFixture turned(5, 1);
    turned.lens.setRotation(90.0f);
    p = epsPoint{10, 0};
    turned.lens.displacePoint(p);
    EXPECT_NEAR(p.x, 0.0f, 1e-4f);
    EXPECT_NEAR(p.y, 20.0f, 1e-4f);
    // D = 0.5 at distance 80: turned by 45 degrees, magnified by 4 / 3.
    p = epsPoint{80, 0};
    turned.lens.displacePoint(p);
    const float r = 80.0f * 4.0f / 3.0f / std::sqrt(2.0f);
    EXPECT_NEAR(p.x, r, 1e-3f);
    EXPECT_NEAR(p.y, r, 1e-3f);
}

TEST(epsLensTest, DegenerateSurroundsGiveNoNaN)
{
    // A point focus with a surround of no width: only the centre is lifted.
    LensFixture zeroWidth(0, 2, 0.0f);
    EXPECT_EQ(zeroWidth.at(0.0f, 0.0f), 2.0f);
    EXPECT_EQ(zeroWidth.at(0.5f, 0.0f), 1.0f);
    zeroWidth.lens.getDepthRange(nullptr, nullptr); // null outputs are skipped

    LensFixture hyperbolic(0, 7);
    hyperbolic.surround.setHyperbolicCurvature(0.0f);
    EXPECT_EQ(hyperbolic.at(0.0f, 0.0f), 2.0f);
    EXPECT_EQ(hyperbolic.at(3.0f, 0.0f), 1.0f);

    // A growth that makes the width negative.
    LensFixture negative(5, 1, 10.0f, -5.0f);
    EXPECT_EQ(negative.at(0.0f, 0.0f), 2.0f);
    EXPECT_EQ(negative.at(25.0f, 0.0f), 1.0f);

    // The rippled linear surround never sinks below the base plane.
    LensFixture ripple(5, 1);
    ripple.surround.setLinearRipple(0.9f);
    for (float x = 0.0f; x < 400.0f; x += 5.0f) {
        const float m = ripple.at(x, x / 2.0f);
        EXPECT_TRUE(m >= 1.0f && m <= 2.0f) << x;
    }
}
