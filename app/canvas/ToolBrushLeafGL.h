#pragma once
// ToolBrushLeafGL: the round tool under the user's hand on the painting canvas. It never touches
// primitives: each frame, while the canvas paints, it writes the canvas buffers inside its
// footprint, weighted by its drop-off, and the primitives read them. What it writes follows the
// brush kind in the canvas's tool-state grid (cell (0, 0)); the create brush also makes new
// primitives.
//
// Coordinates: brush positions (touch position, stampAt, moveToPosition, paint*) are canvas
// buffer cells; the component position is in table pixels. The brush's own buffers are
// diameter-sized; brush cell (i, j) lies on canvas cell (origin + i, origin + j), and only
// cells inside the canvas grid are read or written.
// Ownership: the controller owns the brush; it owns its active buffers (drop-off, erase
// profile, move fields) and its display lists.

#include "vis/VisComponentGL.h"

#include "canvas/DropOffRuns.h"
#include "core/BufferTemplate.h"

#include <functional>
#include <vector>

class CanvasCompositeGL;
class TabletopVisGL;

class ToolBrushLeafGL : public VisComponentGL {
public:
    static constexpr int kOffsetCount = 4096;
    static constexpr int kRandomCount = 1024;
    static constexpr float kMinimumDiameter = 10.0f;
    static constexpr float kDropOffThreshold = 0.1f;

    // What the create brush asks for: the kind of cell (4, 2) (0 stroke, 1 tile, 2 point), the
    // centre in table pixels, the rotation in degrees, the layer, and for strokes the texture row.
    struct PrimitiveRequest {
        int kind = 0;
        double x = 0.0;
        double y = 0.0;
        double rotation = 0.0;
        int layer = 0;
        unsigned int textureIndex = 0;
    };
    // Makes one primitive; the brush then adds it to the canvas.
    using PrimitiveFactory = std::function<VisComponent*(const PrimitiveRequest&)>;

    // width, height: the brush area (table pixels, the canvas asks for 230 x 230); (x, y, z):
    // position; maxDiameter and initialDiameter in canvas buffer cells.
    ToolBrushLeafGL(TabletopVisGL* vis, double width, double height, double x, double y, double z,
                    int maxDiameter, float initialDiameter);
    ~ToolBrushLeafGL() override;

    void setParent(VisComponent* parent) override;
    void renderIntoBuffers() override;
    void invalidatePassiveBuffers() override {}

    // Zero (temporary colour: neutral 127) the footprint written in an earlier frame in one
    // canvas buffer, when one is pending.
    virtual void clearEraseFootprint();
    virtual void clearMoveFootprint();
    virtual void clearSizeDiffFootprint();
    virtual void clearTempColorFootprint();
    virtual void clearSelectionFootprint();
    virtual void clearDropoffFootprint();
    virtual void clearTempOrientation2Footprint();
    virtual void clearTempOrientationFootprint();
    // Orientation field around (x, y) (canvas cells); sub-mode 0 radial, 1 circular, 2 random,
    // 3 follow the movement from (previousX, previousY).
    virtual void paintOrientation(int x, int y, int previousX, int previousY, int subMode,
                                  bool flag);
    // Size difference drop-off x amount around (x, y) (canvas cells).
    virtual void paintSizeDifference(int x, int y, float amount, bool flag);
    virtual void setActive(bool on);
    virtual bool isActive();
    virtual void show();
    virtual void hide();
    virtual bool isShown();
    virtual void showOutline();
    virtual void hideOutline();
    virtual bool isOutlineShown();
    virtual void renderIconPass();
    virtual void buildIconList();
    virtual void renderIcon();
    virtual void setIconAlpha(float alpha);
    virtual void resetIconAlpha();
    virtual void setIconMode(int mode);
    // Diameter in canvas cells, clamped to [10, maximum]; written to cell (0, 2). Return true.
    virtual bool changeDiameterBy(float delta, bool reposition);
    virtual bool setDiameter(float diameter, bool reposition);
    // Canvas cells; stored in cells (6, 0), (6, 1).
    virtual void moveToPosition(int x, int y);
    virtual void setBufferPosition(float x, float y);
    virtual void setMarkerList(unsigned int list);
    virtual void rebuildEraseProfile();
    virtual void buildMoveFields();
    virtual void applyDiameter();
    virtual void buildOutline();

