#pragma once
// VisComponent: the base of everything that lives on the table.
//
// Coordinate spaces:
//  - table: pixels as doubles, origin at the bottom-left corner of the table, y up;
//    a component's position (x, y) is its centre; rotation in degrees, kept in [0, 360).
//  - local: origin at the bottom-left corner of the unrotated rectangle, centre at (w/2, h/2).
//  - buffer cells: column = (unsigned)(local x / x scale + 1.5), likewise for rows, so local 0
//    falls on cell 1 and the grid has a margin of about one cell around the area.
//
// Ownership: a component does not own its children (the controller owns every component).
// Buffers in the active map are owned by the component; passive entries are borrowed from the
// parent's active buffers.
//
// The virtual operations are declared in a fixed order (slots 0 to 54); subclasses add theirs
// after the last one.

#include "BufferTag.h"
#include "FlatMap.h"
#include "IBuffer.h"
#include "WiiCommunicationData.h"

#include <list>
#include <map>
#include <vector>

class TabletopVis;

class VisComponent {
public:
    using ChildMap = std::map<unsigned long, VisComponent*>;
    // Sorted by tag, so iteration runs in tag order.
    using BufferMap = FlatMap<BUFFERTAG, IBuffer*>;

    VisComponent(TabletopVis* controller, double width, double height, bool rnt, bool tossing,
                 double x, double y, double z);
    // Member-wise: the copy refers to the same children and buffers.
    VisComponent(const VisComponent&) = default;
    VisComponent& operator=(const VisComponent&) = default;

    // --- virtual operations, slots 0 to 42 ---
    virtual ~VisComponent();
    virtual void moveBy(double dx, double dy, bool moveChildren);
    virtual void resizeAndRelocateChildren(double oldWidth, double oldHeight, double newWidth,
                                           double newHeight);
    virtual bool childrenResizeAndRelocate();
    virtual void setWidth(double width);
    virtual void setHeight(double height);
    virtual void setSquareSize(double size);
    virtual void setSize(double width, double height);
    // Interactive resizing to the table point (x, y).
    virtual void interactiveResizeCenter(double x, double y);
    virtual void interactiveResizeTopLeft(double x, double y);
    virtual bool isResizingReal();
    virtual void rotate(double degrees);
    virtual bool hasOrientation();
    // Whether a rotate-and-translate step may rotate with the grab point at table (x, y).
    virtual bool checkPositionForRNT(double x, double y);
    virtual void animationEnded();
    virtual void saveImportantAttributes();
    virtual void restoreImportantAttributes();
    virtual bool isStoringImportantAttributes();
    // 1 on success, 0 when nothing was done.
    virtual int addChild(VisComponent* child);
    virtual int removeChild(VisComponent* child);
    // This component if it is a composite, else null.
    virtual VisComponent* getComposite();
    virtual bool allowNesting();
    virtual bool childrenShowInteractionHandles();
    // Whether children whose handles are hidden may still be written on (their pen and eraser
    // corners answer); a parent that shows the handles lets them be written on anyway.
    virtual bool childrenCanBeWrittenOn();
    // (x, y): the pointer in table pixels; the other two: the contact's extent. The result is a
    // hit code: 0, 3, 12, 13 rotate-and-translate, 9 translate, others handled by the component.
    virtual unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                        unsigned int boundHeight);
    virtual unsigned int releaseLocalBuffer(unsigned int x, unsigned int y,
                                            unsigned int boundWidth, unsigned int boundHeight);
    virtual void setParent(VisComponent* parent);
    virtual void render();
    // Batched drawing: a component drawn as part of another component's batch names that
    // component (e.g. a primitive its canvas). The controller opens the batch before each run
    // of consecutive components with the same owner and closes it after the run, so the batch
    // draws them at their place in the render order. picking: the run is a picking render.
    virtual VisComponent* getRenderBatchOwner() { return nullptr; }
    virtual void beginRenderBatch(bool picking) { (void)picking; }
    virtual void endRenderBatch(bool picking) { (void)picking; }
    virtual void renderForPicking(bool withChildren);
    virtual void renderIntoBuffers();
    virtual void invalidatePassiveBuffers();
    virtual bool hasStaticRenderOrder();
    virtual bool compositeManagesLocalRenderList();
    virtual bool isResizing();
    virtual void rebuildGraphicRepresentation();
    virtual bool isAnimatingAbsoluteSize();
    virtual bool isAnimatingDirection();
    virtual bool isAnimatingOrienation();
    virtual bool isAnimatingRelativeSize();
    virtual double getXRelativeScalePos();
    virtual double getYRelativeScalePos();
    virtual double getOneOverX();
    virtual double getOneOverY();
    virtual void wiimoteEvent(std::vector<WiiCommunicationData::WIIMOTE_BUTTON>& buttons,
                              WiiCommunicationData& data);

