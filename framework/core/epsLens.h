#pragma once
// An EPS lens: the table seen as a flat sheet from a viewpoint above it, with a region (the focus)
// lifted towards the viewer so that it looks magnified, and surrounds (epsLensSurround) sloping
// back to the base plane. Evaluated point by point to get a magnification, a displaced position or
// the lifted surface point.
//
// Coordinates: all positions are in the caller's frame (buffer cells for lenses and brushes);
// heights (z) in the same units above that plane. Angles in degrees, counter-clockwise.
// Single precision throughout.
//
// Ownership: surrounds are owned by the caller; the lens only points at them and detaches them
// when it is destroyed. The lens copies a polygon focus.
//
// Derived values are cached and refreshed lazily by the const evaluation calls, so one lens must
// not be evaluated from several threads at once.

#include "epsEnums.h"
#include "epsFunctions.h"
#include "epsLensSurround.h"
#include "epsPoint.h"

#include <vector>

class epsLens {
public:
    epsLens();
    virtual ~epsLens();

    epsLens(const epsLens&) = delete;
    epsLens& operator=(const epsLens&) = delete;

    // Magnification M > 0 (others are ignored); the focus is lifted to H - H / M.
    virtual void setMagnification(float m);
    virtual float getMagnification() const;
    virtual void setFocus(const epsPoint& focus);
    virtual epsPoint getFocus() const;
    // Codes 0 to 6 (epsEnums::FocusShape); others are ignored. A polygon focus without a polygon
    // behaves as the point.
    virtual void setFocusShape(int code);
    virtual int getFocusShape() const;
    // While on, focus dimensions are scaled by M0 / M, M0 being the magnification when it was
    // switched on: setters divide by the scale and getters multiply by it. Switching it off keeps
    // the dimensions in effect at that moment.
    virtual void setScaleFocusWithMagnification(bool on);
    virtual bool getScaleFocusWithMagnification() const;

    // Focus dimensions (full sizes, not halves); negative values are ignored.
    virtual void setFocusSquareSide(float side);
    virtual float getFocusSquareSide() const;
    virtual void setFocusRadius(float radius);
    virtual float getFocusRadius() const;
    virtual void setFocusHorizontalLength(float length);
    virtual float getFocusHorizontalLength() const;
    virtual void setFocusVerticalLength(float length);
    virtual float getFocusVerticalLength() const;
    virtual void setFocusRectangleWidth(float width);
    virtual float getFocusRectangleWidth() const;
    virtual void setFocusRectangleHeight(float height);
    virtual float getFocusRectangleHeight() const;
    // A polygon around the focus position (vertices relative to it), copied. Fails, keeping the
    // previous focus, for fewer than 3 vertices or coinciding first two vertices. On success the
    // focus shape becomes the polygon.
    virtual bool setFocusPolygon(const epsPoint* points, int count);
    virtual int getFocusPolygonSize() const;

    // Replaces all surrounds by the given one; refused (false, nothing changed) for null or a
    // surround that already belongs to a lens.
    virtual bool setSurround(epsLensSurround* surround);
    // Null for an index out of range.
    virtual epsLensSurround* getSurround(int index) const;

    // A custom viewpoint, or null for (0, 0, 600). A viewpoint not above the base plane is ignored.
    virtual void setViewPoint(const epsPoint3D* viewPoint);
    virtual epsPoint3D getViewPoint() const;

    // Orients the focus shape and metric by this angle (the evaluation works on the offset turned
    // by minus the angle).
    virtual void setSecondAngle(float degrees);
    virtual float getSecondAngle() const;
    // Twists the lifted region: by the angle in the focus, fading with the drop-off outside it.
    virtual void setRotation(float degrees);
    virtual float getRotation() const;
    // Types 2 and 3 widen the depth range to a sheet that may also sink (see getDepthRange).
    virtual void setLensType(int type);
    virtual int getLensType() const;

    virtual void removeAllSurrounds();
    virtual int getNumberOfSurrounds() const;
    // A surround belongs to at most one lens: adding one that has a lens fails.
    virtual bool addSurround(epsLensSurround* surround);
    virtual bool removeSurround(epsLensSurround* surround);

    // Codes 0 to 3; 4 stores 1 (L2); others are ignored.
    virtual void setDistanceMetric(int code);
    virtual int getDistanceMetric() const;

