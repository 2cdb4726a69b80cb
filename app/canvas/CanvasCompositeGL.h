#pragma once
// CanvasCompositeGL: the painting surface. It owns the per-pixel canvas buffers that describe the
// picture as fields (colour, orientation, size, movement, erasure), the tool brushes that write
// them and the 10 x 10 tool-state grid through which canvas, brushes and primitives share the
// current tool. Touches become brush operations by interaction mode, the controller's input
// combination and the posture of the touching hand.
//
// Coordinates: hitLocalBuffer/releaseLocalBuffer receive table pixels; the canvas's buffers are
// in buffer cells (table pixel + 1.5 in the canvas's local frame). Tool-state cells are addressed
// (column, row).
// Ownership: like every component the canvas does not own its children (the controller does);
// it owns its active buffers, the brush pointer array, the posture classifier and the display
// lists it compiles. Erased primitives are queued with queueForDeletion and deleted by the
// controller at the start of the next renderIntoBuffers.
// Context: construction, rendering and fitting need the application's GL context current.

#include "canvas/CanvasState.h"
#include "canvas/CellPrefetcher.h"
#include "canvas/Curve2D.h"
#include "canvas/PostureClassifier.h"
#include "canvas/PrimitiveBatch.h"
#include "canvas/PrimitiveStore.h"
#include "canvas/TouchDispatch.h"
#include "components/SurfaceCompositeGL.h"
#include "core/BufferTemplate.h"
#include "core/WiiCommunicationData.h"

#include <array>
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

class ContextMenuGL;
class CornerMenuGL;
class FTTextureFont;
class MenuGL;
class StrokeMenuGL;
struct TaskDescription;
class ToolBrushLeafGL;
class TabletopVisGL;

class CanvasCompositeGL : public SurfaceCompositeGL {
    friend class PaintingSnapshot;

public:
    // Interaction modes (see CanvasState.h for the labels).
    enum InteractionMode {
        MODE_CREATE = 0,
        MODE_ERASE = 1,
        MODE_CREATE_ERASE = 2,
        MODE_ORIENT = 3,
        MODE_MOVE = 4,
        MODE_SIZE = 5,
        MODE_COLOR = 6,
        MODE_NONE = 7,
        MODE_PENDING = 8
    };

    static constexpr unsigned int kMaxPalettes = 3;
    static constexpr unsigned int kToolStateSize = 10;

    // width, height, x, y, z, borderSize, overflowSize: as SurfaceCompositeGL (table pixels).
    // toolStateParameter goes into tool-state cell (4, 2).
    CanvasCompositeGL(TabletopVisGL* vis, unsigned int width, unsigned int height, double x,
                      double y, double z, double borderSize, double overflowSize,
                      unsigned int numberOfToolBrushes, float initialPrimitiveSize,
                      float toolStateParameter);
    ~CanvasCompositeGL() override;

    // --- inherited operations ---
    // 1 on success; 0 for a null child, a child that refuses nesting or one already ours.
    int addChild(VisComponent* child) override;
    int removeChild(VisComponent* child) override;
    // Touch down or move at table pixel (x, y) with the contact extent; always 1.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;
    void renderIntoBuffers() override;
    // Fits the canvas to the screen plus its margin; grown buffers keep their contents centred.
    void rebuildGraphicRepresentation() override;
    void wiimoteEvent(std::vector<WiiCommunicationData::WIIMOTE_BUTTON>& buttons,
                      WiiCommunicationData& data) override;

