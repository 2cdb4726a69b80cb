#pragma once
// Curve2D: an ordered list of 2D points (control points of a drawn curve) with resampling at a
// fixed arc-length spacing. Coordinates are whatever the caller uses (the canvas uses normalised
// canvas coordinates for the curve overlay); the class does not interpret them.

#include <cstddef>
#include <vector>

class Curve2D {
public:
    struct Point {
        double x = 0.0;
        double y = 0.0;
    };

    void addPoint(double x, double y) { points.push_back({x, y}); }
    void insertPoint(std::size_t index, double x, double y);
    void deletePoint(std::size_t index);
    void clear() { points.clear(); complete = false; }
    std::size_t getNumberOfPoints() const { return points.size(); }
    const Point& getPoint(std::size_t index) const { return points[index]; }
    const std::vector<Point>& getPoints() const { return points; }
    // Total length of the polyline through the points.
    double getLength() const;

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
