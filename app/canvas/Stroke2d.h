#pragma once
// Stroke2d: one stroke drawn on the stroke build canvas: a Curve2D of control points whose radii
// are half the simulated stroke width, the stroke's outline built from them, and its drawing
// state. Also the over-drawing edit: a path drawn over part of a stroke replaces that part.
// GL-free. Units: table pixels.

#include "canvas/Curve2D.h"

#include <vector>

class Stroke2d {
public:
    // Appends a control point and rebuilds the outline.
    void addControlPoint(const ControlPoint2D& p);
    const Curve2D& getCurve() const { return curve; }
    std::size_t getNumberOfPoints() const { return curve.getNumberOfPoints(); }
    const ControlPoint2D& getPoint(std::size_t i) const { return curve.getPoint(i); }
    void setPoints(const std::vector<ControlPoint2D>& points);

    // The outline as a triangle strip: for every control point its left and right edge point
    // (radius away, across the direction of the stroke there). Empty below two points.
    const std::vector<Point2D>& getOutline() const { return outline; }
    void rebuildGeometry();

    // Finished strokes no longer grow.
    bool isFinished() const { return finished; }
    void setFinished(bool on) { finished = on; }

    // True when some control point lies within `distance` of (x, y) (plus the point's radius
    // when withRadius is set).
    bool passesNear(double x, double y, double distance, bool withRadius) const;

    // Over-drawing. The new path has been appended to this stroke's points; the edit names the
    // path's first and last point (to add) and the stretch of the original stroke they replace
    // (first and last point to delete), reversing the path when it ran against the stroke.
    struct Overdraw {
        ControlPoint2D firstToAdd, lastToAdd, firstToDelete, lastToDelete;
        bool reversed = false;
    };
    // The edit of `path` over this stroke when both its ends lie within `tolerance` of the
    // stroke's control points; false otherwise (the path is a new stroke).
    bool planOverdraw(const std::vector<ControlPoint2D>& path, double tolerance,
                      Overdraw* plan) const;
    // Splices the appended path in place of the stretch to delete. When a named point is not
    // in the stroke it prints the matching message and leaves the points as they were.
    bool applyOverdraw(const Overdraw& plan);

private:
    Curve2D curve;
    std::vector<Point2D> outline;
    bool finished = false;
};
