#include "StickyNoteLeafGL.h"

#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

StickyNoteLeafGL::StickyNoteLeafGL(TabletopVisGL* vis, double width, double height, bool rnt,
                                   bool tossing, double x, double y, double z, double rotation)
    : AbstractImageGL(vis, width, height, rnt, tossing, x, y, z, 0)
{
    if (!vis) return;
    vis->pushTimeState();
    initializePassiveBuffers();
    rotate(rotation);
    textureName = createAnnotationTexture();
    preparePaper();
    glBindTexture(GL_TEXTURE_2D, 0);
    vis->popTimeState();
}

StickyNoteLeafGL::~StickyNoteLeafGL()
{
    if (!getController()) return;
    getController()->shutdown_pbuffer(&paper);
    if (textureName) {
        GLuint t = textureName;
        glDeleteTextures(1, &t);
    }
}

void StickyNoteLeafGL::initializePassiveBuffers()
{
    AbstractImageGL::initializePassiveBuffers();
    for (BUFFERTAG tag : {RELATIVE_SIZE_BUFFER, ABSOLUTE_SIZE_BUFFER, DIRECTION_BUFFER,
                          ORIENTATION_BUFFER, TEMPORARY_ORIENTATION_BUFFER})
        setPassiveBuffer(tag, nullptr);
}

void StickyNoteLeafGL::preparePaper()
{
    TabletopVis* vis = getController();
    openAnnotationTarget(paper, kPaper, false);

    // Marks of the pen corner (a nib) and the eraser corner (a small box).
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glLineWidth(1.7f);
    glBegin(GL_LINE_STRIP);
    glVertex2f(14.0f, 44.0f);
    glVertex2f(40.0f, 18.0f);
    glVertex2f(46.0f, 24.0f);
    glVertex2f(20.0f, 50.0f);
    glVertex2f(14.0f, 44.0f);
    glVertex2f(10.0f, 54.0f);
    glVertex2f(20.0f, 50.0f);
    glEnd();
    glBegin(GL_LINE_LOOP);
    glVertex2f(466.0f, 20.0f);
    glVertex2f(496.0f, 20.0f);
    glVertex2f(496.0f, 44.0f);
    glVertex2f(466.0f, 44.0f);
    glEnd();
    glPointSize(0.6f);
    glBegin(GL_POINTS);
    for (float u = 468.0f; u < 496.0f; u += 4.0f) glVertex2f(u, 32.0f);
    glEnd();
    glPointSize(2.0f);
    glBegin(GL_POINTS);
    glVertex2f(10.0f, 54.0f);
    glEnd();
    glPointSize(1.0f);
    glBegin(GL_POINTS);
    glVertex2f(481.0f, 16.0f);
    glEnd();
    vis->deactivatePBuffer(&paper);
}

unsigned int StickyNoteLeafGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                              unsigned int)
{
    return touchAt(x, y, &paper, textureName, kPaper);
}

unsigned int StickyNoteLeafGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                                  unsigned int)
{
    if (endTouch()) {
        // No RNT circle while writing.
        setSelectionInactive();
        lastSelectedTicks += drawingTimeout;
    }
    return hitCode;
}
