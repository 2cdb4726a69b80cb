#pragma once
// Point2D: a 2D point or offset (x, y doubles) with accessors and the arithmetic the stroke code
// needs. Units are the caller's (the stroke build canvas uses table pixels).

#include <cmath>

class Point2D {
public:
    Point2D() = default;
    Point2D(double x_, double y_) : x(x_), y(y_) {}

    double getX() const { return x; }
    double getY() const { return y; }
    void setX(double v) { x = v; }
    void setY(double v) { y = v; }
    void set(double x_, double y_) { x = x_; y = y_; }

    Point2D operator+(const Point2D& o) const { return {x + o.x, y + o.y}; }
    Point2D operator-(const Point2D& o) const { return {x - o.x, y - o.y}; }
    Point2D operator*(double s) const { return {x * s, y * s}; }
    Point2D& operator+=(const Point2D& o) { x += o.x; y += o.y; return *this; }
    Point2D& operator-=(const Point2D& o) { x -= o.x; y -= o.y; return *this; }
    bool operator==(const Point2D& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Point2D& o) const { return !(*this == o); }

    double length() const { return std::hypot(x, y); }
    double distanceTo(const Point2D& o) const { return std::hypot(x - o.x, y - o.y); }

    // Public so that curve code can read the coordinates directly.
    double x = 0.0;
    double y = 0.0;
};
