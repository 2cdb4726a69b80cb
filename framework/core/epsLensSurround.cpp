#include "epsLensSurround.h"

#include "epsLens.h"

#include <cmath>

namespace {

bool validFactor(float v)
{
    return v == -1.0f || v >= 0.0f;
}

float normalizedDegrees(float degrees)
{
    float d = std::fmod(degrees, 360.0f);
    if (d < 0.0f)
        d += 360.0f;
    return d >= 360.0f ? 0.0f : d;
}

} // namespace

epsLensSurround::epsLensSurround()
{
    selectDropoff();
}

epsLensSurround::~epsLensSurround()
{
    if (lens_)
        lens_->removeSurround(this);
}

void epsLensSurround::geometryChanged()
{
    if (lens_)
        lens_->markStale();
}

void epsLensSurround::selectDropoff()
{
    switch (dropoffType_) {
    case epsEnums::MANHATTAN: dropoff_ = &manhattan_; break;
    case epsEnums::LINEAR: dropoff_ = &linear_; break;
    case epsEnums::GAUSSIAN: dropoff_ = &gaussian_; break;
    case epsEnums::HEMISPHERIC: dropoff_ = &hemispheric_; break;
    case epsEnums::COSINE: dropoff_ = &cosine_; break;
    case epsEnums::DROP_GAUSSIAN: dropoff_ = &dropGaussian_; break;
    case epsEnums::HYPERBOLIC: dropoff_ = &hyperbolic_; break;
    case epsEnums::TRUE_LINEAR: dropoff_ = &trueLinear_; break;
    case epsEnums::POWER:
        if (powerExponent_ == 2.0f)
            dropoff_ = &parabolic_;
        else if (powerExponent_ == 1.0f)
            dropoff_ = &linear_;
        else if (powerExponent_ > 500.0f)
            dropoff_ = &manhattan_;
        else
            dropoff_ = &power_;
        break;
    }
}

void epsLensSurround::setDropoffType(int code)
{
    if (code < epsEnums::MANHATTAN || code > epsEnums::TRUE_LINEAR)
        return;
    dropoffType_ = code;
    selectDropoff();
    geometryChanged();
}

int epsLensSurround::getDropoffType() const { return dropoffType_; }

void epsLensSurround::setWidth(float width)
{
    if (!(width >= 0.0f))
        return;
    width_ = width;
    geometryChanged();
}

float epsLensSurround::getWidth() const { return width_; }

void epsLensSurround::setMagnificationGrowth(float k)
{
    growth_ = k;
    geometryChanged();
}

float epsLensSurround::getMagnificationGrowth() const { return growth_; }

void epsLensSurround::setDistanceMetric(int code)
{
    if (code < epsEnums::L_ONE || code > epsEnums::LENS_METRIC)
        return;
    metric_ = code;
    geometryChanged();
}

int epsLensSurround::getDistanceMetric() const
{
    if (metric_ != epsEnums::LENS_METRIC)
        return metric_;
    return lens_ ? lens_->getDistanceMetric() : epsEnums::L_TWO;
}

#define EPS_SURROUND_FACTOR(Name, member)                                     \
    void epsLensSurround::set##Name(float v)                                  \
    {                                                                         \
        if (!validFactor(v))                                                  \
            return;                                                           \
        member = v;                                                           \
        geometryChanged();                                                    \
    }                                                                         \
    float epsLensSurround::get##Name() const                                  \
    {                                                                         \
        if (member != -1.0f)                                                  \
            return member;                                                    \
        return lens_ ? lens_->get##Name() : 1.0f;                             \
    }

EPS_SURROUND_FACTOR(XScale, xScale_)
EPS_SURROUND_FACTOR(YScale, yScale_)
EPS_SURROUND_FACTOR(PositiveXFactor, positiveX_)
EPS_SURROUND_FACTOR(NegativeXFactor, negativeX_)
EPS_SURROUND_FACTOR(PositiveYFactor, positiveY_)
EPS_SURROUND_FACTOR(NegativeYFactor, negativeY_)

