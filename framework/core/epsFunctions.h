#pragma once
// The small function objects of the EPS lens model, all in single precision.
//
// Distance metrics measure an offset (x, y) from a focus, in the caller's units. Each holds four
// factors: for positive x, for non-positive x, for positive y and for non-positive y (default
// 1, -1, 1, -1). The simple objects ignore them; the distance objects measure (x * fx, y * fy)
// with the factor of the offset's side.
//
// Drop-off functions map a normalised distance t >= 0 across a surround (0 at the focus edge, 1
// at the surround's width) to a height fraction in [0, 1]. value() takes t, valueSquared() takes
// t * t. extent() is how far the function reaches, in units of the surround's width.

class epsDistanceMetric {
public:
    virtual ~epsDistanceMetric() = default;
    virtual float distance(float x, float y) const = 0;
    // The square of distance(); the L2 objects compute it without a square root.
    virtual float squaredDistance(float x, float y) const;

    void setFactors(float positiveX, float nonPositiveX, float positiveY, float nonPositiveY);
    float positiveXFactor() const { return positiveX_; }
    float nonPositiveXFactor() const { return nonPositiveX_; }
    float positiveYFactor() const { return positiveY_; }
    float nonPositiveYFactor() const { return nonPositiveY_; }

protected:
    float scaledX(float x) const { return x * (x > 0.0f ? positiveX_ : nonPositiveX_); }
    float scaledY(float y) const { return y * (y > 0.0f ? positiveY_ : nonPositiveY_); }

    float positiveX_ = 1.0f;
    float nonPositiveX_ = -1.0f;
    float positiveY_ = 1.0f;
    float nonPositiveY_ = -1.0f;
};

// |x| + |y|
class epsSimpleLOne : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
};
// sqrt(x^2 + y^2)
class epsSimpleLTwo : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
    float squaredDistance(float x, float y) const override;
};
// (|x|^3 + |y|^3)^(1/3)
class epsSimpleLThree : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
};
// max(|x|, |y|)
class epsSimpleLInfinity : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
};

// The same norms of (x * fx, y * fy).
class epsDistanceLOne : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
};
class epsDistanceLTwo : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
    float squaredDistance(float x, float y) const override;
};
class epsDistanceLThree : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
};
class epsDistanceLInfinity : public epsDistanceMetric {
public:
    float distance(float x, float y) const override;
};

class epsDropoff {
public:
    virtual ~epsDropoff() = default;
    virtual float value(float t) const = 0;
    // Takes the square root first unless a function overrides it.
    virtual float valueSquared(float tSquared) const;
    // The name the configuration uses; empty for a function without a code of its own.
    virtual const char* name() const = 0;
    virtual float extent() const { return 1.0f; }
};

// 0 everywhere: the focus is a plateau with a vertical edge.
class epsManhattan : public epsDropoff {
public:
    float value(float t) const override;
    const char* name() const override { return "Manhattan"; }
    float extent() const override { return 0.0f; }
};

// 1 - t; an active ripple dents it by max(0, 1 - a * sin(t * 2.0943952)). Never below 0.
class epsLinear : public epsDropoff {
public:
    float value(float t) const override;
    const char* name() const override { return "Linear"; }
    void setRipple(float amplitude) { ripple_ = amplitude; }

private:
    float ripple_ = 0.0f;
};

// exp(t^2 * ln(tail)) up to the cut-off 2; an active ripple applies up to L = sqrt(ln 0.01 / ln tail).
class epsGaussian : public epsDropoff {
public:
    epsGaussian();
    float value(float t) const override;
    float valueSquared(float tSquared) const override;
    const char* name() const override { return "Gaussian"; }
    float extent() const override { return 2.0f; }
    void setTail(float tail);
    void setRipple(float amplitude) { ripple_ = amplitude; }

private:
    float ripplePart(float t) const;

    float logTail_ = 0.0f;
    float rippleLength_ = 0.0f;
    float ripple_ = 0.0f;
};

// sqrt(1 - t^2)
class epsHemispheric : public epsDropoff {
public:
    float value(float t) const override;
    const char* name() const override { return "Hemispheric"; }
};

// cos(t * pi / 2)
class epsCosine : public epsDropoff {
public:
    float value(float t) const override;
    const char* name() const override { return "Cosine"; }
};

// (0.1^(t^2) - tail) / (1 - tail), reaching 0 at Cd = sqrt(ln tail / ln 0.1); optional ripple.
class epsDropGaussian : public epsDropoff {
public:
    epsDropGaussian();
    float value(float t) const override;
    float valueSquared(float tSquared) const override;
    const char* name() const override { return "DropGaussian"; }
    float extent() const override { return cutOff_; }
    void setTail(float tail);
    void setRipple(float amplitude) { ripple_ = amplitude; }

private:
    float tail_ = 0.1f;
    float cutOff_ = 1.0f;
    float ripple_ = 0.0f;
};

// (1 - t)^p
class epsPower : public epsDropoff {
public:
    float value(float t) const override;
    const char* name() const override { return "Power"; }
    void setExponent(float p) { exponent_ = p; }

private:
    float exponent_ = 2.718282f;
};

// (1 - t)^2; selected by the power code for an exponent of exactly 2.
class epsParabolic : public epsDropoff {
public:
    float value(float t) const override;
    const char* name() const override { return ""; }
};

// h / (t - b) + c with D(0) = 1 and D(1) = 0. A curvature of 0 is the limit: 1 at t = 0, else 0.
class epsHyperbolic : public epsDropoff {
public:
    epsHyperbolic();
    float value(float t) const override;
    const char* name() const override { return "Hyperbolic"; }
    void setCurvature(float h);

private:
    float h_ = 1.0f;
    float b_ = 0.0f;
    float c_ = 0.0f;
};

// M(1 - t) / (t + M(1 - t)): the lens's magnification then falls linearly across the surround.
class epsTrueLinear : public epsDropoff {
public:
    float value(float t) const override;
    const char* name() const override { return "TrueLinear"; }
    void setMagnification(float m) { magnification_ = m; }

private:
    float magnification_ = 2.0f;
};
