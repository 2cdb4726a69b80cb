#include "InterfaceCurrentCompositeGL.h"

#include "CurrentField.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <algorithm>
#include <cmath>

InterfaceCurrentCompositeGL::InterfaceCurrentCompositeGL(
    TabletopVisGL* vis, double width, double height, bool rnt, bool toss, double x, double y,
    double z, unsigned int controlPointCount, unsigned int splineLevel, bool hasInsideBoundary,
    bool rounded)
    : BoundedContainerGL(vis, width, height, rnt, toss, x, y, z, controlPointCount, splineLevel,
                         hasInsideBoundary, rounded)
{
    speed = 1.0;
    wallStrength = 15.0;
    gestureStarted = swiping = false;
    recreateActiveBuffers();
}

void InterfaceCurrentCompositeGL::createActiveBuffers()
{
    BoundedContainerGL::createActiveBuffers();
    TabletopVis* vis = getController();
    if (!vis) return;
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    setActiveBuffer(ABSOLUTE_SIZE_BUFFER, vis->createNewFloatImageBuffer(w, h));
    setActiveBuffer(DIRECTION_BUFFER, vis->createNew2DFloatVectorImageBuffer(w, h));
    setActiveBuffer(ORIENTATION_BUFFER, vis->createNew2DFloatVectorImageBuffer(w, h));
}

void InterfaceCurrentCompositeGL::renderInActiveBuffers()
{
    BoundedContainerGL::renderInActiveBuffers();
    renderInActiveBuffersLocal();
}

void InterfaceCurrentCompositeGL::renderInActiveBuffersLocal()
{
    const CurrentField::Grids grids{getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER),
                                    getActiveBufferAs<float>(ORIENTATION_BUFFER),
                                    getActiveBufferAs<float>(DIRECTION_BUFFER)};
    if (!grids.absoluteSize || !grids.orientation || !grids.direction) return;
    TabletopVis* vis = getController();
    if (vis) vis->pushTimeState();
    // Every cell gets a defined value; orientation (0, 0) leaves a child's turn alone.
    CurrentField::fillDefaults(grids);
    if (outline.hasInsideBoundary()) {
        const std::vector<CurrentField::Segment> segments =
            CurrentField::buildSegments(outline, bufferMapping(), speed, wallStrength);
        CurrentField::fillTwoThreads(segments, grids);
        grids.direction->createImage("currentdirectionbuffer.ppm", 8.2, 127.0);
    }
    if (vis) vis->popTimeState();
}

unsigned int InterfaceCurrentCompositeGL::hitLocalBuffer(unsigned int x, unsigned int y,
                                                         unsigned int boundWidth,
                                                         unsigned int boundHeight)
{
    lastHitCode = BoundedContainerGL::hitLocalBuffer(x, y, boundWidth, boundHeight);
    if (!gestureStarted) {
        gestureStarted = true;
        if (lastHitCode == static_cast<unsigned int>(ContainerOutline::kBody)) {
            swiping = true;
            swipeStartX = x;
            swipeStartY = y;
            swipeDirection[0] = swipeDirection[1] = 0.0f;
            BufferTemplate<float>* orientation = getActiveBufferAs<float>(ORIENTATION_BUFFER);
            double lx = 0.0, ly = 0.0;
            getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
            if (orientation && lx >= 0.0 && ly >= 0.0) {
                const unsigned int bx =
                    std::min(getBufferXCoordinateFromLocal(lx), orientation->getWidth() - 1);
                const unsigned int by =
                    std::min(getBufferYCoordinateFromLocal(ly), orientation->getHeight() - 1);
                orientation->get2DValues(bx, by, swipeDirection);
            }
        }
    }
    return swiping ? 1 : lastHitCode;
}

unsigned int InterfaceCurrentCompositeGL::releaseLocalBuffer(unsigned int x, unsigned int y,
                                                             unsigned int boundWidth,
                                                             unsigned int boundHeight)
{
    const unsigned int code = BoundedContainerGL::releaseLocalBuffer(x, y, boundWidth, boundHeight);
    if (!gestureStarted) return code;
    const bool wasSwipe = swiping;
    gestureStarted = swiping = false;
    if (!wasSwipe) return code;
    speed = CurrentField::swipeSpeed(x - swipeStartX, y - swipeStartY, swipeDirection[0],
                                     swipeDirection[1]);
    renderInActiveBuffersLocal();
    return 1;
}
