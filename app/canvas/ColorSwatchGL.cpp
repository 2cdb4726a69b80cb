#include "canvas/ColorSwatchGL.h"

#include <GL/gl.h>

void ColorSwatchGL::drawSwatch(double x0, double y0, double x1, double y1) const
{
    drawSwatch(color(), x0, y0, x1, y1);
}

void ColorSwatchGL::drawSwatch(const Color& c, double x0, double y0, double x1, double y1)
{
    glColor4ub(c.r, c.g, c.b, 255);
    glRectd(x0, y0, x1, y1);
    glColor4f(0.15f, 0.12f, 0.1f, 0.9f);
    glLineWidth(1.5f);
    glBegin(GL_LINE_LOOP);
    glVertex2d(x0, y0);
    glVertex2d(x1, y0);
    glVertex2d(x1, y1);
    glVertex2d(x0, y1);
    glEnd();
}
