#include "OrientationLensLeafGL.h"

#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegToRad = M_PI / 180.0;

// One arrow from (x0, y0) to (x1, y1) with a head of size s.
void arrow(double x0, double y0, double x1, double y1, double s)
{
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double n = std::sqrt(dx * dx + dy * dy);
    if (n == 0.0) return;
    const double ux = dx / n * s;
    const double uy = dy / n * s;
    glVertex2d(x0, y0);
    glVertex2d(x1, y1);
    glVertex2d(x1, y1);
    glVertex2d(x1 - ux - uy * 0.6, y1 - uy + ux * 0.6);
    glVertex2d(x1, y1);
    glVertex2d(x1 - ux + uy * 0.6, y1 - uy - ux * 0.6);
}

} // namespace

OrientationLensLeafGL::OrientationLensLeafGL(TabletopVisGL* vis, double width, double height,
                                             bool rnt, bool toss, double x, double y, double z,
                                             double spare, double upX_, double upY_,
                                             unsigned int visible_, unsigned int orientationKind_)
    : LensGL(vis, width, height, rnt, toss, x, y, z, spare, nullptr, 0.0, 2.0, visible_),
      upX(upX_),
      upY(upY_),
      orientationKind(orientationKind_)
{
    lensfield::normaliseUp(upX, upY);
    OrientationLensLeafGL::initializePassiveBuffers();
    // The base built its lists before the kind was known.
    buildOrRebuildRenderDisplayLists();
}

void OrientationLensLeafGL::initializePassiveBuffers()
{
    LensGL::initializePassiveBuffers();
    setPassiveBuffer(TEMPORARY_ORIENTATION_BUFFER, nullptr);
}

unsigned int OrientationLensLeafGL::hitLocalBuffer(unsigned int, unsigned int, unsigned int,
                                                   unsigned int)
{
    invalidatePassiveBuffers();
    return 3;
}

void OrientationLensLeafGL::footprint(unsigned int* w, unsigned int* h) const
{
    const double a = (getRotation() - (parent ? parent->getRotation() : 0.0)) * kDegToRad;
    const double c = std::fabs(std::cos(a));
    const double s = std::fabs(std::sin(a));
    *w = static_cast<unsigned int>(std::ceil(getRealWidth() * c + getRealHeight() * s)) + 2;
    *h = static_cast<unsigned int>(std::ceil(getRealWidth() * s + getRealHeight() * c)) + 2;
}

// ---------------------------------------------------------------------------------------------
// Field

void OrientationLensLeafGL::contribute(BufferTemplate<float>& field,
                                       const lensfield::CellRect& clip)
{
    if (field.getChannelNumber() < 2) return;
    if (orientationKind == lensfield::ORIENT_IN)
        renderIntoBuffersRounded(field, clip, true);
    else if (orientationKind == lensfield::ORIENT_OUT)
        renderIntoBuffersRounded(field, clip, false);
    else
        renderIntoBuffersSquare(field, clip);
}

void OrientationLensLeafGL::renderIntoBuffersSquare(BufferTemplate<float>& field,
                                                    const lensfield::CellRect& clip)
{
    const double a = fieldRotation * kDegToRad;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const float up[2] = {static_cast<float>(c * upX - s * upY), static_cast<float>(s * upX + c * upY)};
    const double hw = getRealWidth() / 2.0;
    const double hh = getRealHeight() / 2.0;
    const unsigned int channels = field.getChannelNumber();
    float* cells = lensfield::cellsIn(field, clip);
    for (int y = clip.y0; y < clip.y1; ++y)
        for (int x = clip.x0; x < clip.x1; ++x) {
            // The cell centre in the lens's frame (turned back by the lens's rotation).
            const double dx = x + 0.5 - fieldCentreX;
            const double dy = y + 0.5 - fieldCentreY;
            const double u = c * dx + s * dy;
            const double v = -s * dx + c * dy;
            if (std::fabs(u) > hw || std::fabs(v) > hh) continue;
            float* cell = cells + (static_cast<std::size_t>(y) * field.getWidth() + x) * channels;
            cell[0] = up[0];
            cell[1] = up[1];
        }
}