    // Path replay: stamps erosion -(erase profile) x strength at (x, y) (canvas cells) at once.
    void stampAt(float strength, int x, int y, bool flag);
    // The colour brush's write around (x, y) (canvas cells): the paint of cells (3, 1) … (3, 3)
    // blended into the colour buffer by the drop-off, c (1 - w) + paint w truncated, where the
    // drop-off is above the threshold; the first time in a stroke also the paint into the
    // temporary colour and the drop-off into the canvas's drop-off buffer.
    void paintColor(float x, float y);

    // Inspection and set-up.
    float getDiameter() const { return diameter; }
    int getMaximumDiameter() const { return maximumDiameter; }
    float getBufferX() const { return bufferPosition[0]; }
    float getBufferY() const { return bufferPosition[1]; }
    const float* getXOffsets() const { return xOffsets.data(); }
    const float* getYOffsets() const { return yOffsets.data(); }
    const float* getRandomTable() const { return randomTable.data(); }
    int getIconMode() const { return iconMode; }
    float getIconAlpha() const { return static_cast<float>(iconAlpha); }
    // The icon list slot the icon mode draws (0 … 10, 11 for the extra list).
    static int iconSlotForMode(int mode);
    // Replaces how primitives are made (default: constructed here and registered with the
    // controller).
    void setPrimitiveFactory(PrimitiveFactory factory) { primitiveFactory = std::move(factory); }
    // One primitive at (x, y) (table pixels) of the given kind (0 stroke, 1 tile, 2 point; -1
    // the brush's current kind) with a random rotation, added to the canvas; null when none
    // could be made.
    VisComponent* createPrimitiveAt(double x, double y, int kind);
    // count primitives around the brush's position, spread as a create step spreads them.
    int createPrimitivesAround(int count);
    // Number of primitives created by the last create step.
    int getLastCreatedCount() const { return lastCreatedCount; }
    // n of the create brush for diameter d and strength s.
    static int createCount(float d, float s);

protected:
    void animateMyself(double) override {}
    void specificRender() override;
    void specificRenderForPicking() override {}
    void createActiveBuffers() override;
    void initializePassiveBuffers() override;
    void renderInActiveBuffers() override;

private:
    // Clipped placement of the brush grid on a canvas grid.
    struct Footprint {
        int originX = 0, originY = 0;  // canvas cell of brush cell (0, 0)
        int i0 = 0, i1 = 0, j0 = 0, j1 = 0;  // brush cells [i0, i1) x [j0, j1) inside the canvas
        bool empty() const { return i0 >= i1 || j0 >= j1; }
    };
    // A canvas rectangle written in an earlier frame, half open.
    struct Written {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool pending = false;
    };

