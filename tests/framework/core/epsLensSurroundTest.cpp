#include "core/epsFunctions.h"
#include "core/epsLens.h"
#include "core/epsLensSurround.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

namespace {

// A setter that ignores `ignored` and takes the boundary value `accepted`.
template <class T>
struct SetterRow { void (T::*set)(float); float (T::*get)() const; float ignored, accepted; };

template <class T, std::size_t N>
void expectInvalidIgnored(const SetterRow<T> (&rows)[N])
{
    for (const auto& r : rows) {
        T object;
        const float before = (object.*r.get)();
        (object.*r.set)(r.ignored);
        EXPECT_EQ((object.*r.get)(), before) << r.ignored;
        (object.*r.set)(r.accepted);
        EXPECT_EQ((object.*r.get)(), r.accepted);
    }
}

} // namespace

TEST(epsDistanceMetricTest, NormsOfSimpleAndDistanceObjects)
{
    const epsSimpleLOne l1;
    const epsSimpleLTwo l2;
    const epsSimpleLInfinity linf;
    epsDistanceLOne d1;
    epsDistanceLTwo d2;
    epsDistanceLInfinity dinf;
    // Factors for (3, -4): x > 0 uses 2, y <= 0 uses -3, giving (6, 12).
    const struct { epsDistanceMetric* weighted; const epsDistanceMetric* simple; float plain, scaled; } rows[] = {
        {&d1, &l1, 7.0f, 18.0f}, {&d2, &l2, 5.0f, std::sqrt(180.0f)}, {&dinf, &linf, 4.0f, 12.0f}};
    for (const auto& r : rows) {
        EXPECT_FLOAT_EQ(r.simple->distance(-4.0f, 3.0f), r.plain);
        EXPECT_FLOAT_EQ(r.weighted->distance(3.0f, -4.0f), r.plain);
        r.weighted->setFactors(2.0f, -1.0f, 1.0f, -3.0f);
        EXPECT_FLOAT_EQ(r.weighted->distance(3.0f, -4.0f), r.scaled);
    }
    EXPECT_FLOAT_EQ(l2.squaredDistance(3.0f, -4.0f), 25.0f);
    EXPECT_FLOAT_EQ(d2.squaredDistance(3.0f, -4.0f), 180.0f);
}