    // --- own operations ---
    virtual void renderInGlobalBuffersForward();
    virtual void clearTempOrientationBuffer2();
    virtual void clearTempOrientationBuffer();
    virtual void clearSelectionBuffer();
    virtual void clearEraseBuffer();
    virtual void clearSizeDiffBuffer();
    virtual void drawTargetAreaPolygons();
    // Deferred clears, run by renderIntoBuffers (see CanvasState.h for the timing).
    virtual void requestClearSelection();
    virtual void requestClearErase();
    virtual void requestClearTempOrientation2();
    virtual void requestClearTempOrientation();
    // Five raw buffer files "buffers/<layer>…" in the working directory (layer = cell (0, 3)).
    virtual void dumpBuffersToFiles();
    virtual void loadBuffersFromFiles();
    // PPM images of buffers 8, 10, 11, 19, 25, 27, 28, 29; other tags do nothing.
    virtual void createBufferImage(BUFFERTAG tag);
    virtual void requestRebuild();
    // Appends to the deletion queue; a component already queued is not queued again.
    virtual void queueForDeletion(VisComponent* component);
    virtual bool getRecordTouchPosition();
    virtual void setRecordTouchPosition(bool on);
    // Whether the brushes may write: set by the first touch, cleared on release.
    virtual bool isPainting();
    virtual void setInteractionMode(int mode);
    // Children that are primitives of the current layer (cell (0, 3)).
    virtual unsigned int countPrimitivesOfCurrentLayer();
    virtual float getInitialPrimitiveSize();
    virtual void setWiiIndex(int index);
    virtual int getSizeStep();
    // The brush strength truncated to int.
    virtual int getBrushStrength();
    virtual void setTask(int task);
    virtual void clearTaskAreas();
    virtual bool getTaskVisible();
    virtual void setTaskVisible(bool on);
    virtual void setTaskSource(int source);
    virtual void buildTaskOverlayLists();
    virtual void fillTaskAreas(int task);
    virtual void populateForTask(int task);
    // The task on show (with its placed target areas); null: none. Not owned.
    void setTaskDescription(const TaskDescription* task);
    // Queues the primitives within radius of (x, y) (table pixels) for deletion; their number.
    int eraseChildrenWithin(double x, double y, double radius);
    // The Wii bridge's mode flag.
    void setWiiModeFlag(bool on) { wiiModeFlag = on; }
    bool getWiiModeFlag() const { return wiiModeFlag; }
    virtual void buildModeLabels();
    virtual void createAdditionalBuffers();
    // Touch handlers: (x, y) in canvas buffer cells, the contact extent and the posture.
    virtual void handleOrientationTouch(int x, int y, int w, int h, int posture);
    virtual void handleMoveTouch(int x, int y, int w, int h, int posture);
    virtual void handleSizeTouch(int x, int y, int w, int h, int posture);
    virtual void handleColorTouch(int x, int y, int w, int h, int posture);
    virtual void handleCreateTouch(int x, int y, int w, int h, int posture);
    virtual void handleEraseTouch(int x, int y, int w, int h, int posture);
    virtual int acceptAnyTouch() { return 1; }
    virtual void setOrientationSubModeFollow();
    virtual void setOrientationSubModeRadial();
    virtual void setOrientationSubModeCircular();
    // The boundary of the selection (tag 25) as lines in canvas coordinates, solid or dashed.
    // The outline is built when a flag is turned on and kept while it stays on.
    virtual void drawSelectionOutline();
    virtual void drawSelectionOutlineDashed();
    // A completed curve (normalised canvas coordinates) is resampled and turned into the depth,
    // gradient and temporary orientation fields.
    virtual void drawCurveOverlay();
    // "InteractionMode: <mode>" on standard output.
    virtual void printInteractionMode();
    virtual void drawFrameGL();
    virtual void drawBackgroundQuad();
    // The resampled curve as distance into the depth buffer (tag 27): 0 on the curve, rising
    // linearly to 1 at kCurveFalloffCells and beyond. Rendered off-screen; GL state is restored.
    virtual void computeDepthFromCurve();
    // Gradient (tag 28) of that depth and, near the curve, unit vectors along it into the
    // temporary orientation (tag 8), held there for kCurveOrientationPasses buffer passes.
    virtual void computeOrientationFromCurve();
    // Reads the current framebuffer into "screenshot<counter>.png".
    virtual void saveScreenshot(int unused);

