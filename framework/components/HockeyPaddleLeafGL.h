#pragma once
// HockeyPaddleLeafGL: an air-hockey paddle, a disk of `diameter` that a finger drags (every
// touch answers hit code 3: the controller moves it and tosses it on release). Under a rink it
// owns one row of the rink's paddle table (HockeyPhysics.h) from its first frame on and writes
// its radius, position and movement since the previous frame there every frame; pucks read it.
// It stays a radius inside the controller's screen.
//
// Coordinates: table pixels; drawn in its centred frame. The class-wide display lists are
// built for a unit diameter by the first paddle and scaled by each paddle's own diameter; the
// last paddle deletes them.
// Context: construct, draw and destroy with the controller's OpenGL context current.

#include "vis/VisComponentGL.h"

class HockeyPaddleLeafGL : public VisComponentGL {
public:
    HockeyPaddleLeafGL(TabletopVisGL* vis, double diameter, bool rnt, bool tossing, double x,
                       double y, double z);
    ~HockeyPaddleLeafGL() override;

    unsigned int hitLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int) override
    {
        return 3;
    }
    unsigned int releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                    unsigned int) override
    {
        return 3;
    }
    // Registers in the parent's paddle table when needed and writes this paddle's row.
    void renderIntoBuffers() override;

    double getDiameter() const { return diameter; }
    double getRadius() const { return radius; }
    // Row in the paddle table; 10000 until registered.
    unsigned int getTableRow() const { return tableRow; }
    static unsigned int getNumberOfPaddles() { return _numberOfPaddles; }

protected:
    // The base animation (dragging, tossing), then the clamp into the screen.
    void animateMyself(double f) override;
    void specificRender() override;
    void specificRenderForPicking() override;
    void initialize() override;
    // The base subscription, plus the paddle table (tag 18).
    void initializePassiveBuffers() override;

    double diameter;
    double radius;
    int segments = 45;
    int pickingSegments = 18;
    double lastX;
    double lastY;
    unsigned int tableRow = 10000;

    static unsigned int _baseDL;
    static unsigned int _highlightDL;
    static unsigned int _pickingDL;
    static unsigned int _numberOfPaddles;
};