#undef EPS_SURROUND_FACTOR

void epsLensSurround::setStartAngle(float degrees)
{
    startAngle_ = degrees;
    geometryChanged();
}

float epsLensSurround::getStartAngle() const { return startAngle_; }

void epsLensSurround::setAngularSpan(float degrees)
{
    if (!(degrees >= 0.0f))
        return;
    angularSpan_ = degrees;
    geometryChanged();
}

float epsLensSurround::getAngularSpan() const { return angularSpan_; }

void epsLensSurround::setGaussianRipple(float a)
{
    if (!(a >= 0.0f && a <= 1.0f))
        return;
    gaussianRipple_ = a;
    gaussian_.setRipple(a);
    dropGaussian_.setRipple(a);
    geometryChanged();
}

float epsLensSurround::getGaussianRipple() const { return gaussianRipple_; }

void epsLensSurround::setLinearRipple(float a)
{
    if (!(a >= 0.0f))
        return;
    linearRipple_ = a;
    linear_.setRipple(a);
    geometryChanged();
}

float epsLensSurround::getLinearRipple() const { return linearRipple_; }

void epsLensSurround::setHyperbolicCurvature(float h)
{
    if (!(h >= 0.0f))
        return;
    hyperbolicCurvature_ = h;
    hyperbolic_.setCurvature(h);
    geometryChanged();
}

float epsLensSurround::getHyperbolicCurvature() const { return hyperbolicCurvature_; }

void epsLensSurround::setPowerExponent(float p)
{
    if (!(p > 0.0f))
        return;
    powerExponent_ = p;
    power_.setExponent(p);
    selectDropoff();
    geometryChanged();
}

float epsLensSurround::getPowerExponent() const { return powerExponent_; }

void epsLensSurround::setGaussianTail(float tail)
{
    if (!(tail > 0.0f && tail <= 0.5f))
        return;
    gaussianTail_ = tail;
    gaussian_.setTail(tail);
    dropGaussian_.setTail(tail);
    geometryChanged();
}

float epsLensSurround::getGaussianTail() const { return gaussianTail_; }

epsLens* epsLensSurround::getLens() const { return lens_; }

void epsLensSurround::resolve(float magnification, float focusHalfSize)
{
    Resolved& r = resolved_;
    r.norm = getDistanceMetric();
    const float xs = getXScale();
    const float ys = getYScale();
    const float px = xs * getPositiveXFactor();
    const float nx = -xs * getNegativeXFactor();
    const float py = ys * getPositiveYFactor();
    const float ny = -ys * getNegativeYFactor();
    const bool plain = px == 1.0f && nx == -1.0f && py == 1.0f && ny == -1.0f;

    const epsDistanceMetric* simple[] = {&simpleLOne_, &simpleLTwo_, &simpleLThree_, &simpleLInfinity_};
    epsDistanceMetric* weighted[] = {&distanceLOne_, &distanceLTwo_, &distanceLThree_, &distanceLInfinity_};
    weighted[r.norm]->setFactors(px, nx, py, ny);
    r.simpleMetric = simple[r.norm];
    r.metric = plain ? simple[r.norm] : weighted[r.norm];
    r.squared = r.norm == epsEnums::L_TWO && px == -nx && py == -ny;
    r.positiveX = std::fabs(px);
    r.negativeX = std::fabs(nx);
    r.positiveY = std::fabs(py);
    r.negativeY = std::fabs(ny);

    r.width = width_ + growth_ * (magnification - 1.0f) * focusHalfSize;
    r.start = normalizedDegrees(startAngle_);
    r.full = angularSpan_ == 360.0f;
    trueLinear_.setMagnification(magnification);
}

bool epsLensSurround::covers(float degrees) const
{
    if (resolved_.full || angularSpan_ >= 360.0f)
        return true;
    return normalizedDegrees(degrees - resolved_.start) < angularSpan_;
}
