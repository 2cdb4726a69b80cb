#pragma once
// The touch callbacks every touch source feeds (Qt touch events, TUIO, a stylus eraser).
//
// Coordinates are window pixels with the origin at the top-left corner and y growing down; the
// receiver flips them into table coordinates. The pointer index of a contact is
// (pointerId >> 8) & 1, so sources pass index << 8. z is a device value passed through.
class TouchEventHandler {
public:
    virtual ~TouchEventHandler() = default;
    virtual void OnXYDown(int x, int y, int z, int pointerId) = 0;
    virtual void OnXYMove(int x, int y, int z, int pointerId) = 0;
    virtual void OnXYUp(int x, int y, int z, int pointerId) = 0;
    // The contact's extent in window pixels, reported before the down or move it belongs to.
    virtual void OnDViTRawWidthHeight(int first, int second, int pointerId) = 0;
    virtual void OnEraser(int pointerId) = 0;
    virtual void OnPen(int pointerId) = 0;
    virtual void OnNoTool(int pointerId) = 0;
};
