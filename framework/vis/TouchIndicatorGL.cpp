#include "TouchIndicatorGL.h"

#include <GL/gl.h>

#include <cmath>

TouchIndicatorGL::TouchIndicatorGL(double x, double y, double z, unsigned long id_,
                                   double boundWidth_, double boundHeight_)
    : TouchIndicator(x, y, z, id_, boundWidth_, boundHeight_)
{
    initialize();
    withExtend = false;
}

TouchIndicatorGL::~TouchIndicatorGL()
{
    if (displayList) glDeleteLists(displayList, 1);
}

void TouchIndicatorGL::initialize()
{
    static const unsigned char kColours[6][4] = {
        {0, 0, 255, 255},   {255, 0, 0, 255},   {0, 255, 0, 255},
        {255, 255, 255, 255}, {255, 255, 0, 255}, {0, 255, 255, 255}};
    if (id < 6)
        setColor(kColours[id][0], kColours[id][1], kColours[id][2], kColours[id][3]);
    else
        setColor(0, 0, 0, 255);

    GLint shadeModel = GL_FLAT;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBegin(GL_TRIANGLE_FAN);
    glColor4ubv(color);
    glVertex2d(0.0, 0.0);
    glColor4d(0.0, 0.0, 0.0, 0.5);
    for (int i = 0; i <= 8; ++i) {
        const double a = i * M_PI / 4.0;
        glVertex2d(std::cos(a), std::sin(a));
    }
    glEnd();
    glShadeModel(shadeModel);
    glEndList();
}

void TouchIndicatorGL::render()
{
    if (withExtend)
        glRenderWithExtend();
    else
        glRender();
}

void TouchIndicatorGL::glRender()
{
    // Scaled to nothing: the plain indicator shows no pixels.
    glPushMatrix();
    glTranslated(xPos, yPos, zPos);
    glScaled(0.0, 0.0, 1.0);
    glCallList(displayList);
    glPopMatrix();
}

void TouchIndicatorGL::glRenderWithExtend()
{
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT | GL_HINT_BIT |
                 GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glPushMatrix();
    glTranslated(xPos, yPos, zPos);
    glScaled(width, height, 1.0);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(3.0f);
    glColor4ubv(color);
    const double hw = 0.5 * boundWidth;
    const double hh = 0.5 * boundHeight;
    glBegin(GL_LINE_LOOP);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
    glCallList(displayList);
    glPopMatrix();
    glPopAttrib();
}
