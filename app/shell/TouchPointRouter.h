#pragma once
// Routes the touch points of a multi-touch screen (Qt touch events) to the touch callbacks.
//
// Like the original board, the first two simultaneous points become pointers 0 and 1; further
// points are ignored until a pointer is free. Positions are window pixels (origin top left,
// y down) already multiplied by the device pixel ratio. Sizes are the contact's diameters in
// the same pixels, or 0 where the device reports no area; a size is reported only when known.

#include "TouchEventHandler.h"

#include <map>

class QTouchEvent;

class TouchPointRouter {
public:
    explicit TouchPointRouter(TouchEventHandler* handler) : handler_(handler) {}

    void pointPressed(int id, int x, int y, double width, double height);
    void pointMoved(int id, int x, int y, double width, double height);
    void pointReleased(int id, int x, int y);
    // Releases every tracked point at its last position (touch cancel, focus loss).
    void cancelAll();

    // Feeds a TouchBegin/Update/End/Cancel event; pixelRatio converts logical positions.
    void handle(const QTouchEvent& event, double pixelRatio);

    int trackedPoints() const { return static_cast<int>(points_.size()); }

private:
    struct Point {
        int pointer;
        int x, y;
        int w, h;
    };
    void reportSize(Point& p, double width, double height);

    TouchEventHandler* handler_;
    std::map<int, Point> points_; // by touch point id
    bool pointerUsed_[2] = {false, false};
};
