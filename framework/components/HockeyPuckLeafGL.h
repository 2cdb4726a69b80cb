#pragma once
// HockeyPuckLeafGL: an air-hockey puck that moves by itself. Each animated frame it bounces off
// the paddles registered in its rink's paddle table, keeps below its top speed, moves, scores a
// goal when it leaves through an opening of the left or right screen edge (a bell on standard
// output, then it rests at the screen centre), bounces off the screen edges and slows down by
// the rink's friction map at its place. Without a rink it ignores paddles and goals and slows
// down by the controller's tossing factor. It cannot be picked. The rules are in HockeyPhysics.h.
//
// Coordinates: table pixels; velocity in pixels per frame. The class-wide display list is built
// for a unit diameter with the first puck's segment count and scaled by each puck's diameter.
// Threads: the goal bell is written by a short-lived thread of the puck, joined before the next
// one starts and when the puck is destroyed; it shares nothing but standard output.
// Context: construct, draw and destroy with the controller's OpenGL context current.

#include "vis/VisComponentGL.h"

#include <thread>

class HockeyPuckLeafGL : public VisComponentGL {
public:
    // A direction shorter than 0.1 becomes (1, 0).
    HockeyPuckLeafGL(TabletopVisGL* vis, double diameter, double speed, double maxSpeed,
                     double directionX, double directionY, bool rnt, bool tossing, double x,
                     double y, double z);
    ~HockeyPuckLeafGL() override;

    double getDiameter() const { return diameter; }
    double getRadius() const { return radius; }
    double getSpeed() const { return speed; }
    double getMaxSpeed() const { return maxSpeed; }
    double getVX() const { return vx; }
    double getVY() const { return vy; }
    void setVelocity(double x, double y) { vx = x; vy = y; }
    int getSegments() const { return segments; }
    // 25 below a diameter of 80, else trunc(360 / asin(20 / diameter)° + 0.5).
    static int segmentsFor(double diameter);
    static unsigned int getNumberOfPucks() { return _numberOfPucks; }
    // Waits until the bell of the last goal has been written.
    void waitForGoalSound();

protected:
    void animateMyself(double f) override;
    void specificRender() override;
    void specificRenderForPicking() override {}
    void initialize() override;
    // The base subscription (friction map, tag 17) and the paddle table (tag 18).
    void initializePassiveBuffers() override;

    double diameter;
    double radius;
    double speed;
    double maxSpeed;
    double maxSpeedSquared;
    double vx = 0.0;
    double vy = 0.0;
    int segments;
    float colors[3][4] = {{1.0f, 1.0f, 1.0f, 1.0f}, {0.7f, 0.7f, 0.7f, 1.0f}, {0.8f, 0.0f, 0.0f, 1.0f}};
    std::thread goalSound;

    static unsigned int _baseDL;
    static unsigned int _numberOfPucks;
};
