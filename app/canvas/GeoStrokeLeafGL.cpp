#include "GeoStrokeLeafGL.h"

#include "CanvasCompositeGL.h"

#include <GL/gl.h>

#include <cstddef>

GeoStrokeLeafGL::GeoStrokeLeafGL(TabletopVisGL* vis, double x, double y, double width,
                                 double height, double rotation, int type,
                                 const std::vector<Vector2d>& points, int numSegments_,
                                 double baseSizeFactor)
    : PrimitiveLeafGL(vis, x, y, false, false, width, height, baseSizeFactor, type),
      numSegments(numSegments_)
{
    GeoStrokeLeafGL::initializePassiveBuffers();
    const std::size_t n = points.size();
    if (numSegments > 0 && n > static_cast<std::size_t>(numSegments) + 1) {
        for (int i = 0; i <= numSegments; ++i)
            polyline.push_back(points[static_cast<std::size_t>(i) * (n - 1) / numSegments]);
    } else {
        polyline = points;
    }
    if (rotation != 0.0) rotate(rotation);
}

GeoStrokeLeafGL::~GeoStrokeLeafGL()
{
    if (list != 0) glDeleteLists(list, 1);
}

void GeoStrokeLeafGL::initializePassiveBuffers()
{
    PrimitiveLeafGL::initializePassiveBuffers();
    setPassiveBuffer(FRAME_VECTOR_BUFFER, nullptr);
}

void GeoStrokeLeafGL::initialize()
{
    if (list != 0) return;
    list = glGenLists(1);
    if (list == 0) return;
    glNewList(list, GL_COMPILE);
    glBegin(GL_LINE_STRIP);
    for (const Vector2d& p : polyline) {
        const double v[2] = {p.x, p.y};
        glVertex2dv(v);
    }
    glEnd();
    glEndList();
}

void GeoStrokeLeafGL::specificRender()
{
    if (!passHiddenFrames()) return;
    initialize();
    if (list == 0) return;
    glColor4f(displayColor.r / 255.0f, displayColor.g / 255.0f, displayColor.b / 255.0f, 1.0f);
    glPushMatrix();
    doCommonTransformations();
    glCallList(list);
    glPopMatrix();
}

void GeoStrokeLeafGL::specificRenderForPicking()
{
    if (!canvas()) return;
    initialize();
    if (list == 0) return;
    glPushMatrix();
    doCommonTransformations();
    glCallList(list);
    glPopMatrix();
}
