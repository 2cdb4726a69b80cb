#pragma once
// Shared pieces of the container GL tests: a controller in the test context with known container
// colours, and an item that follows its container's fields like an image does.

#include "../vis/GLTestComponents.h"
#include "GLTestContext.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"
#include "vis/VisComponentGL.h"

#include <GL/gl.h>

#include <cmath>
#include <memory>

// A square that reads absolute size, relative size, direction and orientation from its parent.
class FieldFollower : public VisComponentGL {
public:
    FieldFollower(TabletopVisGL* vis, double size, double x, double y)
        : VisComponentGL(vis, size, size, true, true, x, y, 0.0)
    {
        for (BUFFERTAG tag : {ABSOLUTE_SIZE_BUFFER, RELATIVE_SIZE_BUFFER, DIRECTION_BUFFER,
                              ORIENTATION_BUFFER})
            setPassiveBuffer(tag, nullptr);
    }
    bool isAnimatingAbsoluteSize() override { return true; }
    bool isAnimatingDirection() override { return true; }
    bool isAnimatingOrienation() override { return true; }
    bool isAnimatingRelativeSize() override { return true; }

protected:
    void specificRender() override
    {
        glPushMatrix();
        doCommonTransformations();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glRectd(-getHalfWidth() / getXScale(), -getHalfHeight() / getYScale(),
                getHalfWidth() / getXScale(), getHalfHeight() / getYScale());
        glPopMatrix();
    }
    void specificRenderForPicking() override {}
};

// A 256 x 256 table with one user, container colours: inside blue, border orange, highlight green.
struct ContainerScene {
    std::unique_ptr<ClockedVisGL> vis;
    ContainerScene()
    {
        vis = std::make_unique<ClockedVisGL>(1, 256, 256, 256, 256);
        vis->useFakeClock();
        vis->setInsideColor(0.2f, 0.3f, 0.8f);
        vis->setBorderColor(1.0f, 0.5f, 0.0f);
        vis->setHighlightColor(0.0f, 1.0f, 0.0f);
    }
    void frame() { vis->frame(); }
    // n frames, each drawn into the test framebuffer.
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            GLTestContext::instance()->bindFramebuffer();
            vis->frame();
        }
    }
    // Table point of the container at radius r and angle (degrees) in its centred frame.
    template <class C> static void polar(const C* c, double r, double degrees, double* x, double* y)
    {
        const double a = degrees * M_PI / 180.0;
        *x = c->getXPos() + r * std::cos(a);
        *y = c->getYPos() + r * std::sin(a);
    }
};
