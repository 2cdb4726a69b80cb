#include "canvas/GeoStrokeBuildCanvasCompositeGL.h"

#include "core/BufferTemplate.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QOpenGLContext>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

GeoStrokeBuildCanvasCompositeGL::GeoStrokeBuildCanvasCompositeGL(TabletopVisGL* vis,
                                                                 double width, double height,
                                                                 double x, double y,
                                                                 double border_)
    : VisComponentGL(vis, width, height, false, false, x, y, 0.0), border(border_)
{
    createActiveBuffers();
    board.getSimulation().setPanel(0.0, 0.0, width, height);
    updatePostureRanges();
    // Hidden until opened.
    deactivate();
    deactivateForRendering();
}

GeoStrokeBuildCanvasCompositeGL::~GeoStrokeBuildCanvasCompositeGL()
{
    if (frameList) glDeleteLists(frameList, 1);
    if (strokeList) glDeleteLists(strokeList, 1);
    if (strokeTexture) glDeleteTextures(1, &strokeTexture);
}

void GeoStrokeBuildCanvasCompositeGL::updatePostureRanges()
{
    if (auto* app = dynamic_cast<RuduzozovorERUVisGL*>(getController()))
        app->applyPostureRanges(classifier);
}

void GeoStrokeBuildCanvasCompositeGL::createActiveBuffers()
{
    auto* regions = new BufferTemplate<unsigned int>(1, 0);
    regions->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
    // Cell c covers local [c - 1.5, c - 0.5): the frame is `border` pixels wide on every side.
    const double w = getWidth(), h = getHeight();
    for (unsigned int j = 0; j < getBufferHeight(); ++j)
        for (unsigned int i = 0; i < getBufferWidth(); ++i) {
            const double lx = i - 1.0, ly = j - 1.0;
            unsigned int r = 0;
            if (lx >= 0.0 && ly >= 0.0 && lx <= w && ly <= h)
                r = (lx < border || ly < border || lx > w - border || ly > h - border)
                        ? kFrameRegion
                        : kDrawingRegion;
            regions->setValue(i, j, r);
        }
    setActiveBuffer(LOCAL_HIT_BUFFER, regions);
}

unsigned int GeoStrokeBuildCanvasCompositeGL::regionAt(double localX, double localY) const
{
    const auto* regions = getActiveBufferAs<unsigned int>(LOCAL_HIT_BUFFER);
    if (!regions || localX < 0.0 || localY < 0.0 || localX > getWidth() || localY > getHeight())
        return 0;
    const unsigned int i = std::min(getBufferXCoordinateFromLocal(localX), regions->getWidth() - 1);
    const unsigned int j = std::min(getBufferYCoordinateFromLocal(localY), regions->getHeight() - 1);
    return regions->getValue(i, j);
}

// ---------------------------------------------------------------------------------------------
// Touch

void GeoStrokeBuildCanvasCompositeGL::choosePreset(int posture)
{
    strokesim::Parameters p;
    if (!strokesim::presetForPosture(posture, &p)) return;
    // The fist's range call is overwritten by its preset's limits at once.
    if (posture == PostureClassifier::FIST) setRangeLimits(60.0, 180.0);
    setSimulationParameters(p.spring, p.drag, p.widthScale, p.upperWidth, p.lowerWidth, p.mass,
                            p.startSpeed);
}

void GeoStrokeBuildCanvasCompositeGL::replayClassifierSamples()
{
    for (int i = 0; i < classifier.getSampleCount(); ++i) {
        const PostureClassifier::Sample& s = classifier.getSample(i);
        double gx = 0.0, gy = 0.0;
        getGlobalCoordinates(s.x, s.y, getWidth(), getHeight(), &gx, &gy);
        if (i == 0)
            startStroke(gx, gy);
        else
            addStrokePoint(gx, gy, false);
    }
}