    // --- queries and settings used by the application, brushes and primitives ---
    int getInteractionMode() const { return interactionMode; }
    bool isModeChanged() const { return modeChanged; }
    float getModeLabelAlpha() const { return labelFader.getAlpha(); }
    bool isModeLabelFadingOut() const { return labelFader.isFadingOut(); }
    // Pen 0 (3 x 3), one finger 1 (10 x 10), two fingers 2 (15 x 15), fist 3 (50 x 50),
    // hand 4 (350 x 350); 6 = no fake posture.
    void setFakePosture(int posture, int contactWidth, int contactHeight);
    int getFakePosture() const { return fakePosture; }
    int getFakeContactWidth() const { return fakeContactWidth; }
    int getFakeContactHeight() const { return fakeContactHeight; }
    int getPreviousChosenPosture() const { return previousChosenPosture; }
    const PostureClassifier& getPostureClassifier() const { return classifier; }
    // Copies the controller's configured posture ranges into the classifier.
    void updatePostureRanges();
    double getBrushStrengthExact() const { return brushStrength; }
    void setBrushStrength(double s) { brushStrength = s; }
    void setSizeStep(int step) { sizeStep = step; }
    // Size-difference clear one pass after the request.
    void requestClearSizeDiff();
    // Textures (GL names) drawn under the picture; the first is shown.
    void setBackgroundTextures(const std::vector<unsigned int>& textures);
    const std::vector<unsigned int>& getBackgroundTextures() const { return backgroundTextures; }
    // The icon last handed to the corner menu (-1 none) and the path stamps replayed so far.
    int getLastCornerIcon() const { return lastCornerIcon; }
    unsigned int getReplayedStamps() const { return replayedStamps; }
    bool isCornerMenuShown() const { return cornerMenuShown; }
    unsigned int getStoredBufferWidth() const { return storedBufferWidth; }
    unsigned int getStoredBufferHeight() const { return storedBufferHeight; }
    // The tool a palette chose for the next touches: a brush kind of cell (0, 0) (1 size,
    // 2 orientation, 3 colour, 4 create/erase, 5 move) with its strength for cell (4, 1) (kinds 1
    // and 4). While one is set, a touch that chooses any tool uses it instead (the posture's
    // presets are skipped); kind 8 or below 0 clears it, as does setInteractionMode.
    void setPaletteTool(float kind, float strength);
    // -1 when none is set.
    float getPaletteTool() const { return paletteTool; }
    float getPaletteToolStrength() const { return paletteToolStrength; }
    // Empties the picture: every primitive is queued for deletion, the erase buffer is filled
    // with 1.0 for one pass, movement, tile positions and speed are zeroed, the sizes return to
    // the initial primitive size and the orientations are drawn anew.
    void emptyCanvas();
    // A menu choice waits for the next touch (input combination 6).
    void setPendingMenuChoice(bool on) { pendingMenuChoice = on; }
    // The first menu of each kind among the children; null when there is none.
    ContextMenuGL* findContextMenu() const;
    CornerMenuGL* findCornerMenu() const;
    StrokeMenuGL* findStrokeMenu() const;
    // A tool (interaction mode) chosen from a menu: the input combination gives way where
    // postures would overrule the choice (MenuRegions.h), and the corner menu shows the tool.
    void chooseToolFromMenu(int mode);
    bool isPendingMenuChoice() const { return pendingMenuChoice; }

    // Tool-state grid (tag 18): null before createActiveBuffers.
    BufferTemplate<float>* getToolStateGrid() const;
    // Cell (column, row); 0 when the grid is missing.
    float getToolState(unsigned int column, unsigned int row) const;
    // Skipped when the grid is missing.
    void setToolState(unsigned int column, unsigned int row, float value);
    unsigned int getToolStateWidth() const { return toolStateWidth; }
    unsigned int getToolStateHeight() const { return toolStateHeight; }

