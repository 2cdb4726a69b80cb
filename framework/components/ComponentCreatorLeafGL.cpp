#include "ComponentCreatorLeafGL.h"

#include "InterfaceCurrentCompositeGL.h"
#include "StorageBinCompositeGL.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <iostream>
#include <strings.h>

// The created kinds as plain components. A kind whose class is not in this build cannot exist,
// so its create operation can only have answered null.
#define NPR_AS_COMPONENT(Class)                                                          \
    [[maybe_unused]] static VisComponent* asComponent(Class* p) { return p; }
#define NPR_NO_COMPONENT(Class)                                                                  \
    [[maybe_unused]] static VisComponent* asComponent(Class*) { return nullptr; }
#if __has_include("StickyBoardCompositeGL.h")
#include "StickyBoardCompositeGL.h"
NPR_AS_COMPONENT(StickyBoardCompositeGL)
#else
NPR_NO_COMPONENT(StickyBoardCompositeGL)
#endif
#if __has_include("StickyNoteLeafGL.h")
#include "StickyNoteLeafGL.h"
NPR_AS_COMPONENT(StickyNoteLeafGL)
#else
NPR_NO_COMPONENT(StickyNoteLeafGL)
#endif
#if __has_include("SizeLensLeafGL.h")
#include "SizeLensLeafGL.h"
NPR_AS_COMPONENT(SizeLensLeafGL)
#else
NPR_NO_COMPONENT(SizeLensLeafGL)
#endif
#if __has_include("DirectionLensLeafGL.h")
#include "DirectionLensLeafGL.h"
NPR_AS_COMPONENT(DirectionLensLeafGL)
#else
NPR_NO_COMPONENT(DirectionLensLeafGL)
#endif
#if __has_include("OrientationLensLeafGL.h")
#include "OrientationLensLeafGL.h"
NPR_AS_COMPONENT(OrientationLensLeafGL)
#else
NPR_NO_COMPONENT(OrientationLensLeafGL)
#endif

ComponentCreatorLeafGL::ComponentCreatorLeafGL(TabletopVisGL* vis, double width, double height,
                                               double x, double y, double z,
                                               unsigned int texture)
    : AbstractImageGL(vis, width, height, false, false, x, y, z, texture)
{
    // The base constructor could only fill the image's mask.
    recreateActiveBuffers();
    hitCode = 0;
}

void ComponentCreatorLeafGL::renderInActiveBuffers()
{
    if (BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER))
        mask->fillEntireBuffer(static_cast<int>(kCreateCode));
}

VisComponent* ComponentCreatorLeafGL::liveCreated()
{
    // The new component may already be gone (dropped on a destroyer, say).
    TabletopVis* vis = getController();
    if (created && (!vis || vis->getComponent(createdId) != created)) created = nullptr;
    return created;
}

unsigned int ComponentCreatorLeafGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                                    unsigned int)
{
    TabletopVis* vis = getController();
    const double tx = x;
    const double ty = y;
    if (!dragging) {
        dragging = true;
        created = nullptr;
        // Off the mask (or off the creator) is code 0: the gesture makes nothing.
        hitCode = hitMaskCodeAt(tx, ty);
        if (hitCode == kCreateCode && vis) {
            created = createComponent(getXPos(), getYPos());
            createdId = created ? created->getId() : 0;
            if (liveCreated()) {
                created->invalidatePassiveBuffers();
                vis->moveComponentToRenderFront(created);
                vis->addToDroppingList(created);
            }
        }
    }
    if (hitCode == kCreateCode && vis && liveCreated()) {
        created->setPos(tx, ty);
        created->invalidatePassiveBuffers();
        vis->moveComponentToRenderFront(created);
    }
    return hitCode;
}

unsigned int ComponentCreatorLeafGL::releaseLocalBuffer(unsigned int x, unsigned int y,
                                                        unsigned int, unsigned int)
{
    if (dragging) {
        dragging = false;
        TabletopVis* vis = getController();
        if (hitCode == kCreateCode && vis && liveCreated()) {
            // Dropped where it lies now, not where the gesture began.
            created->setPos(x, y);
            created->setPointerPos(x, y);
            vis->addToDroppingList(created);
        }
        created = nullptr;
    } else {
        hitCode = 0;
    }
    return hitCode;
}

