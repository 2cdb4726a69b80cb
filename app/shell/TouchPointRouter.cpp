#include "TouchPointRouter.h"

#include <QPointingDevice>
#include <QTouchEvent>

#include <cmath>

void TouchPointRouter::pointPressed(int id, int x, int y, double width, double height)
{
    if (points_.count(id)) return; // a repeated press of a tracked point is a move
    int pointer = -1;
    for (int i = 0; i < 2; ++i) {
        if (!pointerUsed_[i]) {
            pointer = i;
            break;
        }
    }
    if (pointer < 0) return;
    pointerUsed_[pointer] = true;
    Point& p = points_[id] = Point{pointer, x, y, 0, 0};
    reportSize(p, width, height);
    handler_->OnXYDown(x, y, 0, pointer << 8);
}

void TouchPointRouter::pointMoved(int id, int x, int y, double width, double height)
{
    auto it = points_.find(id);
    if (it == points_.end()) return;
    Point& p = it->second;
    reportSize(p, width, height);
    if (x == p.x && y == p.y) return;
    p.x = x;
    p.y = y;
    handler_->OnXYMove(x, y, 0, p.pointer << 8);
}

void TouchPointRouter::pointReleased(int id, int x, int y)
{
    auto it = points_.find(id);
    if (it == points_.end()) return;
    const int pointer = it->second.pointer;
    points_.erase(it);
    pointerUsed_[pointer] = false;
    handler_->OnXYUp(x, y, 0, pointer << 8);
}

void TouchPointRouter::cancelAll()
{
    auto points = points_;
    for (const auto& entry : points) pointReleased(entry.first, entry.second.x, entry.second.y);
}

void TouchPointRouter::reportSize(Point& p, double width, double height)
{
    const int w = static_cast<int>(std::lround(width));
    const int h = static_cast<int>(std::lround(height));
    if (w <= 0 || h <= 0 || (w == p.w && h == p.h)) return;
    p.w = w;
    p.h = h;
    handler_->OnDViTRawWidthHeight(w, h, p.pointer << 8);
}

void TouchPointRouter::handle(const QTouchEvent& event, double pixelRatio)
{
    if (event.type() == QEvent::TouchCancel) {
        cancelAll();
        return;
    }
    const QPointingDevice* device = event.pointingDevice();
    const bool hasArea =
        device && device->capabilities().testFlag(QInputDevice::Capability::Area);
    for (const QEventPoint& point : event.points()) {
        const int x = static_cast<int>(std::floor(point.position().x() * pixelRatio));
        const int y = static_cast<int>(std::floor(point.position().y() * pixelRatio));
        const QSizeF d = hasArea ? point.ellipseDiameters() * pixelRatio : QSizeF(0, 0);
        switch (point.state()) {
        case QEventPoint::Pressed:
            pointPressed(point.id(), x, y, d.width(), d.height());
            break;
        case QEventPoint::Updated:
        case QEventPoint::Stationary:
            pointMoved(point.id(), x, y, d.width(), d.height());
            break;
        case QEventPoint::Released:
            pointReleased(point.id(), x, y);
            break;
        default:
            break;
        }
    }
}
