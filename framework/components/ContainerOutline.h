#pragma once
// ContainerOutline: the shape of a bounded container, free of any graphics code. It owns the four
// splines (outline, inside outline of a ring, and the two border splines that lie borderWidth
// beyond them), builds them from the control points, fits the container's size to them and paints
// the hit mask with its region codes.
//
// Coordinate spaces:
//  - shape: the container's unrotated local frame with its centre at (0, 0), table pixels;
//  - buffer cells: BufferMapping turns a shape point into the container's grid cell, i.e. the
//    local frame with its origin at the bottom-left corner, divided by the scale, plus 1.5.

#include "core/BufferTemplate.h"
#include "core/Spline.h"

struct BufferMapping {
    double halfWidth = 0.0;
    double halfHeight = 0.0;
    double xScale = 1.0;
    double yScale = 1.0;
    // Cell column and row of a shape point (truncated towards minus infinity).
    int column(double x) const;
    int row(double y) const;
};

class ContainerOutline {
public:
    // Region codes of the hit mask.
    static constexpr int kOutside = 0;
    static constexpr int kBody = 3;
    static constexpr int kOuterBorder = 12;
    static constexpr int kInnerBorder = 13;
    // Handle of the outline's i-th control point: kFirstOutsideHandle + 2i; of the inside
    // outline's: kFirstInsideHandle + 2i.
    static constexpr int kFirstOutsideHandle = 15;
    static constexpr int kFirstInsideHandle = 16;

    static constexpr unsigned int kMinControlPoints = 3;
    static constexpr unsigned int kMaxControlPoints = 24;
    static constexpr unsigned int kMaxSplineLevel = 8;
    static unsigned int clampControlPointCount(unsigned int count);
    static unsigned int clampSplineLevel(unsigned int level);

    ContainerOutline() = default;
    // Both counts are clamped; the splines stay empty until computeInitialControlPoints.
    ContainerOutline(unsigned int controlPointCount, unsigned int splineLevel,
                     bool hasInsideBoundary, bool rounded);

    // Places the control points on a rectangle (or, rounded, an ellipse) with half-axes
    // halfWidth − borderWidth and halfHeight − borderWidth, the inside outline ringWidth further
    // in (never closer than one pixel to the centre), and builds all four splines.
    void computeInitialControlPoints(double halfWidth, double halfHeight, double borderWidth,
                                     double ringWidth);
    // Rebuilds the outline and inside splines from their control points, then the border splines
    // from the control points moved borderWidth outwards (into the hole for the inside outline).
    void rebuild();
    // Moves one control point (shape frame) without rebuilding.
    void setControlPoint(bool inside, unsigned int index, double x, double y);

    // The size that holds the outline, its border strips and its handles: the outlines' bounding
    // box widened by borderWidth on every side. (dx, dy) is the offset of that box's centre from
    // the shape origin; with recentre the splines are moved by (−dx, −dy) so the box is centred.
    void fitSize(bool recentre, double* width, double* height, double* dx, double* dy);

    // Paints the region codes into mask (fill 0, body 3, border strips 12 and 13, control-point
    // handles 15 + 2i and 16 + 2i masked by the disc in handle). Later regions overwrite earlier.
    void fillHitMask(BufferTemplate<int>& mask, const BufferTemplate<unsigned char>& handle,
                     const BufferMapping& mapping, bool withHandles) const;
    // A 2r × 2r grid holding 1 inside the disc of radius r about its centre, 0 elsewhere.
    static void fillHandleMask(BufferTemplate<unsigned char>& handle);
    // The handle radius for a border width: floor(borderWidth + 0.5).
    static unsigned int handleRadius(double borderWidth);

    // +1 when the outline runs counter-clockwise (its spline normals point inwards), −1 otherwise.
    double inwardSign() const { return inwardSignOf(outside_); }
    // The same for any closed spline.
    static double inwardSignOf(const Spline& spline);

    Spline& outside() { return outside_; }
    Spline& inside() { return inside_; }
    Spline& outsideBorder() { return outsideBorder_; }
    Spline& insideBorder() { return insideBorder_; }
    const Spline& outside() const { return outside_; }
    const Spline& inside() const { return inside_; }
    const Spline& outsideBorder() const { return outsideBorder_; }
    const Spline& insideBorder() const { return insideBorder_; }

    unsigned int controlPointCount() const { return controlPointCount_; }
    unsigned int splineLevel() const { return splineLevel_; }
    bool hasInsideBoundary() const { return hasInsideBoundary_; }
    bool rounded() const { return rounded_; }
    double borderWidth() const { return borderWidth_; }

private:
    static void offsetSpline(const Spline& source, Spline& target, double distance);

    Spline inside_;
    Spline outside_;
    Spline insideBorder_;
    Spline outsideBorder_;
    unsigned int controlPointCount_ = kMinControlPoints;
    unsigned int splineLevel_ = 0;
    bool hasInsideBoundary_ = false;
    bool rounded_ = false;
    double borderWidth_ = 0.0;
};
