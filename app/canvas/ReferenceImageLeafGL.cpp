#include "canvas/ReferenceImageLeafGL.h"

#include "canvas/CanvasCompositeGL.h"
#include "vis/TabletopVisGL.h"
#include "vis/TextureImageLoader.h"

#include <GL/gl.h>
#include <IL/il.h>
#include <IL/ilu.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// The picture's frame: the outer share of each side that is picked.
constexpr double kFrameShare = 0.02;

} // namespace

ReferenceImageLeafGL::ReferenceImageLeafGL(TabletopVisGL* vis, double x, double y, double width,
                                           double height, const std::string& file)
    : AbstractImageGL(vis, width, height, true, false, x, y, 0.0, 0), fileName(file)
{
    initialize();
    initializePassiveBuffers();
    recreateActiveBuffers();
}

void ReferenceImageLeafGL::initializePassiveBuffers() { setPassiveBuffer(COLOR_BUFFER, nullptr); }

ReferenceImageLeafGL::~ReferenceImageLeafGL()
{
    if (ownTexture) glDeleteTextures(1, &ownTexture);
}

bool ReferenceImageLeafGL::loadPixels(const std::string& file, unsigned int width,
                                      unsigned int height, std::vector<unsigned char>& rgb,
                                      std::string* reason)
{
    rgb.clear();
    if (width == 0 || height == 0) {
        if (reason) *reason = "empty size";
        return false;
    }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::string why;
    const auto result = TextureImageLoader::loadFileIntoBoundImage(file.c_str(), &why);
    bool ok = result == TextureImageLoader::Result::Loaded &&
              ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE) == IL_TRUE;
    if (ok && ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_UPPER_LEFT) iluFlipImage();
    if (ok) ok = iluScale(width, height, 1) == IL_TRUE;
    if (ok) {
        rgb.resize(static_cast<std::size_t>(width) * height * 3);
        if (ilCopyPixels(0, 0, 0, width, height, 1, IL_RGB, IL_UNSIGNED_BYTE, rgb.data()) == 0) {
            std::cout << "ilCopyPixels() returned IL_FALSE" << std::endl;
            rgb.clear();
            ok = false;
            why = "ilCopyPixels failed";
        }
    }
    ilDeleteImages(1, &image);
    if (reason) *reason = ok ? std::string() : why;
    return ok;
}

void ReferenceImageLeafGL::initialize()
{
    pixelWidth = static_cast<unsigned int>(std::max(1.0, std::round(getWidth())));
    pixelHeight = static_cast<unsigned int>(std::max(1.0, std::round(getHeight())));
    std::string why;
    loaded = loadPixels(fileName, pixelWidth, pixelHeight, pixels, &why);
    if (!loaded) {
        std::cout << "Unable to load texture image " << fileName << std::endl;
        return;
    }
    if (!getController()) return;
    if (!ownTexture) glGenTextures(1, &ownTexture);
    glBindTexture(GL_TEXTURE_2D, ownTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, static_cast<GLsizei>(pixelWidth),
                 static_cast<GLsizei>(pixelHeight), 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    setTextureID(ownTexture);
}

CanvasCompositeGL* ReferenceImageLeafGL::canvas() const
{
    return dynamic_cast<CanvasCompositeGL*>(getParent());
}

void ReferenceImageLeafGL::createActiveBuffers()
{
    auto* own = new BufferTemplate<unsigned int>(1, 0);
    own->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
    setActiveBuffer(LOCAL_HIT_BUFFER, own);
}

void ReferenceImageLeafGL::renderInActiveBuffers()
{
    if (auto* own = getActiveBufferAs<unsigned int>(LOCAL_HIT_BUFFER)) own->clearBuffer();
}

unsigned int ReferenceImageLeafGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                                  unsigned int)
{
    if (!touched) {
        touched = true;
        double lx = 0.0, ly = 0.0;
        getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
        // The bottom-right eighth resizes, the rest of the frame moves.
        resizing = lx >= getWidth() * 7.0 / 8.0 && ly < getHeight() / 8.0;
        hitCode = resizing ? kResizeCode : kMoveCode;
    }
    if (resizing) interactiveResizeTopLeft(x, y);
    return hitCode;
}

unsigned int ReferenceImageLeafGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                                      unsigned int)
{
    const unsigned int code = touched ? hitCode : 0;
    touched = false;
    resizing = false;
    hitCode = 0;
    return code;
}

void ReferenceImageLeafGL::renderIntoBuffers()
{
    if (removeRequested) {
        if (!removalQueued && getController()) getController()->addToDeletingList(this);
        removalQueued = true;
        return;
    }
    const double state[5] = {getXPos(), getYPos(), getWidth(), getHeight(), getRotation()};
    BufferTemplate<unsigned char>* colors =
        canvas() ? getPassiveBufferAs<unsigned char>(COLOR_BUFFER) : nullptr;
    if (!loaded || !colors) return;
    if (colors == copiedInto && std::equal(state, state + 5, copiedState)) return;
    renderInActiveBuffers();
    copyIntoColorBuffer();
}

