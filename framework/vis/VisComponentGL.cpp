#include "VisComponentGL.h"

#include "TabletopVisGL.h"

#include <GL/gl.h>

VisComponentGL::VisComponentGL(TabletopVisGL* vis, double width, double height, bool rnt,
                               bool tossing, double x, double y, double z)
    : VisComponent(vis, width, height, rnt, tossing, x, y, z)
{
}

void VisComponentGL::doCommonTransformations()
{
    glTranslated(getXPos(), getYPos(), getZPos());
    glRotated(getRotation(), 0.0, 0.0, 1.0);
    glScaled(getXScale(), getYScale(), 1.0);
}

void VisComponentGL::pickingPreparation()
{
    glColor4ubv(getColorVector());
}
