#pragma once
// StorageBinCompositeGL: a bounded container whose children all take one absolute size
// (tag 2, 200 pixels): items dropped into a bin grow or shrink to it and return to their own
// size when taken out.

#include "BoundedContainerGL.h"

class StorageBinCompositeGL : public BoundedContainerGL {
public:
    static constexpr float kChildSize = 200.0f;

    StorageBinCompositeGL(TabletopVisGL* vis, double width, double height, bool rnt, bool toss,
                          double x, double y, double z, unsigned int controlPointCount,
                          unsigned int splineLevel, bool hasInsideBoundary, bool rounded);

protected:
    void createActiveBuffers() override;
};
