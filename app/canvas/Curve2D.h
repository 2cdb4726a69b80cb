#pragma once
// Curve2D: an ordered list of control points (ControlPoint2D) with operations to add, insert and
// delete points, to evaluate the polyline through them and to resample it at a fixed arc-length
// spacing. Coordinates are whatever the caller uses (the canvas uses normalised canvas
// coordinates for its curve overlay, the stroke build canvas table pixels); the class does not
// interpret them.

#include "canvas/ControlPoint2D.h"

#include <cstddef>
#include <vector>

class Curve2D {
public:
    using Point = ControlPoint2D;

    void addPoint(double x, double y) { points.emplace_back(x, y); }
    void addPoint(const ControlPoint2D& p) { points.push_back(p); }
    void insertPoint(std::size_t index, double x, double y);
    void deletePoint(std::size_t index);
    void clear() { points.clear(); complete = false; }
    std::size_t getNumberOfPoints() const { return points.size(); }
    const Point& getPoint(std::size_t index) const { return points[index]; }
    const std::vector<Point>& getPoints() const { return points; }
    // Direct access for editing operations that splice ranges of points.
    std::vector<Point>& getPoints() { return points; }
    // Total length of the polyline through the points.
    double getLength() const;
    // The point at arc-length fraction t of the polyline (t clamped to [0, 1]), radius and
    // attribute interpolated along the segment. A curve without points evaluates to (0, 0).
    ControlPoint2D evaluate(double t) const;
    // Index of the control point nearest to (x, y); 0 for an empty curve.
    std::size_t nearestPoint(double x, double y) const;

    // A curve is complete when its drawing has ended and it waits to be used.
    bool isComplete() const { return complete; }
    void setComplete(bool on) { complete = on; }

    // Points spaced `spacing` apart along the polyline, starting at the first point and ending
    // with the last one. A curve of fewer than two points, or a spacing of 0 or less, resamples
    // to a copy of itself.
    Curve2D resample(double spacing) const;

private:
    std::vector<Point> points;
    bool complete = false;
};
