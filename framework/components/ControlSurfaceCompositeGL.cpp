#include "ControlSurfaceCompositeGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <algorithm>

ControlSurfaceCompositeGL::ControlSurfaceCompositeGL(TabletopVisGL* vis, unsigned int width,
                                                     unsigned int height, double x, double y,
                                                     double z, double borderSize,
                                                     double overflowSize)
    : SurfaceCompositeGL(vis, width, height, x, y, z, borderSize, overflowSize)
{
    // The base constructor could only make the surface's own buffers.
    recreateActiveBuffers();
}

void ControlSurfaceCompositeGL::fillFrictionRamp(BufferTemplate<float>& friction, double factor)
{
    // Each cell takes the value of the ring at its distance from the nearest edge. Computing the
    // distance per cell keeps rings of small grids from overlapping or leaving the grid.
    const unsigned int w = friction.getWidth();
    const unsigned int h = friction.getHeight();
    const float plain = static_cast<float>(factor);
    for (unsigned int y = 0; y < h; ++y)
        for (unsigned int x = 0; x < w; ++x) {
            const unsigned int d = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
            float v = plain;
            if (d < kFrictionRampWidth)
                v = std::min(static_cast<float>(static_cast<double>(d) / kFrictionRampWidth), plain);
            friction.setValue(x, y, v);
        }
}

void ControlSurfaceCompositeGL::createActiveBuffers()
{
    SurfaceCompositeGL::createActiveBuffers();
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    float zero[2] = {0.0f, 0.0f};
    for (BUFFERTAG tag : {DIRECTION_BUFFER, TEMPORARY_ORIENTATION_BUFFER}) {
        auto* b = new BufferTemplate<float>(2, 0);
        b->setSizeAndAllocateMemory(w, h);
        b->fillEntireBufferWith2DValue(zero);
        setActiveBuffer(tag, b);
    }
    auto* friction = new BufferTemplate<float>(1, 0);
    friction->setSizeAndAllocateMemory(w, h);
    const double factor = getController() ? getController()->getTossingSlowdownFactor() : 0.98;
    fillFrictionRamp(*friction, factor);
    setActiveBuffer(TOSSING_FRICTION_BUFFER, friction);
}

void ControlSurfaceCompositeGL::renderInActiveBuffers()
{
    float zero[2] = {0.0f, 0.0f};
    for (BUFFERTAG tag : {RELATIVE_SIZE_BUFFER, DIRECTION_BUFFER, TEMPORARY_ORIENTATION_BUFFER}) {
        BufferTemplate<float>* b = getActiveBufferAs<float>(tag);
        if (!b) continue;
        if (b->isInvalid()) {
            if (tag == RELATIVE_SIZE_BUFFER)
                b->fillEntireBuffer(1.0f);
            else
                b->fillEntireBufferWith2DValue(zero);
            b->startValidating();
        } else if (b->isValidating()) {
            b->finishValidating();
        }
    }
}
