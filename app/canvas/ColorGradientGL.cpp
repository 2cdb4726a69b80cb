#include "canvas/ColorGradientGL.h"

#include <GL/gl.h>

void ColorGradientGL::drawGradient(const Color& top, double x0, double y0, double x1, double y1,
                                   float alpha) const
{
    const auto a = static_cast<unsigned char>(alpha * 255.0f);
    glBegin(GL_QUADS);
    glColor4ub(r, g, b, a);
    glVertex2d(x0, y0);
    glVertex2d(x1, y0);
    glColor4ub(top.r, top.g, top.b, a);
    glVertex2d(x1, y1);
    glVertex2d(x0, y1);
    glEnd();
}
