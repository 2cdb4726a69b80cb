#pragma once
// BasicImageGL: the drawing of a framed, textured rectangle shared by every picture-like item
// (images, documents, labels, sticky notes, creators): a picking rectangle, the textured picture
// over 96 % of the component (the outer 2 % on each side is the frame), a decoration outline, an
// interaction-hint corner mark and the rotate-and-translate (RNT) circle, in normal and
// highlighted colours. It also holds the touch state these items share and their hit mask.
//
// Coordinates: the render…GL operations draw around the origin with the half-extents (hw, hh) of
// the component's unscaled (real) size, the frame after doCommonTransformations, so display lists
// compiled from them are stretched to any size by the x and y scale. Touches arrive in table
// pixels; the hit mask (tag 15, int) is indexed by buffer cells of the local frame.
// Ownership: as VisComponent. Needs the OpenGL context current for everything that draws.

#include "AnnotationStroke.h"
#include "vis/PBuffer.h"
#include "vis/VisComponentGL.h"

class BasicImageGL : public VisComponentGL {
public:
    // Hit-mask codes: move, rotate and toss; resize corner; pen corner; eraser corner.
    static constexpr unsigned int kMoveCode = 3;
    static constexpr unsigned int kResizeCode = 4;
    static constexpr unsigned int kPenCode = 7;
    static constexpr unsigned int kEraserCode = 8;
    // The picture's share of the component's width and height.
    static constexpr double kPictureShare = 0.96;

    BasicImageGL(TabletopVisGL* vis, double width, double height, bool rnt, bool tossing, double x,
                 double y, double z);

    // Inside the RNT circle (radius² = smallest square surface × the controller's quarter
    // squared RNT factor) a touch only moves the item; outside it also rotates it.
    bool checkPositionForRNT(double x, double y) override;
    // Size changes only scale the item: the drawing lists and the hit mask keep the size the
    // item was built at and are stretched by the x and y scale.
    bool isResizingReal() override { return false; }
    // Items follow their container's size, magnification, movement and orientation fields.
    bool isAnimatingAbsoluteSize() override { return true; }
    bool isAnimatingDirection() override { return true; }
    bool isAnimatingOrienation() override { return true; }
    bool isAnimatingRelativeSize() override { return true; }
    double getXRelativeScalePos() override { return kPictureShare; }
    double getYRelativeScalePos() override { return kPictureShare; }
    double getOneOverX() override { return 1.0 / kPictureShare; }
    double getOneOverY() override { return 1.0 / kPictureShare; }

    // --- added virtual operations: immediate-mode drawing around the origin (see above) ---
    // The rectangle, in the current colour (the picking colour set by pickingPreparation).
    virtual void renderPickingGL();
    // A white textured quad strip over ±0.96 of the half-extents, texture coordinates 0 … 1.
    virtual void renderBasicGL();
    // A closed line (width 1.5) round the picture, border or highlight colour.
    virtual void renderDecorationGL(bool highlighted);
    // The resize corner mark: a line strip (width 3.0) at 0.98 of the half-extents.
    virtual void renderInteractionHintsGL(bool highlighted);
    // The RNT circle: 73 points at 5° steps, radius getRNTFactor() × min(hw, hh).
    virtual void renderRNTCircleGL(bool highlighted);

