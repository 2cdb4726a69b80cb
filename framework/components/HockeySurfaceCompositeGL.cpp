#include "HockeySurfaceCompositeGL.h"

#include "HockeyPhysics.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

HockeySurfaceCompositeGL::HockeySurfaceCompositeGL(TabletopVisGL* vis, unsigned int width,
                                                   unsigned int height, double x, double y,
                                                   double z, double borderSize,
                                                   double overflowSize, double friction_)
    : SurfaceCompositeGL(vis, width, height, x, y, z, borderSize, overflowSize), friction(friction_)
{
    // The base constructor could only make the surface's own buffers and lists.
    buildOrRebuildRenderDisplayLists();
    recreateActiveBuffers();
}

HockeySurfaceCompositeGL::~HockeySurfaceCompositeGL()
{
    if (markingsList) glDeleteLists(markingsList, 1);
}

double HockeySurfaceCompositeGL::getLowerGoalHeight() const
{
    const double h = getHalfHeight();
    return h - h * goalFraction - overflowSize;
}

double HockeySurfaceCompositeGL::getUpperGoalHeight() const
{
    const double h = getHalfHeight();
    return h + h * goalFraction - overflowSize;
}

void HockeySurfaceCompositeGL::createActiveBuffers()
{
    SurfaceCompositeGL::createActiveBuffers();
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    auto* table = new BufferTemplate<float>(1, 0);
    table->setSizeAndAllocateMemory(w, h);
    table->fillEntireBuffer(0.0f);
    setActiveBuffer(TOOL_STATE_BUFFER, table);
    auto* map = new BufferTemplate<float>(1, 0);
    map->setSizeAndAllocateMemory(w, h);
    hockey::fillFrictionMap(*map, friction);
    setActiveBuffer(TOSSING_FRICTION_BUFFER, map);
}

namespace {

void circle(double cx, double cy, double r, GLenum mode, int segments)
{
    glBegin(mode);
    if (mode == GL_TRIANGLE_FAN) glVertex2d(cx, cy);
    for (int i = 0; i <= segments; ++i) {
        const double a = 2.0 * M_PI * i / segments;
        glVertex2d(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    glEnd();
}

} // namespace

void HockeySurfaceCompositeGL::buildOrRebuildRenderDisplayLists()
{
    SurfaceCompositeGL::buildOrRebuildRenderDisplayLists();
    if (markingsList) glDeleteLists(markingsList, 1);
    markingsList = glGenLists(1);

    // The visible screen in the rink's centred frame, and the goal openings on its side edges.
    const double vx = getHalfWidth() - overflowSize;
    const double vy = getHalfHeight() - overflowSize;
    const double goalLow = getLowerGoalHeight() - getYPos();
    const double goalHigh = getUpperGoalHeight() - getYPos();
    const double crease = goalDepth * 2.0 * vx;
    const hockey::Strip strip = hockey::frictionStrip(getBufferWidth(), getBufferHeight());
    // Buffer cell c lies at local c − 1.5; the centred frame starts at −half width.
    const double sx0 = strip.x0 - 1.5 - getHalfWidth(), sx1 = strip.x1 - 1.5 - getHalfWidth();
    const double sy0 = strip.y0 - 1.5 - getHalfHeight(), sy1 = strip.y1 - 1.5 - getHalfHeight();

    glNewList(markingsList, GL_COMPILE);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Pale ice inside the border, so that white pucks stand out on a white table.
    glColor4f(0.55f, 0.7f, 0.85f, 0.35f);
    glRectd(-vx + borderSize, -vy + borderSize, vx - borderSize, vy - borderSize);
    // The slow strip, faintly.
    glColor4f(0.3f, 0.6f, 1.0f, 0.18f);
    glRectd(sx0, sy0, sx1, sy1);
    // Goal creases.
    glColor4f(0.9f, 0.2f, 0.2f, 0.25f);
    glRectd(-vx, goalLow, -vx + crease, goalHigh);
    glRectd(vx - crease, goalLow, vx, goalHigh);
    glLineWidth(3.0f);
    glColor4f(0.9f, 0.2f, 0.2f, 0.9f);
    glBegin(GL_LINES); // centre line
    glVertex2d(0.0, -vy);
    glVertex2d(0.0, vy);
    glEnd();
    glColor4f(0.3f, 0.5f, 1.0f, 0.9f);
    circle(0.0, 0.0, 0.15 * std::min(vx, vy) * 2.0, GL_LINE_STRIP, 72);
    glBegin(GL_LINE_STRIP);
    glVertex2d(-vx, goalLow);
    glVertex2d(-vx + crease, goalLow);
    glVertex2d(-vx + crease, goalHigh);
    glVertex2d(-vx, goalHigh);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex2d(vx, goalLow);
    glVertex2d(vx - crease, goalLow);
    glVertex2d(vx - crease, goalHigh);
    glVertex2d(vx, goalHigh);
    glEnd();
    // The openings themselves.
    glLineWidth(8.0f);
    glColor4f(1.0f, 0.85f, 0.1f, 1.0f);
    glBegin(GL_LINES);
    glVertex2d(-vx + 2.0, goalLow);
    glVertex2d(-vx + 2.0, goalHigh);
    glVertex2d(vx - 2.0, goalLow);
    glVertex2d(vx - 2.0, goalHigh);
    glEnd();
    glPopAttrib();
    glEndList();
}

void HockeySurfaceCompositeGL::specificRenderAdditional()
{
    if (markingsList) glCallList(markingsList);
}