void OrientationLensLeafGL::renderIntoBuffersRounded(BufferTemplate<float>& field,
                                                     const lensfield::CellRect& clip,
                                                     bool towards)
{
    const double a = fieldRotation * kDegToRad;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double hw = getRealWidth() / 2.0;
    const double hh = getRealHeight() / 2.0;
    const double sign = towards ? -1.0 : 1.0;
    const unsigned int channels = field.getChannelNumber();
    float* cells = lensfield::cellsIn(field, clip);
    for (int y = clip.y0; y < clip.y1; ++y)
        for (int x = clip.x0; x < clip.x1; ++x) {
            const double dx = x + 0.5 - fieldCentreX;
            const double dy = y + 0.5 - fieldCentreY;
            const double u = c * dx + s * dy;
            const double v = -s * dx + c * dy;
            if (u * u / (hw * hw) + v * v / (hh * hh) > 1.0) continue;
            const double d = std::sqrt(dx * dx + dy * dy);
            // The centre has no direction: it keeps what lies beneath.
            if (d < 0.5) continue;
            float* cell = cells + (static_cast<std::size_t>(y) * field.getWidth() + x) * channels;
            cell[0] = static_cast<float>(sign * dx / d);
            cell[1] = static_cast<float>(sign * dy / d);
        }
}

// ---------------------------------------------------------------------------------------------
// Drawing

void OrientationLensLeafGL::renderBasicGL()
{
    if (isSquare())
        renderBasicSquareGL();
    else
        renderBasicRoundGL();
}

void OrientationLensLeafGL::renderPickingGL()
{
    if (isSquare())
        renderPickingSquaredGL();
    else
        renderPickingRoundGL();
}

void OrientationLensLeafGL::renderBasicSquareGL()
{
    const double hw = getRealWidth() / 2.0;
    const double hh = getRealHeight() / 2.0;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_SMOOTH);
    // Clear in the middle, half the lens colour at the corners.
    const double corners[5][2] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}, {-hw, -hh}};
    glBegin(GL_TRIANGLE_FAN);
    glColor4fv(lensColor);
    glVertex2d(0.0, 0.0);
    glColor4fv(lensColorHalf);
    for (const auto& p : corners) glVertex2dv(p);
    glEnd();
    glLineWidth(2.0f);
    glColor4f(lensColorHalf[0], lensColorHalf[1], lensColorHalf[2], 0.9f);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 4; ++i) glVertex2dv(corners[i]);
    glEnd();
    drawArrows();
    glPopAttrib();
}

void OrientationLensLeafGL::renderBasicRoundGL()
{
    LensGL::renderBasicGL();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(2.0f);
    drawArrows();
    glPopAttrib();
}

void OrientationLensLeafGL::drawArrows()
{
    const double r = std::min(getRealWidth(), getRealHeight()) / 2.0;
    glColor4f(lensColorHalf[0], lensColorHalf[1], lensColorHalf[2], 0.9f);
    glBegin(GL_LINES);
    if (isSquare()) {
        arrow(-upX * r * 0.4, -upY * r * 0.4, upX * r * 0.4, upY * r * 0.4, r * 0.15);
    } else {
        const double inner = orientationKind == lensfield::ORIENT_IN ? 0.75 : 0.35;
        const double outer = orientationKind == lensfield::ORIENT_IN ? 0.35 : 0.75;
        for (int k = 0; k < 4; ++k) {
            const double a = (45.0 + 90.0 * k) * kDegToRad;
            arrow(std::cos(a) * r * inner, std::sin(a) * r * inner, std::cos(a) * r * outer,
                  std::sin(a) * r * outer, r * 0.1);
        }
    }
    glEnd();
}

void OrientationLensLeafGL::renderPickingSquaredGL()
{
    glRectd(-getRealWidth() / 2.0, -getRealHeight() / 2.0, getRealWidth() / 2.0,
            getRealHeight() / 2.0);
}

void OrientationLensLeafGL::renderPickingRoundGL() { ellipseFan(); }
