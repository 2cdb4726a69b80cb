#pragma once
// ControlPoint2D: a control point of a drawn curve. Besides its position it carries the brush
// radius there (half the simulated stroke width, same unit as the position) and an attribute
// (1.0 for points the brush simulation made; free for other uses).

#include "canvas/Point2D.h"

class ControlPoint2D : public Point2D {
public:
    ControlPoint2D() = default;
    ControlPoint2D(double x_, double y_, double radius_ = 0.0, double attribute_ = 0.0)
        : Point2D(x_, y_), radius(radius_), attribute(attribute_)
    {
    }

    double getRadius() const { return radius; }
    void setRadius(double r) { radius = r; }
    double getAttribute() const { return attribute; }
    void setAttribute(double a) { attribute = a; }

    // Same position, radius and attribute.
    bool operator==(const ControlPoint2D& o) const
    {
        return Point2D::operator==(o) && radius == o.radius && attribute == o.attribute;
    }
    bool operator!=(const ControlPoint2D& o) const { return !(*this == o); }

private:
    double radius = 0.0;
    double attribute = 0.0;
};
