#include "HockeyPhysics.h"

#include "core/BufferTemplate.h"

#include <algorithm>
#include <cmath>

namespace hockey {

Strip frictionStrip(unsigned int width, unsigned int height)
{
    const double w = width;
    const double h = height;
    return {static_cast<unsigned int>(0.5 * w - 0.05 * w), static_cast<unsigned int>(0.5 * w + 0.05 * w),
            static_cast<unsigned int>(0.5 * h - 0.2 * h), static_cast<unsigned int>(0.5 * h + 0.2 * h)};
}

void fillFrictionMap(BufferTemplate<float>& map, double friction)
{
    map.fillEntireBuffer(static_cast<float>(friction));
    const Strip s = frictionStrip(map.getWidth(), map.getHeight());
    if (s.x0 >= s.x1) return;
    for (unsigned int y = s.y0; y < s.y1; ++y)
        for (unsigned int x = s.x0; x < s.x1; ++x) map.setValue(x, y, kStripFriction);
}

unsigned int paddleCount(const BufferTemplate<float>& table)
{
    if (table.getWidth() < kPaddleColumns || table.getHeight() < 2) return 0;
    const float count = table.getValue(0u, 0u);
    // A count beyond the table's rows (or a garbled one) never sends a reader past the grid.
    if (!(count > 0.0f)) return 0;
    return static_cast<unsigned int>(std::min<double>(count, table.getHeight() - 1));
}

unsigned int registerPaddle(BufferTemplate<float>& table, unsigned int row)
{
    if (table.getWidth() < kPaddleColumns || table.getHeight() < 2) return 0;
    const float count = std::max(table.getValue(0u, 0u), 0.0f);
    if (row <= count && row >= 1 && row < table.getHeight()) return row;
    const unsigned int next = static_cast<unsigned int>(count + 1.0f);
    if (next >= table.getHeight()) return 0;
    table.setValue(0u, 0u, static_cast<float>(next));
    return next;
}

void writePaddleRow(BufferTemplate<float>& table, unsigned int row, const PaddleRow& p)
{
    if (row == 0 || row >= table.getHeight() || table.getWidth() < kPaddleColumns) return;
    const double values[kPaddleColumns] = {p.radius, p.radiusSquared, p.x, p.y, p.dx, p.dy};
    for (unsigned int c = 0; c < kPaddleColumns; ++c)
        table.setValue(c, row, static_cast<float>(values[c]));
}

PaddleRow readPaddleRow(const BufferTemplate<float>& table, unsigned int row)
{
    return {table.getValue(0u, row), table.getValue(1u, row), table.getValue(2u, row),
            table.getValue(3u, row), table.getValue(4u, row), table.getValue(5u, row)};
}

bool collideWithPaddle(Puck& puck, const PaddleRow& paddle)
{
    const double dx = puck.x - paddle.x;
    const double dy = puck.y - paddle.y;
    const double reach = (puck.radius + paddle.radius) * (puck.radius + paddle.radius);
    const double distanceSquared = dx * dx + dy * dy;
    if (distanceSquared < reach) {
        puck.vx += 0.4 * paddle.dx;
        puck.vy += 0.4 * paddle.dy;
        return false;
    }
    const double speedSquared = puck.vx * puck.vx + puck.vy * puck.vy;
    if (speedSquared <= 0.001) return false;
    // Contact time t along x + t·v: |d + t·v|² = reach.
    const double b = (puck.vx * dx + puck.vy * dy) / speedSquared;
    const double disc = b * b - (distanceSquared - reach) / speedSquared;
    if (disc < 0.0) return false;
    const double root = std::sqrt(disc);
    const double later = root - b;
    const double earlier = -b - root;
    double t;
    if (earlier >= 0.0)
        t = earlier;
    else if (later >= 0.0)
        t = later;
    else
        return false;
    if (t > 1.0) return false;

    puck.x += t * puck.vx;
    puck.y += t * puck.vy;
    double nx = puck.x - paddle.x;
    double ny = puck.y - paddle.y;
    const double length = std::sqrt(nx * nx + ny * ny);
    if (length > 0.0) {
        nx /= length;
        ny /= length;
    }
    const double along = puck.vx * nx + puck.vy * ny;
    puck.vx = puck.vx - 2.0 * along * nx + paddle.dx;
    puck.vy = puck.vy - 2.0 * along * ny + paddle.dy;
    puck.x += (1.0 - t) * puck.vx;
    puck.y += (1.0 - t) * puck.vy;
    return true;
}

void limitSpeed(Puck& puck, double maxSpeed, double maxSpeedSquared)
{
    const double speedSquared = puck.vx * puck.vx + puck.vy * puck.vy;
    if (speedSquared <= maxSpeedSquared) return;
    const double scale = maxSpeed / std::sqrt(speedSquared);
    puck.vx *= scale;
    puck.vy *= scale;
}

bool crossesGoal(const Puck& puck, double width, double lowerGoal, double upperGoal)
{
    const double r = puck.radius;
    const double right = width - r;
    const double px = puck.x - puck.vx;
    const double py = puck.y - puck.vy;
    // A puck resting beyond an edge crossed nothing this frame.
    if (puck.vx == 0.0) return false;
    double s;
    if (puck.x > right)
        s = (right - px) / puck.vx;
    else if (puck.x < r)
        s = (r - px) / puck.vx;
    else
        return false;
    const double height = s * puck.vy + py;
    return height > lowerGoal && height < upperGoal;
}

void bounceOffWalls(Puck& puck, double width, double height)
{
    const double r = puck.radius;
    const double right = width - r;
    const double top = height - r;
    if (puck.x < r) {
        puck.x = 2.0 * r - puck.x;
        puck.vx = -puck.vx;
    }
    if (puck.y < r) {
        puck.y = 2.0 * r - puck.y;
        puck.vy = -puck.vy;
    }
    if (puck.x > right) {
        puck.x = 2.0 * right - puck.x;
        puck.vx = -puck.vx;
    }
    if (puck.y > top) {
        puck.y = 2.0 * top - puck.y;
        puck.vy = -puck.vy;
    }
}

} // namespace hockey
