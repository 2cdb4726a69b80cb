#include "TaskPopulation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCandidates = 4096;

struct Rect {
    double x0, y0, x1, y1;
    bool contains(double x, double y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

Rect areaRect(const TaskDescription& t, std::size_t i, double widen)
{
    return {std::min(t.startX[i], t.endX[i]) - widen, std::min(t.startY[i], t.endY[i]) - widen,
            std::max(t.startX[i], t.endX[i]) + widen, std::max(t.startY[i], t.endY[i]) + widen};
}

} // namespace

bool insideTargetArea(const TaskDescription& t, int area, double x, double y)
{
    if (area < 0 || area >= t.numberOfTargetAreas) return false;
    const auto i = static_cast<std::size_t>(area);
    const double r = std::trunc(t.diameter[i] * 0.5);
    const double sx = t.startX[i], sy = t.startY[i], ex = t.endX[i], ey = t.endY[i];
    // Distance to the stretch from start to end (a point for a disc).
    const double dx = ex - sx, dy = ey - sy;
    const double length2 = dx * dx + dy * dy;
    double u = length2 > 0.0 ? ((x - sx) * dx + (y - sy) * dy) / length2 : 0.0;
    u = std::clamp(u, 0.0, 1.0);
    const double px = sx + u * dx - x, py = sy + u * dy - y;
    return px * px + py * py <= r * r;
}

bool insideAnyTargetArea(const TaskDescription& t, double x, double y)
{
    for (int a = 0; a < t.numberOfTargetAreas; ++a)
        if (insideTargetArea(t, a, x, y)) return true;
    return false;
}

bool populatesOutsideTargetAreas(const TaskDescription& t) { return t.taskType == 0; }

std::vector<TaskPoint> scatterForTask(const TaskDescription& t, double w, double h,
                                      int (*rand15)())
{
    std::vector<TaskPoint> points;
    const bool outside = populatesOutsideTargetAreas(t);
    for (int a = 0; a < t.numberOfTargetAreas; ++a) {
        const auto i = static_cast<std::size_t>(a);
        const bool disc = t.startX[i] == t.endX[i] && t.startY[i] == t.endY[i];
        const double r = std::trunc(t.diameter[i] * 0.5);
        int accepted = 0;
        for (int c = 0; c < kCandidates && accepted < t.elementsInitNumber; ++c) {
            const double x = rand15() / 32767.0 * w;
            const double y = rand15() / 32767.0 * h;
            if (!(x > 0.0 && x < w && y > 0.0 && y < h)) continue;
            bool keep;
            if (outside) {
                // Outside every area, not only this one's.
                keep = true;
                for (std::size_t o = 0; o < static_cast<std::size_t>(t.numberOfTargetAreas); ++o)
                    if (areaRect(t, o, t.diameter[o]).contains(x, y)) keep = false;
            }
            else if (disc)
                keep = std::hypot(x - t.startX[i], y - t.startY[i]) <= r;
            else
                keep = areaRect(t, i, r).contains(x, y);
            if (!keep) continue;
            points.push_back({x, y});
            ++accepted;
        }
    }
    return points;
}
