#pragma once
// SurfaceCompositeGL: the table itself. A composite as large as the screen plus a margin
// (overflowSize) on every side that never moves, rotates or tosses; children can be dropped onto
// it. Its border of borderSize pixels is drawn in the controller's border colour, fading out
// towards the inside.
//
// Coordinates: table pixels; the display lists are drawn in the surface's centred frame.
// Ownership: as VisComponent; the display lists are deleted with the surface.

#include "vis/VisComponentGL.h"

class SurfaceCompositeGL : public VisComponentGL {
public:
    SurfaceCompositeGL(TabletopVisGL* vis, unsigned int width, unsigned int height, double x,
                       double y, double z, double borderSize, double overflowSize);
    ~SurfaceCompositeGL() override;

    bool allowNesting() override { return true; }
    VisComponent* getComposite() override { return this; }
    bool hasStaticRenderOrder() override { return true; }
    // The controller rebuilds the surface when the screen size changes.
    bool isResizing() override { return true; }
    bool compositeManagesLocalRenderList() override { return false; }
    // The surface handles every touch itself: it is never moved.
    unsigned int hitLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int) override
    {
        return 1;
    }
    unsigned int releaseLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int) override
    {
        return 1;
    }
    // Centres the surface on the new screen with its margin, puts children that lay outside its
    // old extent back inside, and recreates the buffers and display lists.
    void rebuildGraphicRepresentation() override;

    // --- added virtual operations ---
    virtual double getOverflowSize() { return overflowSize; }
    virtual double getBorderSize() { return borderSize; }
    double getHalfOverflowSize() const { return halfOverflowSize; }

protected:
    virtual void renderSurfaceGL();
    virtual void renderPickingGL();
    virtual void buildOrRebuildRenderDisplayLists();
    // Drawn after the surface, in its centred frame (markings of derived surfaces).
    virtual void specificRenderAdditional() {}
    // Children outside [0, width] x [0, height] (table pixels): a coordinate beyond the extent
    // becomes 0.9 of it, a negative one 0.1 of it.
    virtual void repositionChildren();

    void initialize() override;
    void specificRender() override;
    void specificRenderForPicking() override;
    // Relative size 1.0 everywhere.
    void createActiveBuffers() override;

    double borderSize;
    double overflowSize;
    double halfOverflowSize;
    float borderColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float borderColorTransparent[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    unsigned int renderDL = 0;
    unsigned int pickingDL = 0;
    bool displayListsBuilt = false;
};