    unsigned int getHitCode() const { return hitCode; }
    bool isTouched() const { return touched; }
    bool isResizingByTouch() const { return resizing; }
    unsigned long getLastSelectedTicks() const { return lastSelectedTicks; }
    unsigned long getRNTCircleTicks() const { return rntCircleTicks; }
    bool isDrawingMode() const { return drawingMode; }
    bool isEraser() const { return eraser; }
    unsigned long getDrawingTimeout() const { return drawingTimeout; }
    unsigned long getLastDrawingTicks() const { return lastDrawingTicks; }
    // The RNT circle shows for getRNTCircleTicks() after the item was last drawn selected.
    bool isRNTCircleVisible() const;

protected:
    // Eight display lists in the shared order: picking, basic, decoration, RNT circle,
    // interaction hints, decoration highlighted, RNT circle highlighted, hints highlighted.
    enum ListIndex : unsigned int {
        kPickingList = 0,
        kBasicList,
        kDecorationList,
        kRNTCircleList,
        kInteractionHintsList,
        kDecorationHighlightList,
        kRNTCircleHighlightList,
        kInteractionHintsHighlightList,
        kListCount
    };
    // Compiles the eight lists from the render…GL operations into lists[0 … 7].
    void buildImageDisplayLists(unsigned int* lists);
    static void deleteImageDisplayLists(unsigned int* lists);

    // The hit mask (tag 15): an int grid of the buffer size.
    void createActiveBuffers() override;
    // Code 3 everywhere, 4 in the resize corner, and with penAndEraser 7 and 8 in the top corners.
    void fillImageHitMask(bool penAndEraser);
    // The hit-mask code under table point (x, y), 0 off the component.
    unsigned int hitMaskCodeAt(double x, double y) const;
    // Step 1 of a touch on an item: on the first position the touch is taken and its code read
    // from the mask; code 4 starts resizing. A parent that hides interaction handles keeps the
    // touch from being taken, unless its children can be written on: then the touch is taken
    // with the resize corner read as the body (code 3).
    void beginTouchAt(double x, double y);
    // One position of a touch at table point (x, y): step 1 above; a drawing mode idle for more
    // than drawingTimeout ticks ends; while resizing the item follows the touch. With drawing on
    // and a target, a stroke step goes into it (see drawAnnotationStep) and the pen or eraser
    // code is the answer; otherwise hitCode.
    unsigned int touchAt(double x, double y, PBuffer* target = nullptr, unsigned int texture = 0,
                         const float* eraserColour = nullptr);
    // Ends the touch; false (and hitCode 0) when none was under way. A touch that began on the
    // pen or eraser corner turns drawing on, with a fresh stroke and a renewed timeout.
    bool endTouch();
    // Whether the hints are drawn: no parent, or one that shows interaction handles.
    bool showsInteractionHints() const;
    // Stamps lastSelectedTicks while selected; returns whether the item is selected.
    bool stampSelection();
    // Draws the RNT circle list at the item's position, rotation and smaller scale, if visible.
    void renderRNTCircleList(unsigned int normalList, unsigned int highlightedList);
    // The controller's ticks per second × RNT circle display time, truncated.
    void resetRNTCircleTicks();

    // One stroke step of annotation at table point (x, y) into the 512 × 512 target whose
    // texture is bound first. Pen: black over a white underlay. Eraser: with eraserColour null it
    // clears to transparent (constant-colour blending), else it paints in that RGBA colour.
    void drawAnnotationStep(PBuffer& target, unsigned int texture, AnnotationStroke& stroke,
                            bool eraser, const float* eraserColour, double x, double y);
    // Makes the 512 × 512 target, activates it (the caller deactivates it), sets it up for
    // stroke steps and clears it to the RGBA clearColour; smoothing hints nicest or fastest.
    void openAnnotationTarget(PBuffer& target, const float* clearColour, bool nicest);
    // Generates a texture for a target and asks for generated mipmaps ("GL_GENERATE_MIPMAP_SGIS
    // failed" without the extension); leaves it bound.
    unsigned int createAnnotationTexture();

    bool touched = false;
    bool resizing = false;
    unsigned int hitCode = 0;
    unsigned long lastSelectedTicks = 0;
    unsigned long rntCircleTicks = 0;
    // Annotation: on after a release on the pen or eraser corner, off once drawingTimeout ticks
    // (one second) pass without a stroke step.
    unsigned long drawingTimeout = 1000;
    unsigned long lastDrawingTicks = 0;
    bool drawingMode = false;
    bool eraser = false;
    AnnotationStroke stroke;
};