    Footprint footprintAt(float cx, float cy, unsigned int canvasWidth,
                          unsigned int canvasHeight) const;
    static Written rectOf(const Footprint& f);
    // Write access to a canvas grid's cells under the footprint (clipped to that grid).
    template <class T> static T* footprintCells(BufferTemplate<T>* b, const Footprint& f)
    {
        return b->getBufferArrayForRect(static_cast<unsigned int>(f.originX + f.i0),
                                        static_cast<unsigned int>(f.originY + f.j0),
                                        static_cast<unsigned int>(f.originX + f.i1),
                                        static_cast<unsigned int>(f.originY + f.j1));
    }
    template <class T> void clearWritten(BufferTemplate<T>* b, Written& w, T value);
    float toolCell(unsigned int column, unsigned int row);
    bool setToolCell(unsigned int column, unsigned int row, float value);
    void moveToBufferPosition(float x, float y);
    void computeLensField();
    void writeSelection(const Footprint& f);
    void paintAbsoluteSize(const Footprint& f, float strength);
    // The drop-off's runs, found again when the drop-off changed; the radial (subMode 0) and
    // circular (1) orientation of every brush cell, two floats a cell; the random orientations
    // in write order; the paint's blend terms.
    const DropOffRuns& dropOffRuns(const BufferTemplate<float>& dropOff);
    const std::vector<float>& orientationField(int subMode);
    const std::vector<float>& randomOrientations();
    void preparePaint(const float* paint);
    void createPrimitives(float strength);
    void writeErase(float strength);
    void paintMovement(const Footprint& f, int subMode, float dx, float dy);
    VisComponent* makePrimitive(const PrimitiveRequest& request);
    void compileOutline();

    float focusRatio = 0.7f;
    float diameter;
    // Dirty flags: written this frame, and the one-frame-delayed companions.
    Written eraseWritten, eraseDelayed;
    Written movementWritten;
    Written sizeDifferenceWritten;
    Written temporaryColorWritten;
    Written selectionWritten, selectionDelayed;
    Written temporaryOrientationWritten;
    Written temporaryOrientation2Written;
    Written dropOffWritten;
    bool colorWritten = false;
    // Canvas cells: this frame's and the previous frame's position.
    float bufferPosition[2] = {0.0f, 0.0f};
    float previousBufferPosition[2] = {0.0f, 0.0f};
    // Position of the last follow write.
    float followAnchor[2] = {0.0f, 0.0f};
    bool followAnchorSet = false;
    std::vector<float> xOffsets;
    std::vector<float> yOffsets;
    std::vector<float> randomTable;
    // Lens value (1 … 2) per brush cell; the drop-off is this minus 1.
    std::vector<float> lensField;
    unsigned int outlineList = 0;
    unsigned int footprintList = 0;
    unsigned int iconLists[12] = {};
    unsigned int markerList = 0;
    double iconAlpha = 1.0;
    int iconMode = 0;
    int maximumDiameter;
    int diameterStep = 20;
    bool visible = true;
    bool outlineShown = false;
    bool stamping = false;
    bool strokeChanged = false;
    bool outlineDirty = true;
    bool rebuildRequested = false;
    unsigned int iconTexture = 0;
    float iconWidth = 60.0f;
    float iconHeight = 30.0f;
    bool iconListsBuilt = false;
    int iconCount = 5;
    // Paint colour and diameter used by the outline (defaults without a tool-state grid).
    float outlineColor[3] = {100.0f, 100.0f, 100.0f};
    float outlineDiameter = 200.0f;
    int lastCreatedCount = 0;
    PrimitiveFactory primitiveFactory;
    CanvasCompositeGL* canvas = nullptr;

    // Caches of the fast writes (see dropOffRuns): valid for the drop-off buffer and version
    // they were built from, and until renderInActiveBuffers writes a new drop-off.
    DropOffRuns runs;
    bool runsValid = false;
    const BufferTemplate<float>* runsSource = nullptr;
    unsigned int runsVersion = 0;
    std::vector<float> orientationFields[2];
    std::vector<float> randomPairs;
    // paint[k] w per channel byte of the partial runs, and a row of the clamped paint.
    std::vector<float> weightedPaint;
    std::vector<unsigned char> paintRow;
    float weightedPaintFor[3] = {0.0f, 0.0f, 0.0f};
    bool weightedPaintValid = false;

    // The canvas's buffers (passive).
    BufferTemplate<int>* speed();
    BufferTemplate<float>* floatBuffer(BUFFERTAG tag);
    BufferTemplate<unsigned char>* byteBuffer(BUFFERTAG tag);
    BufferTemplate<bool>* boolBuffer(BUFFERTAG tag);
};
