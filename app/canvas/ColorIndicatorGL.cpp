#include "canvas/ColorIndicatorGL.h"

#include <GL/gl.h>

void ColorIndicatorGL::moveIndicatorTo(const Color& c, double x0, double y0, double x1, double y1)
{
    setColor(c);
    rect[0] = x0;
    rect[1] = y0;
    rect[2] = x1;
    rect[3] = y1;
    indicatorShown = true;
}

void ColorIndicatorGL::drawIndicator() const
{
    if (!indicatorShown) return;
    const Color o = outlineColor();
    const double m = 3.0;
    glLineWidth(3.0f);
    glColor4ub(o.r, o.g, o.b, 255);
    glBegin(GL_LINE_LOOP);
    glVertex2d(rect[0] + m, rect[1] + m);
    glVertex2d(rect[2] - m, rect[1] + m);
    glVertex2d(rect[2] - m, rect[3] - m);
    glVertex2d(rect[0] + m, rect[3] - m);
    glEnd();
    glLineWidth(1.0f);
}