    unsigned int getNumberOfToolBrushes() const { return static_cast<unsigned int>(toolBrushes.size()); }
    const std::vector<ToolBrushLeafGL*>& getToolBrushes() const { return toolBrushes; }
    // How fast the Nunchuk joystick changes the brush diameter in size mode (the configuration's
    // tool-glass speed, 100 by default).
    void setDiameterScaleSpeed(int speed) { diameterScaleSpeed = speed; }
    int getDiameterScaleSpeed() const { return diameterScaleSpeed; }
    ToolBrushLeafGL* getToolBrush(unsigned int index) const;
    unsigned int getNumberOfPalettes() const { return numberOfPalettes; }
    VisComponent* getPalette(unsigned int index) const;
    std::size_t getDeletionQueueSize() const { return deletionQueued.size(); }
    int getScreenshotCounter() const { return screenshotCounter; }
    bool isTouchReleased() const { return touchReleased; }
    bool isFirstTouch() const { return firstTouch; }

    // Switching a flag on builds the outline of the current selection; a touch switches both off.
    void setSelectionOutline(bool on) { selectionOutline = on; }
    void setSelectionOutlineDashed(bool on) { selectionOutlineDashed = on; }
    bool isSelectionOutlineShown() const { return selectionOutline; }
    bool isSelectionOutlineDashedShown() const { return selectionOutlineDashed; }

    // Distance (buffer cells) at which a curve's influence ends.
    static constexpr double kCurveFalloffCells = 60.0;
    // Buffer passes a curve's orientation stays in the temporary orientation: primitives turn a
    // fifth of the remaining angle a frame, so 40 frames bring a half turn to within a degree.
    static constexpr int kCurveOrientationPasses = 40;
    // Cells of the temporary orientation the last curve still holds.
    std::size_t getCurveOrientationCells() const { return curveOrientationCells.size(); }

    // The drawn curve in normalised canvas coordinates: (0, 0) the bottom-left corner, (1, 1)
    // the top-right one. Marking it complete has the next render turn it into fields.
    Curve2D& getCurve() { return curve; }
    Curve2D& getResampledCurve() { return resampledCurve; }

    // Points, tiles and strokes drawn in one batch per kind (on, the default) or each with its
    // own transformed display list (off: the reference the batch is compared with). Picking
    // follows the same switch; both give the same picture.
    void setBatchedDrawing(bool on) { batchedDrawing = on; }
    bool isBatchedDrawing() const { return batchedDrawing; }
    // Batched primitives drawn as point sprites where they fit (on, the default) or all through
    // vertex arrays.
    void setPointSprites(bool on)
    {
        renderBatch.setSprites(on);
        pickingBatch.setSprites(on);
    }
    // Strokes as sprites too (off by default; see PrimitiveBatch::setStrokeSprites).
    void setStrokeSprites(bool on)
    {
        renderBatch.setStrokeSprites(on);
        pickingBatch.setStrokeSprites(on);
    }
    // The batches of the last frame and picking image (how their primitives were drawn).
    const PrimitiveBatch& lastRenderBatch() const { return renderBatch; }
    const PrimitiveBatch& lastPickingBatch() const { return pickingBatch; }
    // The batch primitives add themselves to while the canvas draws its children; null
    // otherwise (a primitive drawn on its own draws directly).
    PrimitiveBatch* activeBatch() const { return activeBatch_; }
    // A run of primitives in the controller's render order: collected, then drawn at its end
    // (picking: flat in the canvas colour, as each primitive is picked).
    void beginRenderBatch(bool picking) override;
    void endRenderBatch(bool picking) override;

    // The picture alone for an image export: the surface and, in the controller's render order,
    // the primitives on this canvas; no brushes, palettes, menus, labels or outlines. Advances no
    // animation (new primitives still in their hidden frames stay hidden and keep their count).
    void renderPicture();
    bool isRenderingPicture() const { return renderingPicture; }

    // Starts a pass of the primitives' update (called by renderIntoBuffers each frame): the
    // prefetcher takes the fields the primitives read.
    void beginUpdatePass();
    CellPrefetcher& cellPrefetcher() { return prefetcher; }

