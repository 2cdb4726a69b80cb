#pragma once
// PrimitiveLeafGL: base of the small components that make up the picture on the painting canvas
// (points, tiles, strokes, geometric strokes). A primitive never takes touches: each frame it
// samples the canvas buffers at its own position and adapts colour, orientation, size and
// position; once eroded it asks the canvas to delete it.
//
// Layers: only primitives whose type equals the current layer (tool-state cell (0, 3)) react to
// the buffers; the others keep their state and may be drawn dimmed.
// Coordinates: position in table pixels; buffers are read at the cell of the primitive's centre
// in the parent's buffer grid (parent-local coordinates / scale + 1.5, clamped to the grid).
// Ownership: as every component, owned by the controller; buffers are the canvas's (passive).

#include "vis/VisComponentGL.h"

#include "canvas/PrimitiveBatch.h"
#include "core/BufferTemplate.h"

#include <cstdint>

class CanvasCompositeGL;
class TabletopVisGL;

class PrimitiveLeafGL : public VisComponentGL {
public:
    // Life a new primitive starts with; at 10 or less it is queued for deletion.
    static constexpr int kInitialLife = 210;
    static constexpr int kDeletionLife = 10;
    // Bounds of a size changed by the size difference buffer.
    static constexpr double kMinimumRelativeSize = 5.0;
    static constexpr double kMaximumRelativeSize = 250.0;
    // Frames a new primitive stays undrawn.
    static constexpr int kHiddenFrames = 3;

    struct Color {
        unsigned char r = 0;
        unsigned char g = 0;
        unsigned char b = 0;
    };

    // (x, y): centre in table pixels; the two flags go to the framework component
    // (rotate-and-translate, tossing). type: the layer number.
    PrimitiveLeafGL(TabletopVisGL* vis, double x, double y, bool rnt, bool tossing, double width,
                    double height, double baseSizeFactor, int type);
    ~PrimitiveLeafGL() override;

    bool isResizingReal() override { return false; }
    bool hasOrientation() override { return true; }
    bool isAnimatingAbsoluteSize() override { return true; }
    bool isAnimatingDirection() override { return true; }
    bool isAnimatingOrienation() override { return true; }
    bool isAnimatingRelativeSize() override { return true; }
    // Caches whether the new parent is the painting canvas.
    void setParent(VisComponent* parent) override;

    virtual int getPrimitiveType();

    // State read by tests, the study logger and the canvas.
    int getLife() const { return life; }
    void setLife(int l)
    {
        life = l;
        wakeInPass();
    }
    const Color& getDisplayColor() const { return displayColor; }
    void setDisplayColor(unsigned char r, unsigned char g, unsigned char b);
    Color getBufferColor() const { return {colorR, colorG, colorB}; }
    bool isInTargetArea() const { return inTargetArea; }
    bool isQueuedForDeletion() const { return queuedForDeletion; }
    bool hasChangedThisFrame() const { return changedThisFrame; }
    double getTargetOrientation() const { return targetOrientation; }
    double getTargetWidth() const { return targetWidth; }
    double getTargetHeight() const { return targetHeight; }
    double getSizeAnimationProgress() const { return sizeProgress; }
    double getBaseSizeFactor() const { return baseSizeFactor; }
    int getFrameCounter() const { return frameCounter; }
    // Whether the canvas currently dims this primitive's layer (cells (0, 5) and (0, 4)).
    bool isDimmed();

    // Draws the primitive for an image export (CanvasCompositeGL::renderPicture): as a frame
    // draws it, without tossing or counting a frame.
    void renderForPicture()
    {
        if (isActiveForRendering()) specificRender();
    }

    // Everything of a primitive that its next frames depend on, beyond what it was constructed
    // with: placement (table pixels, degrees), displayed size, colours, life and the progress of
    // its animations. setState on a primitive constructed with the same arguments and the same
    // constructed (real) size makes it draw and behave as the one getState was taken from.
    struct State {
        double x = 0.0;
        double y = 0.0;
        double rotation = 0.0;
        double width = 0.0;
        double height = 0.0;
        int life = kInitialLife;
        int frameCounter = 0;
        Color displayColor;
        Color bufferColor;
        bool inTargetArea = false;
        bool sizeAnimationPending = false;
        double targetOrientation = 0.0;
        double previousTargetOrientation = 0.0;
        double sizeProgress = 1.0;
        double targetWidth = 0.0;
        double targetHeight = 0.0;
        double takenAbsoluteSize = -1.0;
    };
    State getState() const;
    void setState(const State& state);

