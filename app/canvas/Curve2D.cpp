#include "canvas/Curve2D.h"

#include <cmath>

void Curve2D::insertPoint(std::size_t index, double x, double y)
{
    if (index > points.size()) index = points.size();
    points.insert(points.begin() + static_cast<std::ptrdiff_t>(index), Point(x, y));
}

void Curve2D::deletePoint(std::size_t index)
{
    if (index < points.size()) points.erase(points.begin() + static_cast<std::ptrdiff_t>(index));
}

double Curve2D::getLength() const
{
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    return length;
}

Curve2D Curve2D::resample(double spacing) const
{
    if (points.size() < 2 || !(spacing > 0.0)) return *this;
    Curve2D out;
    out.complete = complete;
    out.addPoint(points.front());
    double carried = 0.0; // arc length since the last emitted point
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Point& a = points[i - 1];
        const Point& b = points[i];
        const double segment = std::hypot(b.x - a.x, b.y - a.y);
        if (segment <= 0.0) continue;
        double along = spacing - carried;
        while (along <= segment) {
            const double t = along / segment;
            out.addPoint(ControlPoint2D(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t,
                                        a.getRadius() + (b.getRadius() - a.getRadius()) * t,
                                        a.getAttribute()));
            along += spacing;
        }
        carried = segment - (along - spacing);
    }
    const Point& last = points.back();
    const Point& emitted = out.points.back();
    if (std::hypot(last.x - emitted.x, last.y - emitted.y) > spacing * 1e-6)
        out.addPoint(last);
    return out;
}

ControlPoint2D Curve2D::evaluate(double t) const
{
    if (points.empty()) return {};
    const double total = getLength();
    if (!(total > 0.0) || !(t > 0.0)) return points.front();
    if (t >= 1.0) return points.back();
    double remaining = t * total;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Point& a = points[i - 1];
        const Point& b = points[i];
        const double segment = a.distanceTo(b);
        if (remaining <= segment && segment > 0.0) {
            const double u = remaining / segment;
            return ControlPoint2D(a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u,
                                  a.getRadius() + (b.getRadius() - a.getRadius()) * u,
                                  a.getAttribute());
        }
        remaining -= segment;
    }
    return points.back();
}

std::size_t Curve2D::nearestPoint(double x, double y) const
{
    std::size_t best = 0;
    double bestDistance = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double d = std::hypot(points[i].x - x, points[i].y - y);
        if (i == 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}