protected:
    // --- virtual operations, slots 43 to 54 ---
    // f: the controller's frame factor; scales the flow movement.
    virtual void animateMyself(double f);
    virtual void doConstantAnimations(double f);
    virtual void specificRender() = 0;
    virtual void specificRenderForPicking() = 0;
    virtual void pickingPreparation() = 0;
    virtual void initialize();
    virtual void doCommonTransformations();
    virtual void createActiveBuffers();
    virtual void initializePassiveBuffers();
    virtual void recreateActiveBuffers();
    virtual void renderInGlobalBuffers();
    virtual void renderInActiveBuffers();

public:
    // --- tree ---
    int removeChildFromParentAndController(VisComponent* child);
    VisComponent* getChild(unsigned long id);
    unsigned long getNumberOfChildren();
    ChildMap* getMyChildren() { return &children; }
    VisComponent* getParent() const { return parent; }
    void moveToRenderFront(VisComponent* child);
    const std::list<VisComponent*>& getLocalRenderList() const { return localRenderList; }

    // --- ids, controller, flags ---
    unsigned long getId() const { return id; }
    void setId(unsigned long newId) { id = newId; }
    TabletopVis* getController() const { return controller; }
    void setController(TabletopVis* c) { controller = c; }
    void activate() { active = true; }
    void deactivate() { active = false; }
    void activateForRendering() { activeForRendering = true; }
    void deactivateForRendering() { activeForRendering = false; }
    bool getAnimationActive() const { return animationActive; }
    void setAnimationActive() { animationActive = true; }
    void setAnimationInactive() { animationActive = false; }
    bool getSelectionActive() const { return selectionActive; }
    void setSelectionActive() { selectionActive = true; }
    void setSelectionInactive() { selectionActive = false; }

    // --- geometry (table pixels) ---
    double getXPos() const { return xPos; }
    double getYPos() const { return yPos; }
    double getZPos() const { return zPos; }
    void setZPos(double z) { zPos = z; }
    void setPos(double x, double y) { xPos = x; yPos = y; }
    void getPos(double* x, double* y) const { *x = xPos; *y = yPos; }
    void getPos(double* x, double* y, double* z) const { *x = xPos; *y = yPos; *z = zPos; }
    void moveBy(double dx, double dy) { moveBy(dx, dy, true); }
    double getWidth() const { return width; }
    double getHeight() const { return height; }
    double getHalfWidth() const { return halfWidth; }
    double getHalfHeight() const { return halfHeight; }
    double getRealWidth() const { return realWidth; }
    double getRealHeight() const { return realHeight; }
    double getXScale() const { return xScale; }
    double getYScale() const { return yScale; }
    double getSurface() const { return surface; }
    double getSmallestSquareSurface() const { return smallestSquareSurface; }
    // Degrees: the temporary rotation while it is active, else the rotation.
    double getRotation() const { return temporaryRotationActive ? temporaryRotation : rotation; }
    void setTemporaryRotation(double degrees) { temporaryRotation = degrees; }
    void setTemporaryRotationActive(bool on) { temporaryRotationActive = on; }
    bool isTemporaryRotationActive() const { return temporaryRotationActive; }

    // Table point (gx, gy) into the local frame of a w x h rectangle centred on this component.
    void getLocalCoordinates(double gx, double gy, double w, double h, double* lx,
                             double* ly) const;
    // Inverse of getLocalCoordinates.
    void getGlobalCoordinates(double lx, double ly, double w, double h, double* gx,
                              double* gy) const;

    // --- colour (RGBA; doubles as the picking colour) ---
    unsigned char* getColorVector() { return color; }
    void setColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a);

    // --- pointer history (table pixels) ---
    void setPointerPos(double x, double y);
    double getPointerXPos() const { return pointerPos[0]; }
    double getPointerYPos() const { return pointerPos[1]; }
    double getPreviousPointerXPos() const { return previousPointerPos[0]; }
    double getPreviousPointerYPos() const { return previousPointerPos[1]; }
    double getBeforePreviousPointerXPos() const { return beforePreviousPointerPos[0]; }
    double getBeforePreviousPointerYPos() const { return beforePreviousPointerPos[1]; }
    void setLastTouch(double x, double y);
    double getLastTouchMovementX() const { return lastTouchMovement[0]; }
    double getLastTouchMovementY() const { return lastTouchMovement[1]; }
    double getLastTouchX() const { return lastTouch[0]; }
    double getLastTouchY() const { return lastTouch[1]; }

    // --- direct manipulation ---
    void initializeRNT(double x, double y);
    void moveWithRNTFromTo(double fromX, double fromY, double toX, double toY);
    bool doesRNT() const { return rntSupported; }
    bool getRNTActive() const { return rntActive; }
    void setRNTActive(bool on) { rntActive = on; }
    void computeInteractiveResizeCenter(double x, double y, double& w, double& h);
    void computeInteractiveResizeTopLeft(double x, double y, double xFactor, double yFactor,
                                         double& w, double& h, bool& flipX, bool& flipY);
    void computeInteractiveMoveForResizeTopLeft(double oldW, double oldH, double newW,
                                                double newH, bool flipX, bool flipY,
                                                double xFactor, double yFactor, double& mx,
                                                double& my);
    void setTossingNow(bool on);
    bool getTossingNow() const { return tossingNow; }
    bool getTossingActive() const { return tossingActive; }

    // --- animation ---
    void initiateAnimationToNewStates(double start);
    double getAnimationProgress() const { return animationProgress; }
    bool isAnimatingToNewStates() const { return animatingToNewStates; }
    void renderWithAnimation(double f);
    void renderAllChildrenWithAnimation(double f);
    // Called by the controller for a queued drop: pickColour is the RGB found under (x, y).
    void processDropping(unsigned char* pickColour, double x, double y);
    bool isCurrentlyMagnified() const { return currentlyMagnified; }
    double getCurrentScaleFactor() const { return currentScaleFactor; }
    void setUnscaledSize(double w, double h) { unscaledWidth = w; unscaledHeight = h; }
    double getUnscaledWidth() const { return unscaledWidth; }
    double getUnscaledHeight() const { return unscaledHeight; }
    double getSavedScalar() const { return savedScalar; }
    void setSavedScalar(double v) { savedScalar = v; }

    // --- rendering ---
    void renderAllChildren();
    void renderAllChildrenForPicking();

    // --- buffers ---
    IBuffer* getActiveBuffer(BUFFERTAG tag) const;
    void setActiveBuffer(BUFFERTAG tag, IBuffer* buffer);
    IBuffer* getPassiveBuffer(BUFFERTAG tag) const;
    void setPassiveBuffer(BUFFERTAG tag, IBuffer* buffer);
    // Entries are changed through setPassiveBuffer, connectBuffers and disconnectBuffers, which
    // count every change: components that cache typed views of their passive buffers compare
    // getPassiveBuffersVersion() instead of searching the map each frame.
    BufferMap* getPassiveBuffers() { return &passiveBuffers; }
    unsigned int getPassiveBuffersVersion() const { return passiveBuffersVersion; }
    BufferMap* getActiveBuffers() { return &activeBuffers; }
    // Typed views; null when absent, not connected or of another element type.
    template <class T> BufferTemplate<T>* getActiveBufferAs(BUFFERTAG tag) const
    {
        return bufferCast<T>(getActiveBuffer(tag));
    }
    template <class T> BufferTemplate<T>* getPassiveBufferAs(BUFFERTAG tag) const
    {
        return bufferCast<T>(getPassiveBuffer(tag));
    }
    void renderMeAndMyChildrenIntoBuffers();
    // Kilobytes of this composite's active buffers; 0 for a leaf.
    unsigned long getActiveBuffersMemorySize();

    unsigned int getBufferWidth() const { return bufferWidth; }
    unsigned int getBufferHeight() const { return bufferHeight; }
    void setBufferSize(unsigned int w, unsigned int h) { bufferWidth = w; bufferHeight = h; }
    unsigned int getBufferXPos() const { return static_cast<unsigned int>(xPos + 1.5); }
    unsigned int getBufferYPos() const { return static_cast<unsigned int>(yPos + 1.5); }
    void getBufferPos(unsigned int* bx, unsigned int* by) const
    {
        *bx = getBufferXPos();
        *by = getBufferYPos();
    }
    // Local coordinate to buffer cell; a magnified component addresses its unmagnified cells.
    unsigned int getBufferXCoordinateFromLocal(double lx) const
    {
        return static_cast<unsigned int>(lx / xScale + 1.5);
    }
    unsigned int getBufferYCoordinateFromLocal(double ly) const
    {
        return static_cast<unsigned int>(ly / yScale + 1.5);
    }

