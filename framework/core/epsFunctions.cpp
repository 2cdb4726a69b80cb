#include "epsFunctions.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kOneThird = 1.0f / 3.0f;
constexpr float kRippleExponent = 0.8333333f;

float lThree(float x, float y)
{
    const float ax = std::fabs(x);
    const float ay = std::fabs(y);
    return std::pow(ax * ax * ax + ay * ay * ay, kOneThird);
}

// The ripple factor of the Gaussians: max(0, 1 - a * sin((t * pi / length)^(5/6))).
float gaussianRippleFactor(float amplitude, float t, float length)
{
    return std::max(0.0f, 1.0f - amplitude * std::sin(std::pow(t * kPi / length, kRippleExponent)));
}

} // namespace

float epsDistanceMetric::squaredDistance(float x, float y) const
{
    const float d = distance(x, y);
    return d * d;
}

void epsDistanceMetric::setFactors(float positiveX, float nonPositiveX, float positiveY, float nonPositiveY)
{
    positiveX_ = positiveX;
    nonPositiveX_ = nonPositiveX;
    positiveY_ = positiveY;
    nonPositiveY_ = nonPositiveY;
}

float epsSimpleLOne::distance(float x, float y) const { return std::fabs(x) + std::fabs(y); }
float epsSimpleLTwo::distance(float x, float y) const { return std::sqrt(x * x + y * y); }
float epsSimpleLTwo::squaredDistance(float x, float y) const { return x * x + y * y; }
float epsSimpleLThree::distance(float x, float y) const { return lThree(x, y); }
float epsSimpleLInfinity::distance(float x, float y) const { return std::max(std::fabs(x), std::fabs(y)); }

float epsDistanceLOne::distance(float x, float y) const
{
    return std::fabs(scaledX(x)) + std::fabs(scaledY(y));
}

float epsDistanceLTwo::distance(float x, float y) const
{
    return std::sqrt(squaredDistance(x, y));
}

float epsDistanceLTwo::squaredDistance(float x, float y) const
{
    const float sx = scaledX(x);
    const float sy = scaledY(y);
    return sx * sx + sy * sy;
}

float epsDistanceLThree::distance(float x, float y) const { return lThree(scaledX(x), scaledY(y)); }

float epsDistanceLInfinity::distance(float x, float y) const
{
    return std::max(std::fabs(scaledX(x)), std::fabs(scaledY(y)));
}

float epsDropoff::valueSquared(float tSquared) const
{
    return value(std::sqrt(std::max(0.0f, tSquared)));
}

float epsManhattan::value(float) const
{
    return 0.0f;
}

float epsLinear::value(float t) const
{
    if (ripple_ != 0.0f && t <= 1.5f) {
        // Beyond t = 1 the product turns negative; the sheet never sinks below its base plane.
        const float dent = std::max(0.0f, 1.0f - ripple_ * std::sin(t * 2.0943952f));
        return std::max(0.0f, dent * (1.0f - t));
    }
    return t < 1.0f ? 1.0f - t : 0.0f;
}

epsGaussian::epsGaussian()
{
    setTail(0.1f);
}

void epsGaussian::setTail(float tail)
{
    logTail_ = std::log(tail);
    rippleLength_ = std::sqrt(std::log(0.01f) / logTail_);
}

float epsGaussian::ripplePart(float t) const
{
    // The ripple reshapes the curve inside the cut-off only, so the influence extent stays 2.
    if (ripple_ != 0.0f && t <= rippleLength_)
        return gaussianRippleFactor(ripple_, t, rippleLength_);
    return 1.0f;
}

float epsGaussian::value(float t) const
{
    if (!(t < 2.0f))
        return 0.0f;
    return ripplePart(t) * std::exp(t * t * logTail_);
}

float epsGaussian::valueSquared(float tSquared) const
{
    if (!(tSquared < 4.0f))
        return 0.0f;
    const float plain = std::exp(tSquared * logTail_);
    if (ripple_ == 0.0f)
        return plain;
    return ripplePart(std::sqrt(std::max(0.0f, tSquared))) * plain;
}

float epsHemispheric::value(float t) const
{
    return t < 1.0f ? std::sqrt(1.0f - t * t) : 0.0f;
}

float epsCosine::value(float t) const
{
    return t < 1.0f ? std::cos(t * kPi / 2.0f) : 0.0f;
}

epsDropGaussian::epsDropGaussian()
{
    setTail(0.1f);
}

void epsDropGaussian::setTail(float tail)
{
    tail_ = tail;
    cutOff_ = std::sqrt(std::log(tail) / std::log(0.1f));
}

float epsDropGaussian::value(float t) const
{
    if (!(t < cutOff_))
        return 0.0f;
    const float v = std::max(0.0f, (std::pow(0.1f, t * t) - tail_) / (1.0f - tail_));
    if (ripple_ != 0.0f)
        return gaussianRippleFactor(ripple_, t, cutOff_) * v;
    return v;
}

float epsDropGaussian::valueSquared(float tSquared) const
{
    if (!(tSquared < cutOff_ * cutOff_))
        return 0.0f;
    const float v = std::max(0.0f, (std::pow(0.1f, tSquared) - tail_) / (1.0f - tail_));
    if (ripple_ != 0.0f)
        return gaussianRippleFactor(ripple_, std::sqrt(std::max(0.0f, tSquared)), cutOff_) * v;
    return v;
}

float epsPower::value(float t) const
{
    return t < 1.0f ? std::pow(1.0f - t, exponent_) : 0.0f;
}

float epsParabolic::value(float t) const
{
    return t < 1.0f ? (1.0f - t) * (1.0f - t) : 0.0f;
}

epsHyperbolic::epsHyperbolic()
{
    setCurvature(1.0f);
}

void epsHyperbolic::setCurvature(float h)
{
    h_ = h;
    b_ = (1.0f - std::sqrt(1.0f + 4.0f * h)) / 2.0f;
    c_ = h / (b_ - 1.0f);
}

float epsHyperbolic::value(float t) const
{
    if (!(t < 1.0f))
        return 0.0f;
    // With h = 0 the formula is 0 / 0 at t = 0; its limit is a step.
    if (h_ == 0.0f)
        return t <= 0.0f ? 1.0f : 0.0f;
    return std::clamp(h_ / (t - b_) + c_, 0.0f, 1.0f);
}

float epsTrueLinear::value(float t) const
{
    if (!(t < 1.0f))
        return 0.0f;
    const float m = magnification_ * (1.0f - t);
    return m / (t + m);
}
