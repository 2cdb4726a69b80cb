#pragma once
// PointerInput: the touch callbacks of every touch source (Qt touch screen, TUIO, stylus) turned
// into pointer events on the controller, as the board's SDK callbacks were: the window's y axis
// is flipped, a move that jumps more than 200 pixels is reported at the last accepted position,
// and the contact size goes to the controller. Needs no graphics context.
//
// Coordinates: the callbacks receive window pixels (origin top left, y down, already multiplied
// by the device pixel ratio); the controller receives table pixels,
// y_table = surfaceHeight - 1 - y_window, with negative values clamped to 0.
// Pointers: the index of a contact is (pointerId >> 8) & 1. The controller's admitPointer
// decides whether the index names a configured user; only then is the index's own state (the
// last accepted position) touched, so a contact beyond the configured users is dropped whole.
// Ownership: none. The controller belongs to the builder and is replaced on a scene change;
// setController must follow it.

#include "TouchEventHandler.h"

#include <functional>
#include <vector>

class TabletopVis;

class PointerInput : public TouchEventHandler {
public:
    // A move that jumps further than this (squared, in pixels) is reported at the last
    // accepted position.
    static constexpr long kMaxJumpSquared = 40000;

    // The controller to feed (null: input is dropped); one last position per user.
    void setController(TabletopVis* vis);
    TabletopVis* controller() const { return vis_; }
    // Height of the drawing surface in pixels, for the y flip.
    void setSurfaceHeight(int height) { surfaceHeight_ = height; }
    // Contact side (board units) given to a touch whose source reports no size: most TUIO
    // trackers send cursors without blobs and many screens report no area, and such a contact
    // touches like one finger. A size reported later in the touch takes over from there.
    // Unset: no size is given.
    void setUnsizedContactSide(std::function<double()> side) { unsizedSide_ = std::move(side); }

    void OnXYDown(int x, int y, int z, int pointerId) override;
    void OnXYMove(int x, int y, int z, int pointerId) override;
    void OnXYUp(int x, int y, int z, int pointerId) override;
    // Contact extent: first is the height, second the width, as the board reports them.
    void OnDViTRawWidthHeight(int first, int second, int pointerId) override;
    void OnEraser(int pointerId) override;
    void OnPen(int pointerId) override;
    void OnNoTool(int pointerId) override;

    bool isEraserActive() const { return eraserActive_; }
    // The last contact size reported for an admitted pointer (0 before any).
    int lastContactFirst() const { return contactFirst_; }
    int lastContactSecond() const { return contactSecond_; }

private:
    static unsigned int pointerIndex(int pointerId) { return (pointerId >> 8) & 1; }
    unsigned int tableY(int windowY) const;

    TabletopVis* vis_ = nullptr;
    int surfaceHeight_ = 1;
    std::vector<int> lastTouchX_;
    std::vector<int> lastTouchY_;
    // Per pointer: the source reported a contact size since the last press.
    std::vector<bool> contactSized_;
    std::function<double()> unsizedSide_;
    int contactFirst_ = 0;
    int contactSecond_ = 0;
    bool eraserActive_ = false;
};
