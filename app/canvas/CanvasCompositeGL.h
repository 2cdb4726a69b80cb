#pragma once
// Interim declaration of the painting canvas with the operations that primitives and tool
// brushes call; replaced by the canvas's own header when that lands.

#include "vis/VisComponentGL.h"

class CanvasCompositeGL : public VisComponentGL {
public:
    CanvasCompositeGL(TabletopVisGL* vis, double width, double height, double x, double y)
        : VisComponentGL(vis, width, height, false, false, x, y, 0.0)
    {
    }
    VisComponent* getComposite() override { return this; }
    virtual void queueForDeletion(VisComponent*) {}
    virtual bool isPainting() { return false; }

protected:
    void specificRender() override {}
    void specificRenderForPicking() override {}
};