    // The primitives on the canvas per layer. The framework's per-frame call on the first of
    // them runs runUpdatePass, which updates the whole current layer once a frame.
    PrimitiveStore& primitiveStore() { return store; }
    void runUpdatePass(double dt);
    // One update of every primitive on the current layer in the store's order (the same steps
    // as each primitive's own update). Primitives whose last update changed nothing are skipped
    // while no field they read was written at their cell.
    void updatePrimitives(double dt);
    // Primitives the last updatePrimitives skipped (tests and benchmarks).
    std::size_t skippedInLastPass() const { return passSkipped; }

    // Counts the changes of the painting: one at the end of every gesture (touch or Wii pointer
    // released), and one for every markChanged (a restored snapshot; primitives placed or erased
    // outside a gesture). Equal revisions mean an unchanged painting.
    unsigned long getRevision() const { return revision; }
    void markChanged() { ++revision; }
    // Counts createActiveBuffers calls: buffers of another generation are other objects, even
    // at the same address.
    unsigned int getBufferGeneration() const { return bufferGeneration; }

    // Names of the dump files for the layer, in the order size, orientation, speed, size
    // difference, temporary colour, e.g. "buffers/2sizeBuffer.dat".
    static std::vector<std::string> dumpFileNames(int layer);

protected:
    void specificRender() override;
    void createActiveBuffers() override;
    void renderSurfaceGL() override;
    void buildOrRebuildRenderDisplayLists() override;

    // The input combination of the application's controller (7 without one).
    int inputCombination() const;
    // Nunchuk state of the current Wii record.
    bool nunchukC() const;
    bool nunchukZ() const;
    float joystickX() const;
    float joystickY() const;
    // Replays the stored touch path (table pixels) into the first brush: stamps, or size changes.
    void replayPath(bool sizeChange, float amount);
    void showCornerMenuIcon(int icon);
    void runModeHandler(int mode, int x, int y, int w, int h, int posture);
    void runHandler(canvas::Handler handler, int x, int y, int w, int h, int posture);
    // Writes a handler's plan into the tool-state grid and replays its path.
    void carryOut(canvas::Handler handler, int posture);
    canvas::TouchInput touchInput(int posture) const;
    void prepareBrushesForTouch();
    // Brush diameter in buffer pixels through the first brush (cell (0, 2) without one).
    void applyBrushDiameter(float diameter);
    // Recorded position cells (6, 0), (6, 1) to the resting place of the brush.
    void parkRecordedPosition();
    // Wii mode cycle create/erase, orientation, move, size; direction +1 or -1.
    void stepMode(int direction);
    // Whether a new child is a palette (kept in the palette array).
    virtual bool isPalette(VisComponent* child) const;
    // Creates a tool brush through the controller (null without the brush class).
    ToolBrushLeafGL* createToolBrush();
    // Whether the context can render into framebuffer objects with a depth attachment.
    virtual bool canRenderOffscreen() const;
    // Largest off-screen target side in pixels (the GL limits); larger buffers render in tiles.
    virtual int offscreenSizeLimit() const;
    // Zeroes the temporary orientation cells that still hold the last curve's vectors.
    void releaseCurveOrientation();
    void rebuildSelectionOutlineList();
    void drawSelectionOutlineList(bool dashed);

    CellPrefetcher prefetcher;
    PrimitiveStore store;
    // Frames begun by beginUpdatePass, and the one whose primitives' pass ran.
    unsigned int updateFrame = 0;
    unsigned int passFrame = ~0u;
    // What the last pass read: its layer, the canvas's placement, and each grid with the start
    // of the grid's written region after the pass restarted it.
    struct PassRecord {
        int layer = -1;
        bool dropOff = false;
        std::array<double, 8> placement{};
        std::array<const void*, 10> grids{};
        std::array<unsigned int, 10> starts{};
    };
    PassRecord lastPass;
    std::size_t passSkipped = 0;
    bool batchedDrawing = true;
    PrimitiveBatch* activeBatch_ = nullptr;
    bool renderingPicture = false;
    PrimitiveBatch renderBatch;
    PrimitiveBatch pickingBatch;