protected:
    bool isActive() const { return active; }
    bool isActiveForRendering() const { return activeForRendering; }
    void releaseAllChildren();
    void removeActiveBuffers();
    void connectBuffers(VisComponent* child);
    void disconnectBuffers(VisComponent* child);
    // One step of a toss; called at the end of render while tossing.
    void tossComponent();

private:
    void moveXBy(double dx) { xPos += dx; }
    void moveYBy(double dy) { yPos += dy; }
    void applyRealWidth(double w);
    void applyRealHeight(double h);
    void applyDisplayedSize(double w, double h);
    void restartAnimation();

private:
    void pushToLocalRenderFront(VisComponent* child);
    void removeFromLocalRenderList(VisComponent* child);

protected:
    double lastTouchMovement[2] = {0.0, 0.0};
    double lastTouch[2] = {0.0, 0.0};
    VisComponent* parent = nullptr;
    BufferMap activeBuffers;
    BufferMap passiveBuffers;
    unsigned int passiveBuffersVersion = 0;
    ChildMap children;
    // Front is drawn last (on top).
    std::list<VisComponent*> localRenderList;
    // Where this component sits in its parent's local render list (valid while renderListOwner
    // is that parent), so a child leaves or moves to the front in constant time.
    VisComponent* renderListOwner = nullptr;
    std::list<VisComponent*>::iterator renderListPosition;
    double animationProgress = 1.0;
    double animationTargetWidth = 0.0;
    double animationTargetHeight = 0.0;
    bool selectionActive = false;
    bool rntSupported;
    bool rntActive;
    bool tossingActive;
    bool temporaryRotationActive = false;
    bool temporaryRotationLatch = false;
    bool animatingToNewStates = false;
    bool restoringSize = false;
    double unscaledWidth;
    double unscaledHeight;
    TabletopVis* controller;
    bool active = false;
    unsigned long id = 0;
    double zPos;
    double pointerPos[2];
    double previousPointerPos[2];
    double beforePreviousPointerPos[2];
    double realWidth;
    double realHeight;
    unsigned int bufferWidth;
    unsigned int bufferHeight;
    unsigned char color[4] = {0, 0, 0, 0};
    double savedScalar = 0.0;
    double temporaryRotation = 0.0;
    // Snapshot of saveImportantAttributes; the base class uses the first thirteen.
    double savedAttributes[17] = {};
    double rntGrabOffset[2] = {0.0, 0.0};
    double rntStartRotation = 0.0;
    double rntGrabDistance = 0.0;
    double rntOneOverGrabDistance = 0.0;

    // What a frame's update of a small component reads and writes (placement, displayed size
    // and the flags it checks), kept together and last, so that a derived component's own
    // per-frame state can follow in the same cache lines.
    bool animationActive = true;
    bool activeForRendering = true;
    bool tossingNow = false;
    bool currentlyMagnified = false;
    double currentScaleFactor = 1.0;
    double xPos;
    double yPos;
    double rotation = 0.0;
    double width;
    double height;
    double xScale = 1.0;
    double yScale = 1.0;
    double halfWidth;
    double halfHeight;
    double surface;
    double smallestSquareSurface;
    double oneOverRealWidth;
    double oneOverRealHeight;
};