// ---------------------------------------------------------------------------------------------

ContainerCreatorLeafGL::ContainerCreatorLeafGL(TabletopVisGL* vis, double width, double height,
                                               double x, double y, double z, double createdWidth_,
                                               double createdHeight_, unsigned int controlPoints_,
                                               unsigned int splineLevel_, bool rounded_,
                                               unsigned int texture)
    : ComponentCreatorLeafGL(vis, width, height, x, y, z, texture),
      createdWidth(createdWidth_),
      createdHeight(createdHeight_),
      controlPoints(controlPoints_),
      splineLevel(splineLevel_),
      rounded(rounded_)
{
}

VisComponent* StorageBinCreatorLeafGL::createComponent(double x, double y)
{
    return getController()->createStorageBin(createdWidth, createdHeight, true, true, x, y, 0.0,
                                             controlPoints, splineLevel, false, rounded);
}

VisComponent* PoolInterfaceCurrentCreatorLeafGL::createComponent(double x, double y)
{
    return getController()->createInterfaceCurrent(createdWidth, createdHeight, true, true, x, y,
                                                   0.0, controlPoints, splineLevel, false,
                                                   rounded);
}

VisComponent* BeltInterfaceCurrentCreatorLeafGL::createComponent(double x, double y)
{
    return getController()->createInterfaceCurrent(createdWidth, createdHeight, true, true, x, y,
                                                   0.0, controlPoints, splineLevel, true, rounded);
}

StickyCreatorLeafGL::StickyCreatorLeafGL(TabletopVisGL* vis, double width, double height,
                                         double x, double y, double z, double createdWidth_,
                                         double createdHeight_, unsigned int texture)
    : ComponentCreatorLeafGL(vis, width, height, x, y, z, texture),
      createdWidth(createdWidth_),
      createdHeight(createdHeight_)
{
}

VisComponent* StickyBoardCreatorLeafGL::createComponent(double x, double y)
{
    return asComponent(
        getController()->createStickyBoard(createdWidth, createdHeight, true, true, x, y, 0.0));
}

VisComponent* StickyNoteCreatorLeafGL::createComponent(double x, double y)
{
    return asComponent(
        getController()->createStickyNote(createdWidth, createdHeight, true, true, x, y, 0.0, 0.0));
}

LensCreatorLeafGL::LensCreatorLeafGL(TabletopVisGL* vis, double width, double height, double x,
                                     double y, double z, double createdWidth_,
                                     double createdHeight_, const char* dropoffName_,
                                     unsigned int texture, double lensParamA_, double lensParamB_,
                                     unsigned int directionParam_, double upX_, double upY_,
                                     const char* lensKind_)
    : ComponentCreatorLeafGL(vis, width, height, x, y, z, texture),
      createdWidth(createdWidth_),
      createdHeight(createdHeight_),
      lensKind(lensKind_ ? lensKind_ : ""),
      dropoffName(dropoffName_ ? dropoffName_ : ""),
      lensParamA(lensParamA_),
      lensParamB(lensParamB_),
      directionParam(directionParam_),
      upX(upX_),
      upY(upY_)
{
}

VisComponent* LensCreatorLeafGL::createComponent(double x, double y)
{
    TabletopVis* vis = getController();
    const char* kind = lensKind.c_str();
    const char* dropoff = dropoffName.c_str();
    auto is = [kind](const char* name) { return strcasecmp(kind, name) == 0; };
    if (is("size"))
        return asComponent(vis->createSizeLens(
            createdWidth, createdHeight, true, x, y, 0.0, 0.0, dropoff, lensParamA, lensParamB,
            lensFlag));
    if (is("direction"))
        return asComponent(vis->createDirectionLens(
            createdWidth, createdHeight, true, x, y, 0.0, 0.0, dropoff, lensParamA, lensParamB,
            directionParam, lensFlag));
    const char* orientations[3] = {"orientation-up", "orientation-in", "orientation-out"};
    for (unsigned int k = 0; k < 3; ++k)
        if (is(orientations[k]))
            return asComponent(vis->createOrientationLens(
                createdWidth, createdHeight, true, true, x, y, 0.0, 0.0, upX, upY, lensFlag, k));
    std::cout << "Error: incorrect lens type chosen for creation, no lens created!" << std::endl;
    return nullptr;
}
