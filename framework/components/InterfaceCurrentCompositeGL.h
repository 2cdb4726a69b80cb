#pragma once
// InterfaceCurrentCompositeGL: a bounded container that steers its children through fields.
// With an inside boundary it is a belt: children ride around the ring at the belt's speed, turn
// with its outline and shrink to fit it; a swipe along the ring sets the speed (a tap stops it).
// Without one it is a pool: children stay where they were dropped.
//
// The fields (absolute size 2, direction 5, orientation 7) are rebuilt only when the shape or the
// speed changes, on two threads (see CurrentField), and the direction field is then written to
// "currentdirectionbuffer0.ppm" in the working directory for inspection.

#include "BoundedContainerGL.h"

class InterfaceCurrentCompositeGL : public BoundedContainerGL {
public:
    InterfaceCurrentCompositeGL(TabletopVisGL* vis, double width, double height, bool rnt,
                                bool toss, double x, double y, double z,
                                unsigned int controlPointCount, unsigned int splineLevel,
                                bool hasInsideBoundary, bool rounded);

    // A body touch starts a swipe (returns 1: the current stays in place); other touches act as
    // on any container.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    // Ending a swipe sets the speed from its length and sense and rebuilds the fields.
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    // Signed belt speed in pixels per frame step.
    double getSpeed() const { return speed; }
    double getWallStrength() const { return wallStrength; }

protected:
    void createActiveBuffers() override;
    void renderInActiveBuffers() override;
    // Rebuilds the three fields from the outline and the speed.
    void renderInActiveBuffersLocal();

    double speed = 1.0;
    double wallStrength = 15.0;
    float swipeDirection[2] = {0.0f, 0.0f};
    double swipeStartX = 0.0;
    double swipeStartY = 0.0;
    unsigned int lastHitCode = 0;
    bool gestureStarted = false;
    bool swiping = false;
};