unsigned int GeoStrokeBuildCanvasCompositeGL::hitLocalBuffer(unsigned int x, unsigned int y,
                                                             unsigned int boundWidth,
                                                             unsigned int boundHeight)
{
    lastTouch[0] = touch[0];
    lastTouch[1] = touch[1];
    touch[0] = x;
    touch[1] = y;
    touchSize[0] = std::max(10.0, static_cast<double>(boundWidth));
    touchSize[1] = std::max(10.0, static_cast<double>(boundHeight));
    double lx = 0.0, ly = 0.0;
    getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
    const int posture = classifier.classify(static_cast<int>(lx), static_cast<int>(ly),
                                            static_cast<int>(boundWidth),
                                            static_cast<int>(boundHeight));
    const unsigned int region = regionAt(lx, ly);
    if (!sequenceStarted) {
        sequenceStarted = true;
        strokeReplayed = false;
        startRegion = region;
        moving = region == kFrameRegion &&
                 (movementWithoutExtend || std::max(boundWidth, boundHeight) >= kMoveExtent);
    }
    if (moving) return 9;
    if (startRegion != kDrawingRegion || region != kDrawingRegion) return kHandled;

    if (eraseCapability) {
        const std::size_t erased =
            board.eraseAt(x - getXPos(), y - getYPos(), 0.5 * std::max(touchSize[0], touchSize[1]));
        if (erased) listsDirty = true;
        return kHandled;
    }
    if (!strokeReplayed) {
        // Until the classifier has four samples the posture, and so the brush, is unknown.
        if (posture == PostureClassifier::NONE) return kHandled;
        choosePreset(posture);
        replayClassifierSamples();
        strokeReplayed = true;
        return kHandled;
    }
    addStrokePoint(x, y, false);
    return kHandled;
}

unsigned int GeoStrokeBuildCanvasCompositeGL::releaseLocalBuffer(unsigned int, unsigned int,
                                                                 unsigned int, unsigned int)
{
    const bool wasMoving = moving;
    sequenceStarted = false;
    moving = false;
    classifier.reset();
    if (board.getCurrentStroke()) {
        board.finishStroke();
        listsDirty = true;
    }
    return wasMoving ? 9 : kHandled;
}

// ---------------------------------------------------------------------------------------------
// Operations

void GeoStrokeBuildCanvasCompositeGL::toggleVisibility()
{
    if (isOpen())
        close();
    else
        open();
}

void GeoStrokeBuildCanvasCompositeGL::open()
{
    activate();
    activateForRendering();
    if (getController()) getController()->moveComponentToRenderFront(this);
}

void GeoStrokeBuildCanvasCompositeGL::close()
{
    deactivate();
    deactivateForRendering();
}

void GeoStrokeBuildCanvasCompositeGL::drawSegmentsAsStrokes()
{
    asStrokes = true;
    listsDirty = true;
}

void GeoStrokeBuildCanvasCompositeGL::drawSegmentsAsPoints()
{
    asStrokes = false;
    listsDirty = true;
}

void GeoStrokeBuildCanvasCompositeGL::deleteStrokes()
{
    board.deleteStrokes();
    listsDirty = true;
}

void GeoStrokeBuildCanvasCompositeGL::setSimulationParameters(double p1, double p2, double p3,
                                                              double p4, double p5, double p6,
                                                              double p7)
{
    board.getSimulation().setParameters({p1, p2, p3, p4, p5, p6, p7});
}

void GeoStrokeBuildCanvasCompositeGL::setRangeLimits(double lower, double upper)
{
    board.getSimulation().setRangeLimits(lower, upper);
}

void GeoStrokeBuildCanvasCompositeGL::setCurveParameter(double steps)
{
    board.getSimulation().setTaperDuration(static_cast<float>(steps));
}

void GeoStrokeBuildCanvasCompositeGL::startStroke(double x, double y)
{
    board.startStroke(x - getXPos(), y - getYPos());
}

float GeoStrokeBuildCanvasCompositeGL::addStrokePoint(double x, double y, bool skipPoint)
{
    return board.addStrokePoint(x - getXPos(), y - getYPos(), skipPoint);
}

// ---------------------------------------------------------------------------------------------
// Drawing

namespace {

// A soft brush profile across the stroke (u), faint bristle streaks along it.
std::vector<unsigned char> strokeTextureImage(int size)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(size * size * 4), 255);
    for (int v = 0; v < size; ++v)
        for (int u = 0; u < size; ++u) {
            const double across = std::fabs(2.0 * (u + 0.5) / size - 1.0);
            const double edge = 1.0 - std::pow(across, 6.0);
            const double streak = 0.85 + 0.15 * std::sin(u * 2.3 + v * 0.05);
            const double a = std::max(0.0, std::min(1.0, edge * streak));
            rgba[static_cast<std::size_t>((v * size + u) * 4 + 3)] =
                static_cast<unsigned char>(a * 255.0 + 0.5);
        }
    return rgba;
}

using DrawRangeElements = void (*)(GLenum, GLuint, GLuint, GLsizei, GLenum, const void*);