    // Runs one frame of this primitive's own update (the reference the canvas's pass over its
    // store is compared with).
    void update(double dt) { updateSelf(dt); }

    // The canvas's update pass over its store: the fields are read straight from the canvas's
    // grids at the primitive's cell.
    struct PassGrids {
        const BufferTemplate<float>* erase = nullptr;
        const BufferTemplate<unsigned char>* color = nullptr;
        bool dropOff = false;
        const BufferTemplate<bool>* targetArea = nullptr;
        const BufferTemplate<float>* movement = nullptr;
        const BufferTemplate<float>* orientation = nullptr;
        const BufferTemplate<float>* size = nullptr;
        const BufferTemplate<float>* sizeDifference = nullptr;
        const BufferTemplate<float>* relativeSize = nullptr;
        // Read only by the kinds that take more from their cell (readPassExtras).
        const BufferTemplate<int>* speed = nullptr;
        const BufferTemplate<unsigned char>* temporaryColor = nullptr;
        // The canvas's placement: centre, size, scale and rotation (cosine, sine).
        double x = 0.0;
        double y = 0.0;
        double width = 0.0;
        double height = 0.0;
        double xScale = 1.0;
        double yScale = 1.0;
        double cosA = 1.0;
        double sinA = 0.0;
    };
    // Whether the pass runs this primitive's own update instead of the shared steps.
    virtual bool hasOwnUpdate() const { return false; }
    // What a kind reads from its cell (x, y) in the pass before the shared steps.
    virtual void readPassExtras(const PassGrids&, unsigned int, unsigned int) {}
    // Whether readPassExtras reads the speed and temporary colour cells (so the pass fetches
    // them ahead too); the same for every primitive of a layer.
    virtual bool readsPassExtras() const { return false; }
    // The state readPassExtras may change besides the display colour.
    virtual int passExtraState() const { return 0; }
    // One frame in the canvas's pass. *x, *y come in as the cell the primitive read in its last
    // pass and go out as the cell it reads next. clean: no grid the pass reads was written at
    // that cell since the last pass; a primitive whose last update there changed nothing, and
    // which nothing else changed since, is then skipped (the update would change nothing).
    // Returns whether it was skipped.
    bool updateInPass(const PassGrids& pass, double dt, bool clean, unsigned int* x,
                      unsigned int* y);
    // Whether the last pass update changed nothing (the next one is skipped where clean).
    bool isIdleInPass() const { return passIdle; }
    // Hints the cache lines the pass touches.
    void prefetchForUpdate() const;
    // The store's handle of this primitive (PrimitiveStore::kNone outside a canvas's store).
    std::uint32_t getStoreId() const { return storeId; }
    void setStoreId(std::uint32_t id) { storeId = id; }

protected:
    // Called by the framework each frame: a primitive in its canvas's store has the canvas run
    // the pass over the whole layer once per frame, any other updates itself.
    void animateMyself(double dt) final;
    // The per-primitive update: steps 1 to 6 at the primitive's own cell.
    virtual void updateSelf(double dt);
    void doConstantAnimations(double) override {}
    void specificRender() override {}
    void specificRenderForPicking() override {}
    // A primitive never takes a touch: it is picked in its parent's colour, so a touch on it
    // reaches the canvas under it.
    void pickingPreparation() override;
    void initialize() override {}
    void createActiveBuffers() override {}
    void initializePassiveBuffers() override;

    // Typed views of the passive buffers. They are looked up again only when the passive map
    // changed (the canvas connected, reconnected or disconnected its buffers), so the per-frame
    // update pays no map search and no cast.
    struct BufferViews {
        BufferTemplate<int>* speedBuffer = nullptr;
        BufferTemplate<float>* sizeBuffer = nullptr;
        BufferTemplate<float>* sizeDifferenceBuffer = nullptr;
        BufferTemplate<float>* relativeSizeBuffer = nullptr;
        BufferTemplate<float>* movementBuffer = nullptr;
        BufferTemplate<float>* orientationBuffer = nullptr;
        BufferTemplate<float>* temporaryOrientationBuffer = nullptr;
        BufferTemplate<unsigned char>* colorBuffer = nullptr;
        BufferTemplate<unsigned char>* temporaryColorBuffer = nullptr;
        BufferTemplate<float>* eraseBuffer = nullptr;
        BufferTemplate<float>* tilePositionBuffer = nullptr;
        BufferTemplate<float>* toolStateBuffer = nullptr;
        BufferTemplate<float>* dropOffBuffer = nullptr;
        BufferTemplate<bool>* selectionBuffer = nullptr;
        BufferTemplate<bool>* targetAreaBuffer = nullptr;
        BufferTemplate<bool>* strokeVisibilityBuffer = nullptr;
    };
    const BufferViews& buffers()
    {
        if (getPassiveBuffersVersion() != boundVersion) bindBuffers();
        return views;
    }

