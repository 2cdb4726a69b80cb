#pragma once
// The region around an EPS lens's focus: its width, distance metric and drop-off profile, and the
// sector of directions it covers. Widths are in the lens's units (buffer cells for lenses and
// brushes); angles in degrees, counter-clockwise from +x.
//
// Ownership: the caller owns the surround. A surround belongs to at most one epsLens at a time
// (getLens()); the lens never deletes it. Destroying an attached surround detaches it first.

#include "epsEnums.h"
#include "epsFunctions.h"

class epsLens;

class epsLensSurround {
public:
    epsLensSurround();
    virtual ~epsLensSurround();

    epsLensSurround(const epsLensSurround&) = delete;
    epsLensSurround& operator=(const epsLensSurround&) = delete;

    // Codes 0 to 8 (epsEnums::DropoffType); other codes are ignored.
    virtual void setDropoffType(int code);
    virtual int getDropoffType() const;
    // Non-negative widths; others are ignored.
    virtual void setWidth(float width);
    virtual float getWidth() const;
    // k in the effective width W = width + k * (M - 1) * focus half-size.
    virtual void setMagnificationGrowth(float k);
    virtual float getMagnificationGrowth() const;
    // Codes 0 to 4 (4: the lens's metric); others are ignored. The getter resolves 4.
    virtual void setDistanceMetric(int code);
    virtual int getDistanceMetric() const;

    // Shape factors: -1 means "the lens's value"; other negative values are ignored. Getters
    // resolve -1 to the lens's value (the lens default 1.0 while detached).
    virtual void setXScale(float v);
    virtual float getXScale() const;
    virtual void setYScale(float v);
    virtual float getYScale() const;
    virtual void setPositiveXFactor(float v);
    virtual float getPositiveXFactor() const;
    virtual void setNegativeXFactor(float v);
    virtual float getNegativeXFactor() const;
    virtual void setPositiveYFactor(float v);
    virtual float getPositiveYFactor() const;
    virtual void setNegativeYFactor(float v);
    virtual float getNegativeYFactor() const;

    // The covered sector starts at the start angle and spans the angular span, counter-clockwise.
    // A span of exactly 360 marks a full surround. Negative spans are ignored.
    virtual void setStartAngle(float degrees);
    virtual float getStartAngle() const;
    virtual void setAngularSpan(float degrees);
    virtual float getAngularSpan() const;

    // Ripple amplitudes (0: no ripple). Gaussian: 0 to 1; linear: >= 0; others are ignored.
    virtual void setGaussianRipple(float a);
    virtual float getGaussianRipple() const;
    virtual void setLinearRipple(float a);
    virtual float getLinearRipple() const;
    // h >= 0, else ignored.
    virtual void setHyperbolicCurvature(float h);
    virtual float getHyperbolicCurvature() const;
    // p > 0, else ignored. With the power code, 2 selects the parabola, 1 the linear function and
    // anything above 500 the flat (Manhattan) profile.
    virtual void setPowerExponent(float p);
    virtual float getPowerExponent() const;
    // The value the Gaussians fall to at t = 1: 0 < tail <= 0.5, else ignored.
    virtual void setGaussianTail(float tail);
    virtual float getGaussianTail() const;

    virtual epsLens* getLens() const;

    // The drop-off function in use (after the power reselection) and its reach beyond the width,
    // in units of the width: 0 for Manhattan, 2 for the Gaussian, Cd for the drop Gaussian, else 1.
    const epsDropoff* getDropoff() const { return dropoff_; }
    float getInfluenceExtent() const { return dropoff_->extent(); }

private:
    friend class epsLens;

    // What the lens evaluates with, refreshed by the lens whenever its selection is stale.
    struct Resolved {
        const epsDistanceMetric* metric = nullptr;
        const epsDistanceMetric* simpleMetric = nullptr;
        int norm = epsEnums::L_TWO;
        bool squared = true;
        // Absolute values of the effective factors, for the offset's side.
        float positiveX = 1.0f, negativeX = 1.0f, positiveY = 1.0f, negativeY = 1.0f;
        float width = 100.0f;
        float start = 0.0f;
        bool full = true;
    };

    void attach(epsLens* lens) { lens_ = lens; }
    void resolve(float magnification, float focusHalfSize);
    bool covers(float degrees) const;
    void selectDropoff();
    void geometryChanged();

    epsSimpleLOne simpleLOne_;
    epsSimpleLTwo simpleLTwo_;
    epsSimpleLThree simpleLThree_;
    epsSimpleLInfinity simpleLInfinity_;
    epsDistanceLOne distanceLOne_;
    epsDistanceLTwo distanceLTwo_;
    epsDistanceLThree distanceLThree_;
    epsDistanceLInfinity distanceLInfinity_;

    epsManhattan manhattan_;
    epsLinear linear_;
    epsGaussian gaussian_;
    epsHemispheric hemispheric_;
    epsCosine cosine_;
    epsDropGaussian dropGaussian_;
    epsPower power_;
    epsParabolic parabolic_;
    epsHyperbolic hyperbolic_;
    epsTrueLinear trueLinear_;
    const epsDropoff* dropoff_ = &gaussian_;

    int dropoffType_ = epsEnums::GAUSSIAN;
    float width_ = 100.0f;
    float growth_ = 1.0f;
    int metric_ = epsEnums::LENS_METRIC;
    float xScale_ = -1.0f, yScale_ = -1.0f;
    float positiveX_ = -1.0f, negativeX_ = -1.0f, positiveY_ = -1.0f, negativeY_ = -1.0f;
    float startAngle_ = 0.0f;
    float angularSpan_ = 360.0f;
    float gaussianTail_ = 0.1f;
    float gaussianRipple_ = 0.0f;
    float linearRipple_ = 0.0f;
    float hyperbolicCurvature_ = 1.0f;
    float powerExponent_ = 2.718282f;
    epsLens* lens_ = nullptr;

    Resolved resolved_;
};
