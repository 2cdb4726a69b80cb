#include "StorageBinCompositeGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

StorageBinCompositeGL::StorageBinCompositeGL(TabletopVisGL* vis, double width, double height,
                                             bool rnt, bool toss, double x, double y, double z,
                                             unsigned int controlPointCount,
                                             unsigned int splineLevel, bool hasInsideBoundary,
                                             bool rounded)
    : BoundedContainerGL(vis, width, height, rnt, toss, x, y, z, controlPointCount, splineLevel,
                         hasInsideBoundary, rounded)
{
    recreateActiveBuffers();
}

void StorageBinCompositeGL::createActiveBuffers()
{
    BoundedContainerGL::createActiveBuffers();
    BufferTemplate<float>* size = getController()
                                      ? getController()->createNewFloatImageBuffer(getBufferWidth(), getBufferHeight())
                                      : nullptr;
    if (!size) return;
    size->fillEntireBuffer(kChildSize);
    setActiveBuffer(ABSOLUTE_SIZE_BUFFER, size);
}