    // True when the tool-state grid exists and its current layer is this primitive's type.
    bool isOnCurrentLayer();
    // Tool-state cell (column, row), 0 when the grid is missing or too small.
    float toolStateCell(unsigned int column, unsigned int row);
    // The cell of the centre in the parent's buffer grid; false without a parent.
    bool locateCell();
    // The cell and fractional position of the centre in buffer cells (a parent is required).
    void cellOfCentre(unsigned int* x, unsigned int* y, double* bx, double* by) const;
    // The same for a parent placed as in pass.
    void cellIn(const PassGrids& pass, unsigned int* x, unsigned int* y, double* bx,
                double* by) const;
    // Bracket an update for the canvas's prefetcher: the start fetches ahead, the end tells
    // which cell the primitive will read next (where it moved to).
    void beginVisit();
    void endVisit();
    // Applies the temporary colour (tag 11) unless its red is the neutral 127.
    void applyTemporaryColor();
    // The temporary colour of a cell (null: none there); 127 in the first channel means none.
    void applyTemporaryColor(const unsigned char* c)
    {
        if (c && c[0] != 127) displayColor = {c[0], c[1], c[2]};
    }
    // The cell (x, y) of b in the pass, or null when b is missing or does not cover it.
    template <class T>
    static const T* passCell(const BufferTemplate<T>* b, unsigned int x, unsigned int y)
    {
        if (!b || x >= b->getWidth() || y >= b->getHeight()) return nullptr;
        return b->getBufferArray() +
               (static_cast<std::size_t>(y) * b->getWidth() + x) * b->getChannelNumber();
    }
    // Steps 1 to 6 of the update, after the layer test passed and locateCell() found the cell.
    void updateFromBuffers(double dt);
    // The field values at the primitive's cell (null: the field is missing or does not cover it).
    struct CellReads {
        const float* erase = nullptr;
        const unsigned char* color = nullptr;
        bool dropOff = false;
        const bool* targetArea = nullptr;
        const float* movement = nullptr;
        const float* orientation = nullptr;
        const float* size = nullptr;
        const float* sizeDifference = nullptr;
        // Magnification (size lenses): the drawn size is the size times this factor.
        const float* relativeSize = nullptr;
        // The parent's rotation, turning the canvas-local movement into table coordinates.
        double cosA = 1.0;
        double sinA = 0.0;
    };
    // Steps 1 to 6 from the values read.
    void applyReads(const CellReads& reads, double dt);
    // Whether (cellX, cellY) lies inside the grid b.
    template <class T> bool covers(const BufferTemplate<T>* b) const
    {
        return b && cellX < b->getWidth() && cellY < b->getHeight();
    }
    // One buffer's value under the primitive, kept between frames: the cell is read again only
    // when the buffer was modified (its version changed) or the primitive reached another cell.
    template <class T, unsigned int N> struct CellSample {
        unsigned int version = 0;
        unsigned int epoch = 0;
        bool present = false;
        T value[N] = {};
    };
    // The value of b at the current cell, or null when b is missing or does not cover the cell.
    template <class T, unsigned int N> const T* sample(BufferTemplate<T>* b, CellSample<T, N>& s)
    {
        if (!b) return nullptr;
        if (s.epoch != sampleEpoch || b->getVersion() != s.version) {
            s.epoch = sampleEpoch;
            s.version = b->getVersion();
            s.present = covers(b);
            if (s.present) b->getNDValues(cellX, cellY, N, s.value);
        }
        return s.present ? s.value : nullptr;
    }
    // The parent's rotation as cosine and sine, recomputed only when it changes.
    void refreshParentRotation();
    // True from the 4th drawn frame on; counts the first frames.
    bool passHiddenFrames();
    // Places the shared unit shape (-0.5 ... 0.5) on the primitive: position, rotation and the
    // displayed size. doCommonTransformations scales by displayed / constructed size, so the
    // unit shape takes the constructed size on top of it.
    void applyShapeTransformations();
    // The canvas when it draws primitives batched (for the kinds that can be), else null.
    VisComponent* batchOwner() const;
    // The same placement for the batched path: the unit shape to table pixels.
    PrimitivePlacement placement() const;
    // The canvas's batch while it draws its children batched, else null (draw directly).
    PrimitiveBatch* batchTarget() const;
    CanvasCompositeGL* canvas() const { return canvas_; }