TEST(epsDropoffTest, RepresentativeValuesSquaredFormsCutOffsAndHyperbolicLimits)
{
    epsManhattan manhattan;
    epsLinear linear;
    epsGaussian gaussian;
    epsHemispheric hemispheric;
    epsCosine cosine;
    epsDropGaussian dropGaussian;
    epsPower power;
    epsParabolic parabolic;
    epsHyperbolic hyperbolic;
    epsTrueLinear trueLinear;
    const struct { const epsDropoff* f; float extent; float atHalf, at0_999, at1; } rows[] = {
        {&manhattan, 0.0f, 0.0f, 0.0f, 0.0f},
        {&linear, 1.0f, 0.5f, 0.001f, 0.0f},
        {&gaussian, 2.0f, std::pow(0.1f, 0.25f), std::pow(0.1f, 0.998001f), 0.1f},
        {&hemispheric, 1.0f, std::sqrt(0.75f), std::sqrt(1.0f - 0.998001f), 0.0f},
        {&hyperbolic, 1.0f, 0.27639320f, 0.00038218f, 0.0f},
        {&trueLinear, 1.0f, 2.0f / 3.0f, 0.002f / 1.001f, 0.0f},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.f->name());
        EXPECT_FLOAT_EQ(r.f->extent(), r.extent);
        EXPECT_NEAR(r.f->value(0.5f), r.atHalf, 1e-6f);
        EXPECT_NEAR(r.f->value(0.999f), r.at0_999, 1e-5f);
        EXPECT_NEAR(r.f->value(1.0f), r.at1, 1e-6f);
        EXPECT_EQ(r.f->value(3.0f), 0.0f);
    }
    // The squared forms agree with the plain ones everywhere, also past the extent.
    const epsDropoff* all[] = {&manhattan, &linear, &gaussian, &hemispheric, &cosine,
                               &dropGaussian, &power, &parabolic, &hyperbolic, &trueLinear};
    for (const epsDropoff* f : all)
        for (float t : {0.0f, 0.25f, 0.5f, 0.9f, 1.0f, 1.5f, 1.99f, 2.5f})
            EXPECT_NEAR(f->valueSquared(t * t), f->value(t), 1e-5f) << f->name() << " t = " << t;

    // The Gaussian falls to tail^4 just before its cut-off 2, then to 0.
    EXPECT_NEAR(gaussian.value(1.9999f), 1e-4f, 1e-7f);
    EXPECT_EQ(gaussian.value(2.0f), 0.0f);
    EXPECT_EQ(gaussian.valueSquared(4.0f), 0.0f);
    // The drop-Gaussian's cut-off follows its tail.
    dropGaussian.setTail(0.01f);
    EXPECT_FLOAT_EQ(dropGaussian.extent(), std::sqrt(2.0f));
    EXPECT_EQ(dropGaussian.value(1.4143f), 0.0f);

    // The hyperbolic drop-off meets its ends for any curvature; curvature 0 gives a step, not NaN.
    for (float curvature : {0.01f, 100.0f}) {
        hyperbolic.setCurvature(curvature);
        EXPECT_NEAR(hyperbolic.value(0.0f), 1.0f, 1e-5f) << curvature;
        EXPECT_NEAR(hyperbolic.value(0.99999f), 0.0f, 1e-3f) << curvature;
    }
    hyperbolic.setCurvature(0.0f);
    EXPECT_EQ(hyperbolic.value(0.0f), 1.0f);
    EXPECT_EQ(hyperbolic.value(0.5f), 0.0f);
    EXPECT_EQ(hyperbolic.valueSquared(0.0f), 1.0f);
}

TEST(epsDropoffTest, Ripples)
{
    epsLinear linear;
    linear.setRipple(0.5f);
    EXPECT_LT(linear.value(0.5f), 0.5f);
    // Beyond the surround the rippled line would turn negative: it stays at 0.
    EXPECT_EQ(linear.value(1.2f), 0.0f);
    EXPECT_EQ(linear.valueSquared(1.44f), 0.0f);
    epsGaussian g;
    g.setRipple(0.5f);
    EXPECT_LT(g.value(0.5f), std::pow(0.1f, 0.25f));
    EXPECT_NEAR(g.value(1.6f), std::pow(0.1f, 2.56f), 1e-6f); // beyond L = sqrt 2: no ripple
}

