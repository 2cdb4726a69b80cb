#include "Spline.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

using Point = Spline::SplinePoint;

// Unit vector from a to b; (0, 0) when the points coincide.
Point unitFromTo(const Point& a, const Point& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double l = std::sqrt(dx * dx + dy * dy);
    if (l == 0.0)
        return Point{0.0, 0.0};
    return Point{dx / l, dy / l};
}

void printPoints(const std::vector<Point>& points)
{
    for (const Point& p : points)
        std::cout << p.x << " " << p.y << " ; ";
    std::cout << "\n\n";
}

} // namespace

void Spline::initializeAndSetParameters(unsigned int numControlPoints, unsigned int level)
{
    controlPoints_.clear();
    controlPointNormals_.clear();
    splinePoints_.clear();
    numControlPoints_ = numControlPoints;
    level_ = level;
    numSplinePoints_ = 0;
}

void Spline::buildOrRebuildSpline()
{
    const unsigned long count = std::min<unsigned long>(numControlPoints_, controlPoints_.size());
    if (count < 2) {
        splinePoints_.clear();
        splinePointNormals_.clear();
        controlPointNormals_.clear();
        numSplinePoints_ = 0;
        return;
    }

    const unsigned long step = 1ul << level_;
    const unsigned long n = count * step;
    std::vector<Point> work(n);
    for (unsigned long i = 0; i < count; ++i)
        work[i * step] = controlPoints_[i];

    // Each pass inserts a point half-way between every pair of existing neighbours at spacing d.
    for (unsigned long d = step; d > 1; d /= 2) {
        for (unsigned long i = 0; i < n; i += d) {
            const Point& prev = work[(i + n - d) % n];
            const Point& p0 = work[i];
            const Point& p1 = work[(i + d) % n];
            const Point& next = work[(i + 2 * d) % n];
            Point& mid = work[i + d / 2];
            mid.x = (9.0 * (p0.x + p1.x) - (prev.x + next.x)) / 16.0;
            mid.y = (9.0 * (p0.y + p1.y) - (prev.y + next.y)) / 16.0;
        }
    }

    std::vector<Point> normals(n);
    for (unsigned long i = 0; i < n; ++i) {
        const Point a = unitFromTo(work[i], work[(i + n - 1) % n]);
        const Point b = unitFromTo(work[i], work[(i + 1) % n]);
        const double tx = a.x - b.x;
        const double ty = a.y - b.y;
        const double l = std::sqrt(tx * tx + ty * ty);
        normals[i] = l == 0.0 ? Point{0.0, 0.0} : Point{ty / l, -tx / l};
    }

    controlPointNormals_.clear();
    for (unsigned long i = 0; i < count; ++i)
        controlPointNormals_.push_back(normals[i * step]);
    splinePoints_ = std::move(work);
    splinePointNormals_ = std::move(normals);
    numSplinePoints_ = n;
}

void Spline::printControlPoints() const { printPoints(controlPoints_); }
void Spline::printControlPointNormalVectors() const { printPoints(controlPointNormals_); }
void Spline::printSplinePoints() const { printPoints(splinePoints_); }
void Spline::printSplinePointNormalVectors() const { printPoints(splinePointNormals_); }