    // Shape factors; negative values are ignored. The effective metric factors are
    // (xScale * positiveX, -xScale * negativeX, yScale * positiveY, -yScale * negativeY): a
    // factor above 1 shrinks the lens on that side, below 1 stretches it.
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

    // The position at which the point appears through the lens; unaffected points keep theirs.
    virtual void displacePoint(epsPoint& point) const;
    // The lifted 3D point, or (x, y, base height) outside the lens.
    virtual void getSurfacePoint(const epsPoint& point, epsPoint3D& surface) const;
    // H / (H - lift): M in the focus, 1 outside the lens. Writes the displaced position when
    // asked for.
    virtual float getMagnificationAt(const epsPoint& point, epsPoint* displaced = nullptr) const;
    virtual float getMagnificationAndSurfacePoint(const epsPoint& point, epsPoint3D* surface) const;
    // Near and far distances from the viewpoint bounding the lifted sheet, with a 1 % margin.
    virtual void getDepthRange(float* nearDistance, float* farDistance) const;
    // Reserved; always 0.
    virtual int getReservedCounter() const;

    // Whether the polygon focus is convex (false without a polygon).
    bool isFocusPolygonConvex() const { return polygonConvex_; }

private:
    friend class epsLensSurround;

    struct Evaluation {
        bool affected = false;
        float dropoff = 0.0f;
        epsPoint3D surface;
    };

    // The metric as the focus test uses it: the lens's own code and factors.
    struct FocusMetric {
        const epsDistanceMetric* metric = nullptr;
        const epsDistanceMetric* simpleMetric = nullptr;
        bool squared = true;
        float positiveX = 1.0f, negativeX = 1.0f, positiveY = 1.0f, negativeY = 1.0f;
    };

    void markStale() { stale_ = true; }
    void refresh() const;
    Evaluation evaluate(const epsPoint& point) const;
    epsLensSurround* selectSurround(float qx, float qy) const;
    bool insideFocus(float qx, float qy) const;
    float distanceFromFocus(float qx, float qy, const epsLensSurround::Resolved& s, bool& squared) const;
    float focusScale() const;
    void setDimension(float& stored, float value);
    float viewingHeight() const { return viewPoint_.z - baseHeight_; }


    // The metric objects; the distance objects get the effective factors when refreshed.
    epsSimpleLOne simpleLOne_;
    epsSimpleLTwo simpleLTwo_;
    epsSimpleLThree simpleLThree_;
    epsSimpleLInfinity simpleLInfinity_;
    mutable epsDistanceLOne distanceLOne_;
    mutable epsDistanceLTwo distanceLTwo_;
    mutable epsDistanceLThree distanceLThree_;
    mutable epsDistanceLInfinity distanceLInfinity_;

    float magnification_ = 2.0f;
    epsPoint focus_;
    int focusShape_ = epsEnums::POINT_FOCUS;
    bool scaleFocus_ = false;
    float scaleReference_ = 1.0f;
    // Focus dimensions as stored (before the magnification scale).
    float squareSide_ = 40.0f;
    float radius_ = 20.0f;
    float horizontalLength_ = 40.0f;
    float verticalLength_ = 40.0f;
    float rectangleWidth_ = 50.0f;
    float rectangleHeight_ = 30.0f;
    std::vector<epsPoint> polygon_;
    bool polygonConvex_ = false;
    epsPoint3D viewPoint_{0.0f, 0.0f, 600.0f};
    float baseHeight_ = 0.0f;
    int metric_ = epsEnums::L_TWO;
    float xScale_ = 1.0f, yScale_ = 1.0f;
    float positiveX_ = 1.0f, negativeX_ = 1.0f, positiveY_ = 1.0f, negativeY_ = 1.0f;
    float rotation_ = 0.0f;
    float secondAngle_ = 0.0f;
    int lensType_ = 1;
    std::vector<epsLensSurround*> surrounds_;

    // Derived values, recomputed when stale.
    mutable bool stale_ = true;
    mutable FocusMetric focusMetric_;
    mutable float focusHeight_ = 0.0f;
    mutable epsPoint3D displacement_;
    // Half extents of the focus on each side, its half-size r, and the scaled polygon.
    mutable float extentPositiveX_ = 0.0f, extentNegativeX_ = 0.0f;
    mutable float extentPositiveY_ = 0.0f, extentNegativeY_ = 0.0f;
    mutable float focusHalfSize_ = 0.0f;
    mutable std::vector<epsPoint> scaledPolygon_;
};
