#include "PointerInput.h"

#include "vis/TabletopVis.h"

#include <algorithm>

void PointerInput::setController(TabletopVis* vis)
{
    vis_ = vis;
    const unsigned int users = vis ? vis->getNumberOfUsers() : 0;
    lastTouchX_.assign(users, 0);
    lastTouchY_.assign(users, 0);
    contactSized_.assign(users, false);
}

unsigned int PointerInput::tableY(int windowY) const
{
    // In long: a window y far outside the surface must not overflow.
    return static_cast<unsigned int>(std::max(0L, long(surfaceHeight_) - 1 - windowY));
}

void PointerInput::OnXYDown(int x, int y, int z, int pointerId)
{
    const unsigned int index = pointerIndex(pointerId);
    if (!vis_ || !vis_->admitPointer(index)) return;
    vis_->resizeTouchIndicator(index, 0.0, 0.0);
    lastTouchX_[index] = x;
    lastTouchY_[index] = y;
    if (!contactSized_[index] && unsizedSide_) {
        const double side = unsizedSide_();
        vis_->setTouchBoundHeight(static_cast<int>(index), side);
        vis_->setTouchBoundWidth(static_cast<int>(index), side);
    }
    vis_->devicePress(static_cast<unsigned int>(std::max(0, x)), tableY(y),
                      static_cast<unsigned int>(z), index);
}

void PointerInput::OnXYMove(int x, int y, int z, int pointerId)
{
    const unsigned int index = pointerIndex(pointerId);
    if (!vis_ || !vis_->admitPointer(index)) return;
    vis_->resizeTouchIndicator(index, 0.0, 0.0);
    const long dx = static_cast<long>(x) - lastTouchX_[index];
    const long dy = static_cast<long>(y) - lastTouchY_[index];
    if (dx * dx + dy * dy <= kMaxJumpSquared) {
        lastTouchX_[index] = x;
        lastTouchY_[index] = y;
    }
    vis_->deviceMove(static_cast<unsigned int>(std::max(0, lastTouchX_[index])),
                     tableY(lastTouchY_[index]), static_cast<unsigned int>(z), index);
}

void PointerInput::OnXYUp(int x, int y, int z, int pointerId)
{
    const unsigned int index = pointerIndex(pointerId);
    if (!vis_ || !vis_->admitPointer(index)) return;
    vis_->resizeTouchIndicator(index, 0.0, 0.0);
    contactSized_[index] = false;
    vis_->deviceRelease(static_cast<unsigned int>(std::max(0, x)), tableY(y),
                        static_cast<unsigned int>(z), index);
}

void PointerInput::OnDViTRawWidthHeight(int first, int second, int pointerId)
{
    const unsigned int index = pointerIndex(pointerId);
    if (!vis_ || !vis_->admitPointer(index)) return;
    vis_->setTouchBoundHeight(static_cast<int>(index), first);
    vis_->setTouchBoundWidth(static_cast<int>(index), second);
    if (first > 0 && second > 0) contactSized_[index] = true;
    contactFirst_ = first;
    contactSecond_ = second;
}

void PointerInput::OnEraser(int) { eraserActive_ = true; }
void PointerInput::OnPen(int) { eraserActive_ = false; }
void PointerInput::OnNoTool(int) { eraserActive_ = false; }