// glDrawRangeElements as the current context resolves it; null without one.
DrawRangeElements drawRangeElements()
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context) return nullptr;
    return reinterpret_cast<DrawRangeElements>(context->getProcAddress("glDrawRangeElements"));
}

} // namespace

void GeoStrokeBuildCanvasCompositeGL::initialize()
{
    if (textureTried) return;
    textureTried = true;
    strokeTexture = createStrokeTexture(64);
}

unsigned int GeoStrokeBuildCanvasCompositeGL::createStrokeTexture(int size)
{
    const std::vector<unsigned char> image = strokeTextureImage(std::max(0, size));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (size <= 0 || gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, size, size, GL_RGBA,
                                       GL_UNSIGNED_BYTE, image.data()) != 0) {
        std::cout << "can't generate mipmap texture" << std::endl;
        glDeleteTextures(1, &texture);
        texture = 0;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void GeoStrokeBuildCanvasCompositeGL::drawPanel()
{
    const double hw = getHalfWidth(), hh = getHalfHeight();
    const double iw = hw - border, ih = hh - border;
    glColor4f(0.35f, 0.35f, 0.4f, 1.0f);
    glRectd(-hw, -hh, hw, hh);
    glColor4f(0.97f, 0.96f, 0.92f, 1.0f);
    glRectd(-iw, -ih, iw, ih);
}

void GeoStrokeBuildCanvasCompositeGL::drawStroke(const Stroke2d& s)
{
    if (asStrokes) {
        const std::vector<Point2D>& outline = s.getOutline();
        if (outline.size() < 4) return;
        std::vector<GLdouble> vertices;
        std::vector<GLdouble> texCoords;
        std::vector<GLuint> indices;
        double along = 0.0;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            vertices.push_back(outline[i].x);
            vertices.push_back(outline[i].y);
            if (i >= 2 && i % 2 == 0) along += s.getPoint(i / 2).distanceTo(s.getPoint(i / 2 - 1));
            texCoords.push_back(i % 2 == 0 ? 0.0 : 1.0);
            texCoords.push_back(along / 64.0);
            indices.push_back(static_cast<GLuint>(i));
        }
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_DOUBLE, 0, vertices.data());
        glTexCoordPointer(2, GL_DOUBLE, 0, texCoords.data());
        const GLsizei n = static_cast<GLsizei>(indices.size());
        if (DrawRangeElements draw = drawRangeElements())
            draw(GL_TRIANGLE_STRIP, 0, static_cast<GLuint>(n - 1), n, GL_UNSIGNED_INT,
                 indices.data());
        else
            glDrawElements(GL_TRIANGLE_STRIP, n, GL_UNSIGNED_INT, indices.data());
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    } else {
        for (const ControlPoint2D& p : s.getCurve().getPoints()) {
            glPointSize(static_cast<GLfloat>(std::max(1.0, 2.0 * p.getRadius())));
            glBegin(GL_POINTS);
            glVertex2d(p.x, p.y);
            glEnd();
        }
    }
}

void GeoStrokeBuildCanvasCompositeGL::rebuildDisplayLists()
{
    if (!frameList) {
        frameList = glGenLists(1);
        if (frameList) {
            glNewList(frameList, GL_COMPILE);
            drawPanel();
            glEndList();
        }
    }
    if (!strokeList) strokeList = glGenLists(1);
    if (!strokeList) return;
    glNewList(strokeList, GL_COMPILE);
    for (const Stroke2d& s : board.getStrokes()) drawStroke(s);
    glEndList();
    listsDirty = false;
}

void GeoStrokeBuildCanvasCompositeGL::specificRender()
{
    initialize();
    if (listsDirty || !frameList) rebuildDisplayLists();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_POINT_BIT |
                 GL_TEXTURE_BIT);
    glPushMatrix();
    glTranslated(getXPos(), getYPos(), 0.0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    if (frameList) glCallList(frameList);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (asStrokes && strokeTexture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, strokeTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    if (!asStrokes) glEnable(GL_POINT_SMOOTH);
    glColor4f(0.1f, 0.12f, 0.25f, 1.0f);
    if (strokeList) glCallList(strokeList);
    // The stroke under way changes every frame.
    if (const Stroke2d* s = board.getCurrentStroke()) drawStroke(*s);
    glPopMatrix();
    glPopAttrib();
}

void GeoStrokeBuildCanvasCompositeGL::specificRenderForPicking()
{
    glPushMatrix();
    glTranslated(getXPos(), getYPos(), 0.0);
    glRectd(-getHalfWidth(), -getHalfHeight(), getHalfWidth(), getHalfHeight());
    glPopMatrix();
}