    // Brushes and palettes.
    std::vector<ToolBrushLeafGL*> toolBrushes;
    int diameterScaleSpeed = 100;
    std::array<VisComponent*, kMaxPalettes> palettes{};
    unsigned int numberOfPalettes = 0;
    std::map<unsigned long, VisComponent*> childrenById;
    // The menus among the children, by id: found without walking every primitive.
    std::map<unsigned long, MenuGL*> menusById;

    int interactionMode = MODE_CREATE_ERASE;
    bool modeChanged = false;
    ModeLabelFader labelFader;

    int fakePosture = PostureClassifier::NONE;
    int fakeContactWidth = 0;
    int fakeContactHeight = 0;
    int previousChosenPosture = PostureClassifier::NONE;
    PostureClassifier classifier;

    double brushStrength = 5.0;
    int sizeStep = 2;
    float initialPrimitiveSize;
    float toolStateParameter;
    unsigned int toolStateWidth = kToolStateSize;
    unsigned int toolStateHeight = kToolStateSize;

    Curve2D curve;
    Curve2D resampledCurve;
    // Set by computeDepthFromCurve when the depth buffer holds the current curve.
    bool curveDepthReady = false;
    // Per depth cell RGBA: the nearest segment's direction (CurveField.h, TangentHint).
    std::vector<unsigned char> curveTangents;
    // Cell index and vector of every temporary orientation cell the last curve wrote.
    struct CurveOrientationCell {
        std::size_t index;
        float v[2];
    };
    std::vector<CurveOrientationCell> curveOrientationCells;
    int curveOrientationHold = 0;

    // Selection outline display list and the flags seen at the last render.
    unsigned int selectionOutlineList = 0;
    bool selectionOutlineWasShown = false;

    // Components to delete at the next buffer pass, oldest first. deletionQueued holds the ones
    // still due: a child that leaves the canvas is only dropped from it, and its entry in the
    // queue is skipped (no search per removal or per request).
    std::deque<VisComponent*> deletionQueue;
    std::unordered_set<VisComponent*> deletionQueued;

    bool firstTouch = false;
    bool touchReleased = true;
    // On: the first brush follows the touch (cells (6, 0), (6, 1)); the corner menu can turn it
    // off.
    bool recordTouchPosition = true;
    bool recordStarted = false;
    bool pendingMenuChoice = false;
    float paletteTool = -1.0f;
    float paletteToolStrength = 0.0f;
    bool selectionOutline = false;
    bool selectionOutlineDashed = false;

    // The second temporary orientation (tag 9) clears at the next pass, the temporary
    // orientation (tag 8) one pass later, after the brushes of this frame have read it.
    DeferredRequest clearTempOrientationRequest{1};
    DeferredRequest clearTempOrientation2Request{0};
    DeferredRequest clearSelectionRequest{1};
    DeferredRequest clearEraseRequest{0};
    DeferredRequest clearSizeDiffRequest{1};
    DeferredRequest rebuildRequest{1};
    bool fillTaskAreasRequest = false;
    int currentTask = -1;
    bool taskVisible = false;
    int taskSource = 0;
    const TaskDescription* taskDescription = nullptr;
    bool wiiModeFlag = false;

    int screenshotCounter = 0;
    unsigned long revision = 0;
    unsigned int bufferGeneration = 0;
    int lastCornerIcon = -1;
    unsigned int replayedStamps = 0;
    bool cornerMenuShown = false;
    unsigned int storedBufferWidth = 0;
    unsigned int storedBufferHeight = 0;
    int wiiSampleIndex = 0;

    // Mode label display lists: Create, Erase, Color, Size, Move, Orientation, warm-up.
    std::array<unsigned int, 7> labelLists{};
    FTTextureFont* labelFont = nullptr;
    bool fontFound = false;
    unsigned int frameList = 0;

    std::vector<unsigned int> backgroundTextures;
    unsigned int currentBackground = 0;

    // 50 touch records: last position per pointer slot.
    std::array<CanvasTouchRecord, 50> touchRecords{};
    std::array<WiiCommunicationData, 4> wiiSamples{};
    WiiCommunicationData currentWii;
    WiiCommunicationData previousWii;
    int wiiIndex = 0;
};
