#include "HockeyPaddleLeafGL.h"

#include "HockeyPhysics.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

unsigned int HockeyPaddleLeafGL::_baseDL = 0;
unsigned int HockeyPaddleLeafGL::_highlightDL = 0;
unsigned int HockeyPaddleLeafGL::_pickingDL = 0;
unsigned int HockeyPaddleLeafGL::_numberOfPaddles = 0;

namespace {

void disk(double r, int segments)
{
    glBegin(GL_TRIANGLE_FAN);
    glVertex2d(0.0, 0.0);
    for (int i = 0; i <= segments; ++i) {
        const double a = 2.0 * M_PI * i / segments;
        glVertex2d(r * std::cos(a), r * std::sin(a));
    }
    glEnd();
}

void loop(double r, int segments)
{
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < segments; ++i) {
        const double a = 2.0 * M_PI * i / segments;
        glVertex2d(r * std::cos(a), r * std::sin(a));
    }
    glEnd();
}

// Concentric disks at 0.5, 0.4 and 0.2 of a unit diameter, each with its outline.
void paddleDisks(const float (*fills)[3], const float* outline, int segments)
{
    const double radii[3] = {0.5, 0.4, 0.2};
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(1.5f);
    for (int k = 0; k < 3; ++k) {
        glColor3fv(fills[k]);
        disk(radii[k], segments);
        glColor3fv(outline);
        loop(radii[k], segments);
    }
    glPopAttrib();
}

} // namespace

HockeyPaddleLeafGL::HockeyPaddleLeafGL(TabletopVisGL* vis, double diameter_, bool rnt,
                                       bool tossing, double x, double y, double z)
    : VisComponentGL(vis, diameter_, diameter_, rnt, tossing, x, y, z),
      diameter(diameter_),
      radius(diameter_ * 0.5),
      lastX(x),
      lastY(y)
{
    initialize();
    initializePassiveBuffers();
}

HockeyPaddleLeafGL::~HockeyPaddleLeafGL()
{
    if (_numberOfPaddles > 0 && --_numberOfPaddles == 0) {
        for (unsigned int* list : {&_baseDL, &_highlightDL, &_pickingDL}) {
            if (*list) glDeleteLists(*list, 1);
            *list = 0;
        }
    }
}

void HockeyPaddleLeafGL::initialize()
{
    if (_numberOfPaddles == 0) {
        _pickingDL = glGenLists(1);
        glNewList(_pickingDL, GL_COMPILE);
        disk(0.5, pickingSegments);
        glEndList();

        const float base[3][3] = {{0.55f, 0.05f, 0.05f}, {0.8f, 0.15f, 0.1f}, {0.35f, 0.0f, 0.0f}};
        const float baseOutline[3] = {0.1f, 0.0f, 0.0f};
        _baseDL = glGenLists(1);
        glNewList(_baseDL, GL_COMPILE);
        paddleDisks(base, baseOutline, segments);
        glEndList();

        const float lit[3][3] = {{0.9f, 0.3f, 0.1f}, {1.0f, 0.55f, 0.2f}, {0.7f, 0.15f, 0.0f}};
        const float litOutline[3] = {1.0f, 1.0f, 0.8f};
        _highlightDL = glGenLists(1);
        glNewList(_highlightDL, GL_COMPILE);
        paddleDisks(lit, litOutline, segments);
        glEndList();
    }
    ++_numberOfPaddles;
}

void HockeyPaddleLeafGL::initializePassiveBuffers()
{
    VisComponentGL::initializePassiveBuffers();
    setPassiveBuffer(TOOL_STATE_BUFFER, nullptr);
}

void HockeyPaddleLeafGL::renderIntoBuffers()
{
    const double dx = getXPos() - lastX;
    const double dy = getYPos() - lastY;
    if (getParent()) {
        if (BufferTemplate<float>* table = getPassiveBufferAs<float>(TOOL_STATE_BUFFER)) {
            tableRow = hockey::registerPaddle(*table, tableRow);
            hockey::writePaddleRow(*table, tableRow,
                                   {radius, radius * radius, getXPos(), getYPos(), dx, dy});
        }
    }
    lastX = getXPos();
    lastY = getYPos();
}

void HockeyPaddleLeafGL::animateMyself(double f)
{
    VisComponentGL::animateMyself(f);
    TabletopVis* vis = getController();
    if (!vis) return;
    const double w = vis->getScreenWidth();
    const double h = vis->getScreenHeight();
    // Each coordinate on its own; a screen narrower than the paddle pins it to the lower bound.
    const double x = std::max(radius, std::min(getXPos(), w - radius));
    const double y = std::max(radius, std::min(getYPos(), h - radius));
    setPos(x, y);
}

void HockeyPaddleLeafGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    glScaled(diameter, diameter, 1.0);
    glCallList(getSelectionActive() ? _highlightDL : _baseDL);
    glPopMatrix();
}

void HockeyPaddleLeafGL::specificRenderForPicking()
{
    glPushMatrix();
    doCommonTransformations();
    glScaled(diameter, diameter, 1.0);
    glCallList(_pickingDL);
    glPopMatrix();
}
