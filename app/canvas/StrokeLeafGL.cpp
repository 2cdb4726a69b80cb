#include "StrokeLeafGL.h"

#include "CanvasCompositeGL.h"

#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <map>

namespace {

struct SharedQuad {
    GLuint render = 0;
    GLuint picking = 0;
    int users = 0;
};

// Keyed by texture row.
std::map<unsigned int, SharedQuad>& sharedQuads()
{
    static std::map<unsigned int, SharedQuad> quads;
    return quads;
}

void quad(bool textured, float s0, float s1, float t0, float t1)
{
    glBegin(GL_QUADS);
    if (textured) glTexCoord2f(s0, t0);
    glVertex2d(-0.5, -0.5);
    if (textured) glTexCoord2f(s1, t0);
    glVertex2d(0.5, -0.5);
    if (textured) glTexCoord2f(s1, t1);
    glVertex2d(0.5, 0.5);
    if (textured) glTexCoord2f(s0, t1);
    glVertex2d(-0.5, 0.5);
    glEnd();
}

} // namespace

StrokeLeafGL::StrokeLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
                           double rotation, int type, unsigned int textureIndex_,
                           double baseSizeFactor)
    : PrimitiveLeafGL(vis, x, y, false, false, width, height, baseSizeFactor, type),
      textureIndex(textureIndex_)
{
    if (vis && textureIndex < vis->getNumberOfImageTextures()) {
        textureId = vis->getImageTextureIDAt(textureIndex);
        const float size = static_cast<float>(vis->getTextureSizeAt(textureIndex));
        if (size > 0.0f) {
            // The square around the painted part: the quad is square, so cropping to the
            // painted box itself would stretch a long stroke into a round dab.
            const float minX = static_cast<float>(vis->getTextureMinXAt(textureIndex));
            const float maxX = static_cast<float>(vis->getTextureMaxXAt(textureIndex)) + 1.0f;
            const float minY = static_cast<float>(vis->getTextureMinYAt(textureIndex));
            const float maxY = static_cast<float>(vis->getTextureMaxYAt(textureIndex)) + 1.0f;
            const float half = std::min(std::max(maxX - minX, maxY - minY), size) * 0.5f;
            const float cx = std::clamp((minX + maxX) * 0.5f, half, size - half);
            const float cy = std::clamp((minY + maxY) * 0.5f, half, size - half);
            texS0 = (cx - half) / size;
            texS1 = (cx + half) / size;
            texT0 = (cy - half) / size;
            texT1 = (cy + half) / size;
        }
    }
    ++sharedQuads()[textureIndex].users;
    if (rotation != 0.0) rotate(rotation);
}

StrokeLeafGL::~StrokeLeafGL()
{
    auto& quads = sharedQuads();
    auto it = quads.find(textureIndex);
    if (it == quads.end()) return;
    if (--it->second.users > 0) return;
    if (it->second.render != 0) glDeleteLists(it->second.render, 1);
    if (it->second.picking != 0) glDeleteLists(it->second.picking, 1);
    quads.erase(it);
}

int StrokeLeafGL::sharedListUsers(unsigned int index)
{
    auto it = sharedQuads().find(index);
    return it == sharedQuads().end() ? 0 : it->second.users;
}

void StrokeLeafGL::initialize()
{
    SharedQuad& q = sharedQuads()[textureIndex];
    if (q.render == 0) {
        q.render = glGenLists(2);
        if (q.render == 0) return;
        q.picking = q.render + 1;
        glNewList(q.render, GL_COMPILE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (textureId != 0) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, textureId);
        }
        quad(textureId != 0, texS0, texS1, texT0, texT1);
        glEndList();
        glNewList(q.picking, GL_COMPILE);
        quad(false, 0, 0, 0, 0);
        glEndList();
    }
    renderList = q.render;
    pickingList = q.picking;
}

unsigned char StrokeLeafGL::currentAlpha()
{
    int a = std::clamp(life, 0, 255);
    if (isDimmed()) a = 100;
    if (inTargetArea) a = 120;
    return static_cast<unsigned char>(a);
}

bool StrokeLeafGL::isMaskedOut()
{
    BufferTemplate<bool>* mask = buffers().strokeVisibilityBuffer;
    if (!mask || !locateCell()) return false;
    const bool* visible = sample(mask, visibilitySample);
    return visible && !*visible;
}

void StrokeLeafGL::callList(bool picking)
{
    initialize();
    if (renderList == 0) return;
    glPushMatrix();
    applyShapeTransformations();
    glCallList(picking ? pickingList : renderList);
    glPopMatrix();
}

void StrokeLeafGL::specificRender()
{
    if (!passHiddenFrames()) return;
    if (isMaskedOut()) return;
    const float texCoords[4] = {texS0, texS1, texT0, texT1};
    if (PrimitiveBatch* batch = batchTarget()) {
        const unsigned char rgba[4] = {displayColor.r, displayColor.g, displayColor.b,
                                       currentAlpha()};
        batch->addStroke(placement(), textureId, texCoords, rgba);
        return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    if (textureId != 0) glBindTexture(GL_TEXTURE_2D, textureId);
    glColor4ub(displayColor.r, displayColor.g, displayColor.b, currentAlpha());
    callList(false);
    glPopAttrib();
}

void StrokeLeafGL::specificRenderForPicking()
{
    if (!canvas()) return;
    if (PrimitiveBatch* batch = batchTarget()) {
        const float texCoords[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        const unsigned char none[4] = {0, 0, 0, 0};
        // One picking group: the plain quad has no texture.
        batch->addStroke(placement(), 0, texCoords, none);
        return;
    }
    callList(true);
}
