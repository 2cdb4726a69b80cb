#include "canvas/StrokeBoard.h"

#include <algorithm>
#include <limits>

void StrokeBoard::startStroke(double x, double y)
{
    if (current) finishStroke();
    current = std::make_unique<Stroke2d>();
    simulation.start(x, y);
}

float StrokeBoard::addStrokePoint(double x, double y, bool skipPoint)
{
    if (!current) return 0.0f;
    const StrokeSimulation::Step s = simulation.step(x, y);
    // A brush at rest adds no point: repeated points would give the outline no direction.
    const std::vector<ControlPoint2D>& kept = current->getCurve().getPoints();
    const bool resting = !kept.empty() && Point2D(kept.back()) == Point2D(s.point);
    if (!skipPoint && !resting) {
        allPoints.push_back(s.point);
        current->addControlPoint(s.point);
    }
    return s.width;
}

StrokeBoard::Ending StrokeBoard::finishStroke()
{
    if (!current) return Ending::Nothing;
    std::unique_ptr<Stroke2d> path = std::move(current);
    const std::vector<ControlPoint2D>& added = path->getCurve().getPoints();
    for (auto it = strokes.rbegin(); it != strokes.rend(); ++it) {
        Stroke2d::Overdraw plan;
        if (!it->planOverdraw(added, kOverdrawTolerance, &plan)) continue;
        const std::vector<ControlPoint2D> before = it->getCurve().getPoints();
        std::vector<ControlPoint2D> joined = before;
        joined.insert(joined.end(), added.begin(), added.end());
        it->setPoints(joined);
        if (it->applyOverdraw(plan)) {
            rebuildAllPoints();
            return Ending::Edited;
        }
        it->setPoints(before);
        rebuildAllPoints();
        return Ending::EditFailed;
    }
    if (path->getNumberOfPoints() < 2) {
        rebuildAllPoints();
        return Ending::Nothing;
    }
    path->setFinished(true);
    strokes.push_back(std::move(*path));
    return Ending::NewStroke;
}

std::size_t StrokeBoard::eraseAt(double x, double y, double radius)
{
    const std::size_t before = strokes.size();
    strokes.erase(std::remove_if(strokes.begin(), strokes.end(),
                                 [&](const Stroke2d& s) { return s.passesNear(x, y, radius, true); }),
                  strokes.end());
    if (strokes.size() != before) rebuildAllPoints();
    return before - strokes.size();
}

void StrokeBoard::deleteStrokes()
{
    strokes.clear();
    current.reset();
    allPoints.clear();
}

void StrokeBoard::rebuildAllPoints()
{
    allPoints.clear();
    for (const Stroke2d& s : strokes)
        allPoints.insert(allPoints.end(), s.getCurve().getPoints().begin(),
                         s.getCurve().getPoints().end());
    if (current)
        allPoints.insert(allPoints.end(), current->getCurve().getPoints().begin(),
                         current->getCurve().getPoints().end());
}

std::vector<std::vector<Vector2d>> StrokeBoard::shapes(double width, double height) const
{
    std::vector<std::vector<Vector2d>> out;
    for (const Stroke2d& s : strokes) {
        const std::vector<ControlPoint2D>& p = s.getCurve().getPoints();
        if (p.size() < 2) continue;
        double minX = std::numeric_limits<double>::max(), minY = minX;
        double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
        for (const ControlPoint2D& q : p) {
            minX = std::min(minX, q.x);
            maxX = std::max(maxX, q.x);
            minY = std::min(minY, q.y);
            maxY = std::max(maxY, q.y);
        }
        const double spanX = maxX - minX, spanY = maxY - minY;
        double scale = 1.0;
        if (spanX > 0.0 || spanY > 0.0)
            scale = std::min(spanX > 0.0 ? width / spanX : std::numeric_limits<double>::max(),
                             spanY > 0.0 ? height / spanY : std::numeric_limits<double>::max());
        const double cx = 0.5 * (minX + maxX), cy = 0.5 * (minY + maxY);
        std::vector<Vector2d> line;
        line.reserve(p.size());
        for (const ControlPoint2D& q : p) line.emplace_back((q.x - cx) * scale, (q.y - cy) * scale);
        out.push_back(std::move(line));
    }
    return out;
}
