#include "HockeyPuckLeafGL.h"

#include "HockeyPhysics.h"
#include "HockeySurfaceCompositeGL.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <iostream>

unsigned int HockeyPuckLeafGL::_baseDL = 0;
unsigned int HockeyPuckLeafGL::_numberOfPucks = 0;

HockeyPuckLeafGL::HockeyPuckLeafGL(TabletopVisGL* vis, double diameter_, double speed_,
                                   double maxSpeed_, double directionX, double directionY,
                                   bool rnt, bool tossing, double x, double y, double z)
    : VisComponentGL(vis, diameter_, diameter_, rnt, tossing, x, y, z),
      diameter(diameter_),
      radius(diameter_ * 0.5),
      speed(speed_),
      maxSpeed(maxSpeed_),
      maxSpeedSquared(maxSpeed_ * maxSpeed_),
      segments(segmentsFor(diameter_))
{
    double dx = directionX;
    double dy = directionY;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.1) {
        dx /= length;
        dy /= length;
    } else {
        dx = 1.0;
        dy = 0.0;
    }
    vx = dx * speed;
    vy = dy * speed;
    initialize();
    initializePassiveBuffers();
}

HockeyPuckLeafGL::~HockeyPuckLeafGL()
{
    waitForGoalSound();
    if (_numberOfPucks > 0 && --_numberOfPucks == 0) {
        if (_baseDL) glDeleteLists(_baseDL, 1);
        _baseDL = 0;
    }
}

int HockeyPuckLeafGL::segmentsFor(double diameter)
{
    if (!(diameter >= 80.0)) return 25;
    const double degrees = std::asin(20.0 / diameter) * 180.0 / M_PI;
    return static_cast<int>(360.0 / degrees + 0.5);
}

void HockeyPuckLeafGL::waitForGoalSound()
{
    if (goalSound.joinable()) goalSound.join();
}

void HockeyPuckLeafGL::initialize()
{
    if (_numberOfPucks == 0) {
        const int n = segments;
        auto ring = [n](double r) {
            for (int i = 0; i <= n; ++i) {
                const double a = 2.0 * M_PI * i / n;
                glVertex2d(r * std::cos(a), r * std::sin(a));
            }
        };
        _baseDL = glGenLists(1);
        glNewList(_baseDL, GL_COMPILE);
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT);
        glDisable(GL_TEXTURE_2D);
        glColor4fv(colors[0]);
        glBegin(GL_TRIANGLE_FAN);
        glVertex2d(0.0, 0.0);
        ring(0.5);
        glEnd();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glShadeModel(GL_SMOOTH);
        glBegin(GL_TRIANGLE_FAN);
        glColor4fv(colors[0]);
        glVertex2d(0.0, 0.0);
        glColor4fv(colors[1]);
        ring(0.4);
        glEnd();
        glLineWidth(1.0f);
        glColor4fv(colors[1]);
        for (double r : {0.4, 0.5}) {
            glBegin(GL_LINE_STRIP);
            ring(r);
            glEnd();
        }
        glPopAttrib();
        glEndList();
    }
    ++_numberOfPucks;
}

void HockeyPuckLeafGL::initializePassiveBuffers()
{
    VisComponentGL::initializePassiveBuffers();
    setPassiveBuffer(TOOL_STATE_BUFFER, nullptr);
    setPassiveBuffer(TOSSING_FRICTION_BUFFER, nullptr);
}

void HockeyPuckLeafGL::animateMyself(double)
{
    TabletopVis* vis = getController();
    hockey::Puck puck{getXPos(), getYPos(), vx, vy, radius};
    VisComponent* rink = getParent();

    bool moved = false;
    if (rink) {
        if (const BufferTemplate<float>* table = getPassiveBufferAs<float>(TOOL_STATE_BUFFER)) {
            const unsigned int count = hockey::paddleCount(*table);
            for (unsigned int row = 1; row <= count; ++row)
                moved = hockey::collideWithPaddle(puck, hockey::readPaddleRow(*table, row)) || moved;
        }
    }
    hockey::limitSpeed(puck, maxSpeed, maxSpeedSquared);
    if (!moved) {
        puck.x += puck.vx;
        puck.y += puck.vy;
    }

    const double w = vis ? vis->getScreenWidth() : 0.0;
    const double h = vis ? vis->getScreenHeight() : 0.0;
    auto* surface = dynamic_cast<HockeySurfaceCompositeGL*>(rink);
    if (surface && vis &&
        hockey::crossesGoal(puck, w, surface->getLowerGoalHeight(), surface->getUpperGoalHeight())) {
        waitForGoalSound();
        goalSound = std::thread([] { std::cout << '\a' << std::endl; });
        vx = vy = 0.0;
        setPos(w * 0.5, h * 0.5);
        return;
    }
    if (vis) hockey::bounceOffWalls(puck, w, h);

    // Off the rink, or on a parent without a friction map: the controller's tossing factor.
    double slowdown = vis ? vis->getTossingSlowdownFactor() : 1.0;
    if (rink) {
        if (const BufferTemplate<float>* map = getPassiveBufferAs<float>(TOSSING_FRICTION_BUFFER)) {
            double lx, ly;
            rink->getLocalCoordinates(puck.x, puck.y, rink->getWidth(), rink->getHeight(), &lx,
                                      &ly);
            const auto cell = [](double v, unsigned int size) {
                const double c = std::trunc(v + 0.5);
                return static_cast<unsigned int>(std::clamp(c, 0.0, size - 1.0));
            };
            if (map->getWidth() > 0 && map->getHeight() > 0)
                slowdown = map->getValue(cell(lx, map->getWidth()), cell(ly, map->getHeight()));
        }
    }
    vx = puck.vx * slowdown;
    vy = puck.vy * slowdown;
    setPos(puck.x, puck.y);
}

void HockeyPuckLeafGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    glScaled(diameter, diameter, 1.0);
    glCallList(_baseDL);
    glPopMatrix();
}
