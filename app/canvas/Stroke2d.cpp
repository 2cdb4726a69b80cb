#include "canvas/Stroke2d.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <iterator>

void Stroke2d::addControlPoint(const ControlPoint2D& p)
{
    curve.addPoint(p);
    rebuildGeometry();
}

void Stroke2d::setPoints(const std::vector<ControlPoint2D>& points)
{
    curve.getPoints() = points;
    rebuildGeometry();
}

void Stroke2d::rebuildGeometry()
{
    outline.clear();
    const std::vector<ControlPoint2D>& p = curve.getPoints();
    if (p.size() < 2) return;
    outline.reserve(2 * p.size());
    for (std::size_t i = 0; i < p.size(); ++i) {
        // Direction from the neighbours; repeated points borrow the last known direction.
        const Point2D& a = p[i == 0 ? 0 : i - 1];
        const Point2D& b = p[i + 1 < p.size() ? i + 1 : i];
        Point2D d = b - a;
        double len = d.length();
        Point2D normal(0.0, 1.0);
        if (len > 0.0) normal = Point2D(-d.y / len, d.x / len);
        const Point2D offset = normal * p[i].getRadius();
        outline.push_back(Point2D(p[i].x, p[i].y) + offset);
        outline.push_back(Point2D(p[i].x, p[i].y) - offset);
    }
}

bool Stroke2d::passesNear(double x, double y, double distance, bool withRadius) const
{
    for (const ControlPoint2D& p : curve.getPoints())
        if (std::hypot(p.x - x, p.y - y) <= distance + (withRadius ? p.getRadius() : 0.0))
            return true;
    return false;
}

bool Stroke2d::planOverdraw(const std::vector<ControlPoint2D>& path, double tolerance,
                            Overdraw* plan) const
{
    const std::vector<ControlPoint2D>& p = curve.getPoints();
    if (path.size() < 2 || p.size() < 2) return false;
    const std::size_t from = curve.nearestPoint(path.front().x, path.front().y);
    const std::size_t to = curve.nearestPoint(path.back().x, path.back().y);
    if (p[from].distanceTo(path.front()) > tolerance || p[to].distanceTo(path.back()) > tolerance)
        return false;
    plan->firstToAdd = path.front();
    plan->lastToAdd = path.back();
    plan->reversed = to < from;
    plan->firstToDelete = p[std::min(from, to)];
    plan->lastToDelete = p[std::max(from, to)];
    return true;
}

bool Stroke2d::applyOverdraw(const Overdraw& plan)
{
    std::vector<ControlPoint2D>& p = curve.getPoints();
    // The path was appended last: its first point is the last occurrence of that point (the
    // original stroke may hold an equal one where the path starts on it).
    const auto fromBack = std::find(p.rbegin(), p.rend(), plan.firstToAdd);
    const auto firstAdd = fromBack == p.rend() ? p.end() : std::prev(fromBack.base());
    if (firstAdd == p.end()) {
        std::cout << "ERROR: firstCPToAddVecIt not found in current stroke!" << std::endl;
        return false;
    }
    const auto lastAdd = std::find(firstAdd, p.end(), plan.lastToAdd);
    if (lastAdd == p.end()) {
        std::cout << "ERROR: lastCPToAddVecIt not found in current stroke!" << std::endl;
        return false;
    }
    // The stretch to delete lies in the original stroke, before the appended path.
    const auto firstDelete = std::find(p.begin(), firstAdd, plan.firstToDelete);
    if (firstDelete == firstAdd) {
        std::cout << "ERROR: firstCPToDelete not found in current stroke!" << std::endl;
        return false;
    }
    auto lastDelete = std::find(firstDelete, firstAdd, plan.lastToDelete);
    if (lastDelete == firstAdd) lastDelete = firstAdd - 1;

    std::vector<ControlPoint2D> added(firstAdd, lastAdd + 1);
    if (plan.reversed) std::reverse(added.begin(), added.end());
    std::vector<ControlPoint2D> result(p.begin(), firstDelete);
    result.insert(result.end(), added.begin(), added.end());
    result.insert(result.end(), lastDelete + 1, firstAdd);
    p = std::move(result);
    rebuildGeometry();
    return true;
}
