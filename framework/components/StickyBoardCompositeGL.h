#pragma once
// StickyBoardCompositeGL: a rectangular board for sticky notes. It is a bounded container with
// four corner control points (no handles to drag them), a border strip that only translates it,
// a body that moves and rotates it, and a resize corner (bottom right, 55 cells). Notes dropped
// on it become its children; when the board is resized they are laid out again and resized in
// proportion.
//
// Coordinates: as BoundedContainerGL (splines in the unrotated frame centred on the board).
// Ownership: as BoundedContainerGL.

#include "BoundedContainerGL.h"

class StickyBoardCompositeGL : public BoundedContainerGL {
public:
    // Cells of the resize square's edge.
    static constexpr unsigned int kResizeCorner = 55;

    StickyBoardCompositeGL(TabletopVisGL* vis, double width, double height, bool rnt,
                           bool tossing, double x, double y, double z);

    // Notes on the board are written on: their pen and eraser corners answer, though the
    // board hides their other handles.
    bool childrenCanBeWrittenOn() override { return true; }
    // Children follow every size change.
    bool childrenResizeAndRelocate() override { return true; }
    void resizeAndRelocateChildren(double oldWidth, double oldHeight, double newWidth,
                                   double newHeight) override;
    // (x, y): the pointer in table pixels. 3 body, 12 border strip, 4 resizing.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    void specificRenderAdditional() override;
    bool hasControlPoints() override { return false; }
    void renderRNTCircleGL() override;
    void buildOrRebuildRenderDisplayLists() override;
    // Both splines through the corners (−a, −b), (a, −b), (a, b), (−a, b); each half-extent is
    // at least 3 × the controller's container border width.
    virtual void computeNewSplineControlPoints(double a, double b);

protected:
    void renderInActiveBuffers() override;
};