TEST(epsLensSurroundTest, InvalidValuesAreIgnoredOrResolveToTheLens)
{
    using L = epsLens;
    using S = epsLensSurround;
    const SetterRow<L> lensRows[] = {
        {&L::setMagnification, &L::getMagnification, 0.0f, 0.5f}, {&L::setFocusRadius, &L::getFocusRadius, -4.0f, 30.0f},
        {&L::setFocusRectangleHeight, &L::getFocusRectangleHeight, -1.0f, 10.0f},
        {&L::setXScale, &L::getXScale, -1.0f, 2.0f}, {&L::setNegativeYFactor, &L::getNegativeYFactor, -0.5f, 0.5f}};
    const SetterRow<S> surroundRows[] = {
        {&S::setWidth, &S::getWidth, -5.0f, 0.0f}, {&S::setXScale, &S::getXScale, -0.5f, 0.0f},
        {&S::setAngularSpan, &S::getAngularSpan, -10.0f, 90.0f}, {&S::setGaussianTail, &S::getGaussianTail, 0.6f, 0.5f},
        {&S::setGaussianTail, &S::getGaussianTail, 0.0f, 0.5f}, {&S::setGaussianRipple, &S::getGaussianRipple, 1.5f, 1.0f},
        {&S::setLinearRipple, &S::getLinearRipple, -1.0f, 3.0f},
        {&S::setHyperbolicCurvature, &S::getHyperbolicCurvature, -1.0f, 0.0f},
        {&S::setPowerExponent, &S::getPowerExponent, 0.0f, 0.5f}};
    expectInvalidIgnored(lensRows);
    expectInvalidIgnored(surroundRows);

    epsLens lens;
    lens.setFocusShape(7);
    EXPECT_EQ(lens.getFocusShape(), 0);
    lens.setDistanceMetric(3);
    lens.setDistanceMetric(5);
    EXPECT_EQ(lens.getDistanceMetric(), 3);
    lens.setDistanceMetric(4); // stores L2
    EXPECT_EQ(lens.getDistanceMetric(), 1);
    const epsPoint3D below{0.0f, 0.0f, 0.0f}, custom{10.0f, 20.0f, 300.0f};
    lens.setViewPoint(&custom);
    lens.setViewPoint(&below);
    EXPECT_EQ(lens.getViewPoint().x, 10.0f);
    lens.setViewPoint(nullptr);
    EXPECT_TRUE(lens.getViewPoint().x == 0.0f && lens.getViewPoint().z == 600.0f);
    EXPECT_EQ(lens.getMagnificationAt(epsPoint{0.0f, 0.0f}), 1.0f) << "no surround, no effect";

    S s;
    s.setDropoffType(9);
    s.setDropoffType(-1);
    s.setDistanceMetric(5);
    EXPECT_EQ(s.getDropoffType(), 2);
    EXPECT_EQ(s.getDistanceMetric(), 1); // the lens default while detached

    // Attached, unset or invalid values resolve to the lens values.
    lens.setDistanceMetric(3);
    lens.setXScale(2.0f);
    lens.setNegativeYFactor(0.5f);
    ASSERT_TRUE(lens.setSurround(&s));
    EXPECT_TRUE(s.getDistanceMetric() == 3 && s.getXScale() == 2.0f && s.getNegativeYFactor() == 0.5f);
    s.setDistanceMetric(4);
    s.setXScale(-1.0f);
    EXPECT_EQ(s.getDistanceMetric(), 3);
    EXPECT_EQ(s.getXScale(), 2.0f);
}

TEST(epsLensSurroundTest, PowerExponentReselectsTheFunction)
{
    const struct { float exponent; const char* name; float atHalf; } rows[] = {
        {2.0f, "", 0.25f}, {1.0f, "Linear", 0.5f}, {1000.0f, "Manhattan", 0.0f},
        {500.0f, "Power", std::pow(0.5f, 500.0f)}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.exponent);
        epsLensSurround s;
        s.setDropoffType(6);
        s.setPowerExponent(r.exponent);
        EXPECT_EQ(s.getDropoffType(), 6);
        EXPECT_STREQ(s.getDropoff()->name(), r.name);
        EXPECT_FLOAT_EQ(s.getDropoff()->value(0.5f), r.atHalf);
    }
}

TEST(epsLensSurroundTest, BelongsToOneLensAndDetachesOnEitherSidesDestruction)
{
    epsLens a, b;
    epsLensSurround s1, s2;
    EXPECT_TRUE(a.addSurround(&s1));
    EXPECT_FALSE(b.addSurround(&s1));
    EXPECT_FALSE(b.setSurround(&s1));
    EXPECT_FALSE(a.addSurround(&s1));
    EXPECT_FALSE(a.setSurround(nullptr));
    EXPECT_TRUE(a.addSurround(&s2));
    EXPECT_EQ(a.getSurround(2), nullptr);

    EXPECT_TRUE(a.removeSurround(&s1));
    EXPECT_FALSE(a.removeSurround(&s1));
    EXPECT_TRUE(b.setSurround(&s1));
    {
        epsLensSurround temporary;
        EXPECT_TRUE(b.addSurround(&temporary));
    }
    EXPECT_EQ(b.getNumberOfSurrounds(), 1);

    epsLensSurround s3;
    EXPECT_TRUE(a.setSurround(&s3)); // replaces s2
    EXPECT_EQ(s2.getLens(), nullptr);
    {
        epsLens shortLived;
        shortLived.setSurround(&s2);
    }
    EXPECT_EQ(s2.getLens(), nullptr);
}