    // The framework's state the pass reads, as it was after an update that changed nothing.
    // The primitive's own state changes only in the pass or through setters that clear
    // passIdle (wakeInPass); the framework's may change anywhere, so it is compared.
    struct IdleMark {
        double x = 0.0, y = 0.0, rotation = 0.0, width = 0.0, height = 0.0, scale = 0.0;
        bool magnified = false;
        bool operator==(const IdleMark& o) const
        {
            return x == o.x && y == o.y && rotation == o.rotation && width == o.width &&
                   height == o.height && scale == o.scale && magnified == o.magnified;
        }
    };
    IdleMark idleMark() const
    {
        return {xPos, yPos, rotation, width, height, currentScaleFactor, currentlyMagnified};
    }
    // Everything an update in the pass may change.
    struct PassState {
        IdleMark frame;
        double targetOrientation, previousTargetOrientation, orientationReadAngle;
        double sizeProgress, targetWidth, targetHeight, takenAbsoluteSize;
        float orientationRead[2];
        int life, extra;
        Color display;
        unsigned char rgb[3];
        bool inTargetArea, sizeAnimationPending, queued, changed;
        bool operator==(const PassState& o) const;
    };
    PassState passState() const;
    // The next pass updates this primitive even where its cell is clean.
    void wakeInPass() { passIdle = false; }

    // The state the update reads and writes every frame: declared first, so it follows the base
    // class's per-frame state in memory (about four cache lines in all).
    CanvasCompositeGL* canvas_ = nullptr;
    std::uint32_t storeId = ~0u;
    int life = kInitialLife;
    Color displayColor{65, 66, 67};
    unsigned char colorR = 0;
    unsigned char colorG = 0;
    unsigned char colorB = 0;
    bool inTargetArea = false;
    bool changedThisFrame = false;
    bool sizeAnimationPending = false;
    bool queuedForDeletion = false;
    // The temporary orientation last read and its angle in degrees.
    float orientationRead[2] = {0.0f, 0.0f};
    double orientationReadAngle = 0.0;
    double targetOrientation = 0.0;
    double previousTargetOrientation = 0.0;
    double sizeProgress = 1.0;
    double targetWidth;
    double targetHeight;
    // The size buffer value last taken as the target; a new value there sets a new target.
    double takenAbsoluteSize = -1.0;
    // The last pass update changed nothing, and the framework's state was then this; the last
    // one neither moved, turned nor resized the primitive.
    bool passIdle = false;
    bool passCalm = false;
    IdleMark passIdleMark;

    Color baseColor;
    void* primitiveLogger = nullptr;
    bool visibleOnScreen = false;
    bool primitiveActive = true;
    int initialLife = kInitialLife;
    float spareValue1 = 0.0f;
    float spareValue2 = 0.0f;
    int primitiveType;
    double baseSizeFactor;
    int frameCounter = 0;

    // Buffer cell of the centre, valid after locateCell().
    unsigned int cellX = 0;
    unsigned int cellY = 0;
    // Advances whenever every kept sample may be stale (another cell, other buffers); a sample
    // taken in an earlier epoch is read again.
    unsigned int sampleEpoch = 1;
    CellSample<int, 1> speedSample;
    CellSample<float, 1> sizeSample;
    CellSample<float, 1> sizeDifferenceSample;
    CellSample<float, 1> relativeSizeSample;
    CellSample<float, 2> movementSample;
    CellSample<float, 2> orientationSample;
    CellSample<unsigned char, 3> colorSample;
    CellSample<unsigned char, 3> temporaryColorSample;
    CellSample<float, 1> eraseSample;
    CellSample<bool, 1> targetAreaSample;
    // Canvas-local position in buffer cells (fractional), valid after locateCell().
    double bufferX = 0.0;
    double bufferY = 0.0;

private:
    void bindBuffers();

    BufferViews views;
    unsigned int boundVersion = ~0u;
    double cachedParentRotation = 0.0;
    double parentCos = 1.0;
    double parentSin = 0.0;
};
