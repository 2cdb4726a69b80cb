#pragma once
// BoundedContainerGL: a free-form region outlined by a closed spline through movable control
// points; components dropped into it become its children. With an inside boundary it is a ring.
// Users move and turn it by its body, translate it by its border strips and reshape it by dragging
// the control-point handles; it is drawn in the controller's container colours and opacity.
//
// Coordinates: the splines live in the container's unrotated frame with its centre at (0, 0)
// (table pixels); the hit mask (tag 15) covers the local frame at buffer resolution.
// Ownership: as VisComponent; the five display lists are deleted with the container.

#include "ContainerOutline.h"
#include "vis/VisComponentGL.h"

class BoundedContainerGL : public VisComponentGL {
public:
    // Hit codes of a gesture beyond the mask's region codes.
    static constexpr unsigned int kResizing = 4;
    static constexpr unsigned int kDraggingOutsidePoint = 10;
    static constexpr unsigned int kDraggingInsidePoint = 11;

    // controlPointCount is clamped to 3 … 24, splineLevel to at most 8; the size is fitted to
    // the outline afterwards.
    BoundedContainerGL(TabletopVisGL* vis, double width, double height, bool rnt, bool toss,
                       double x, double y, double z, unsigned int controlPointCount,
                       unsigned int splineLevel, bool hasInsideBoundary, bool rounded);
    ~BoundedContainerGL() override;

    bool allowNesting() override { return false; }
    VisComponent* getComposite() override { return this; }
    bool childrenShowInteractionHandles() override { return false; }
    bool childrenCanBeWrittenOn() override { return false; }
    // (x, y): the pointer in table pixels. Returns the gesture's code: 0 outside, 3 body,
    // 9/12/13 borders, 10/11 while a control point of the outline/inside outline is dragged.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    // Ends the gesture; after a reshape (4, 10, 11) the size is fitted and the buffers recreated.
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;
    // Nothing per frame: the fields change only with the shape.
    void renderIntoBuffers() override {}

    // --- added virtual operations, in slot order ---
    virtual void specificRenderAdditional() {}
    virtual void renderInActiveRelativeSizeBuffer();
    virtual bool hasControlPoints() { return true; }
    virtual void renderPickingGL();
    virtual void renderBasicGL();
    virtual void renderDecorationDL();
    virtual void renderHighlightDL();
    virtual void renderRNTCircleGL() {}
    virtual void buildOrRebuildRenderDisplayLists();
    virtual void buildOrRebuildSplinesFromControlPoints();
    virtual void resetLastSelectedTicks();
    // The next frame draws nothing (for screenshots without containers).
    virtual void hideForScreenshot() { hiddenForScreenshot = true; }

    // A random point of the body (hit code 3) in table coordinates. Gives the centre when no
    // sampled cell belongs to the body.
    void getRandomInsidePosition(double* x, double* y);

    const Spline& getSplineInside() const { return outline.inside(); }
    const Spline& getSplineOutside() const { return outline.outside(); }
    const Spline& getSplineInsideBorder() const { return outline.insideBorder(); }
    const Spline& getSplineOutsideBorder() const { return outline.outsideBorder(); }
    bool hasInsideBoundary() const { return outline.hasInsideBoundary(); }
    unsigned int getControlPointCount() const { return outline.controlPointCount(); }
    unsigned int getSplineLevel() const { return outline.splineLevel(); }
    float getRingWidth() const { return ringWidth; }
    float getBorderWidth() const { return borderWidth; }
    unsigned int getHitState() const { return hitState; }
    bool isDraggingControlPoint() const { return draggingControlPoint; }
    unsigned long getRNTCircleTicks() const { return rntCircleTicks; }

protected:
    void initialize() override;
    void specificRender() override;
    void specificRenderForPicking() override;
    // Hit mask (15), handle mask (24) and relative size (3).
    void createActiveBuffers() override;
    void renderInActiveBuffers() override;

    // Fits the size to the outline; with relocate the splines are centred again and the
    // container moves so that the outline keeps its place on the table.
    void recomputeSizeAndRelocateSplines(bool relocate);
    BufferMapping bufferMapping() const;
    // Table point into the unrotated frame centred on the container.
    void toShapeFrame(double x, double y, double* sx, double* sy) const;

    ContainerOutline outline;
    float ringWidth = 0.0f;
    float borderWidth = 0.0f;
    float insideColor[3] = {0.0f, 0.0f, 0.0f};
    float borderColor[3] = {0.0f, 0.0f, 0.0f};
    float highlightColor[3] = {0.0f, 0.0f, 0.0f};
    float opacity = 1.0f;
    bool touched = false;
    bool resizing = false;
    bool draggingControlPoint = false;
    unsigned int hitState = 0;
    unsigned int draggedControlPoint = 0;
    bool draggedInside = false;
    unsigned int pickingDL = 0;
    unsigned int basicDL = 0;
    unsigned int decorationDL = 0;
    unsigned int highlightDL = 0;
    unsigned int rntCircleDL = 0;
    unsigned long lastSelectedTicks = 0;
    unsigned long rntCircleTicks = 2000;
    bool hiddenForScreenshot = false;

private:
    void drawOutlines(const float* color);
};