unsigned int ReferenceImageLeafGL::copyIntoColorBuffer()
{
    CanvasCompositeGL* c = canvas();
    BufferTemplate<unsigned char>* colors =
        c ? getPassiveBufferAs<unsigned char>(COLOR_BUFFER) : nullptr;
    if (!loaded || !colors) return 0;
    // The picture at its current size in canvas cells (one cell a table pixel).
    const auto w = static_cast<unsigned int>(std::max(1.0, std::round(getWidth())));
    const auto h = static_cast<unsigned int>(std::max(1.0, std::round(getHeight())));
    if (w != pixelWidth || h != pixelHeight) {
        std::vector<unsigned char> scaled;
        if (!loadPixels(fileName, w, h, scaled)) return 0;
        pixels.swap(scaled);
        pixelWidth = w;
        pixelHeight = h;
    }
    // The cells of the rectangle's bounding box, each mapped into the picture.
    const double reach = 0.5 * std::hypot(getWidth(), getHeight());
    const double cw = c->getWidth(), ch = c->getHeight();
    double x0 = 0.0, y0 = 0.0;
    c->getLocalCoordinates(getXPos() - reach, getYPos() - reach, cw, ch, &x0, &y0);
    const int i0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int j0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int i1 = std::min(static_cast<int>(colors->getWidth()), static_cast<int>(x0 + 2.0 * reach) + 3);
    const int j1 = std::min(static_cast<int>(colors->getHeight()), static_cast<int>(y0 + 2.0 * reach) + 3);
    unsigned int written = 0;
    for (int j = j0; j < j1; ++j)
        for (int i = i0; i < i1; ++i) {
            double tx = 0.0, ty = 0.0, lx = 0.0, ly = 0.0;
            // Cell i covers canvas-local i - 1.5 … i - 0.5.
            c->getGlobalCoordinates(i - 1.0, j - 1.0, cw, ch, &tx, &ty);
            getLocalCoordinates(tx, ty, getWidth(), getHeight(), &lx, &ly);
            if (lx < 0.0 || ly < 0.0 || lx >= getWidth() || ly >= getHeight()) continue;
            const auto px = std::min(pixelWidth - 1, static_cast<unsigned int>(lx * pixelWidth / getWidth()));
            const auto py = std::min(pixelHeight - 1, static_cast<unsigned int>(ly * pixelHeight / getHeight()));
            unsigned char* v = &pixels[(static_cast<std::size_t>(py) * pixelWidth + px) * 3];
            colors->set3DValues(static_cast<unsigned int>(i), static_cast<unsigned int>(j), v);
            ++written;
        }
    copiedState[0] = getXPos();
    copiedState[1] = getYPos();
    copiedState[2] = getWidth();
    copiedState[3] = getHeight();
    copiedState[4] = getRotation();
    copiedInto = colors;
    return written;
}

void ReferenceImageLeafGL::specificRender()
{
    if (!loaded) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, ownTexture);
    glColor4f(1.0f, 1.0f, 1.0f, kOpacity);
    const double hw = 0.5 * getWidth(), hh = 0.5 * getHeight();
    glPushMatrix();
    glTranslated(getXPos(), getYPos(), getZPos());
    glRotated(getRotation(), 0.0, 0.0, 1.0);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2d(-hw, -hh);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2d(hw, -hh);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2d(hw, hh);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2d(-hw, hh);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    // The frame by which it is moved.
    glColor4f(0.3f, 0.3f, 0.35f, 0.6f);
    const double fw = kFrameShare * getWidth(), fh = kFrameShare * getHeight();
    glRectd(-hw, -hh, hw, -hh + fh);
    glRectd(-hw, hh - fh, hw, hh);
    glRectd(-hw, -hh + fh, -hw + fw, hh - fh);
    glRectd(hw - fw, -hh + fh, hw, hh - fh);
    glPopMatrix();
    glPopAttrib();
}

void ReferenceImageLeafGL::specificRenderForPicking()
{
    // Only the frame: inside it the canvas under the picture is touched.
    const double hw = 0.5 * getWidth(), hh = 0.5 * getHeight();
    const double fw = kFrameShare * getWidth(), fh = kFrameShare * getHeight();
    glPushMatrix();
    glTranslated(getXPos(), getYPos(), getZPos());
    glRotated(getRotation(), 0.0, 0.0, 1.0);
    glRectd(-hw, -hh, hw, -hh + fh);
    glRectd(-hw, hh - fh, hw, hh);
    glRectd(-hw, -hh + fh, -hw + fw, hh - fh);
    glRectd(hw - fw, -hh + fh, hw, hh - fh);
    glPopMatrix();
}
