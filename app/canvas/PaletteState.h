#pragma once
// PaletteState: what touches on the palette do, without GL. It reads the region map, acts on the
// region a touch starts on (once per touch), evaluates the drag on release, keeps the paint
// colour, the colour list (six presets, then the recent colours), the layer and the mixing area,
// and publishes its choices into the canvas's tool-state grid through a PaletteHost.
//
// Coordinates: palette buffer cells (the region map and the mixing area have the same size; a
// cell is local pixel + 1.5). Drags: (dx, dy) = where the region was first touched - the latest
// position, with y measured downwards as on the screen, so dy < 0 is a drag down and dx < 0 a
// drag to the right.
// Mixing area: 3 channels per cell; a channel of value 10 marks an empty cell. A touch on a
// coloured cell picks that colour; moving the finger deposits the colour it carries (the picked
// one, or the paint colour when it started on an empty cell) and mixes it half and half into
// cells that already hold paint.

#include "canvas/Color.h"
#include "core/BufferTemplate.h"

#include <vector>

// The canvas side of the palette.
class PaletteHost {
public:
    virtual ~PaletteHost() = default;
    // Tool-state cell (column, row); 0 without a grid. Writes are skipped without one.
    virtual float toolCell(unsigned int column, unsigned int row) const = 0;
    virtual void setToolCell(unsigned int column, unsigned int row, float value) = 0;
    // The tool the canvas's next touches use: a brush kind (1 size, 2 orientation, 3 colour,
    // 4 create/erase, 5 move) with its strength (cell (4, 1) for kinds 1 and 4), or 8 for none
    // (the posture chooses again).
    virtual void chooseTool(float kind, float strength) = 0;
    // Brush diameter in canvas buffer cells.
    virtual void setBrushDiameter(float diameter) = 0;
    virtual void setTouchRecording(bool on) = 0;
    // Empties the canvas's fields (erase everything, no movement, initial sizes, new random
    // orientations).
    virtual void emptyCanvas() = 0;
    virtual void showBrush() = 0;
    virtual void hideBrush() = 0;
};

class PaletteState {
public:
    static constexpr unsigned char kEmpty = 10;
    static constexpr unsigned int kPresetCount = 6;
    // Recent colours kept after the presets.
    static constexpr unsigned int kMaxRecent = 6;
    // Radius (cells) of a deposit in the mixing area.
    static constexpr int kDabRadius = 6;
    static constexpr float kIdle = 8.0f;

    explicit PaletteState(PaletteHost* host);

    // Palette size in pixels: the drag threshold and the layout follow it.
    void setSize(double width, double height);
    // The palette's region map (tag 15) and mixing area (tag 10); not owned.
    void setBuffers(BufferTemplate<unsigned int>* regionMap, BufferTemplate<unsigned char>* mixing);
    // Empties the mixing area and draws the recent colours into its strip.
    void resetMixingArea();

    // A touch at palette cell (x, y): the first call of a touch acts on the region under it,
    // later calls follow the drag (and mix in the mixing area). Returns the held region.
    unsigned int touch(int x, int y);
    // Ends the touch at (x, y): evaluates the drag on the held region and returns that region.
    unsigned int release(int x, int y);
    bool isTouching() const { return touching; }
    unsigned int heldRegion() const { return held; }
    // Set by a release on the clear button: the palette recreates its buffers.
    bool takeClearRequest();

    // Layer, dimmed layer and paint colour into cells (0, 3), (0, 4), (3, 1) … (3, 3).
    void publish();

    const Color& paintColor() const { return paint; }
    // Sets the paint colour (e.g. from a colour dialog) without choosing a tool.
    void setPaintColor(const Color& c);
    // Presets 0 … 5, then the recent colours, oldest first.
    const std::vector<Color>& colours() const { return list; }
    // Index into colours() of the colour the indicator marks (-1: none).
    int indicatorIndex() const { return indicator; }
    int layer() const { return currentLayer; }
    int dimmedLayer() const { return dimmed; }
    void setLayerCount(unsigned int n) { layerCount = n; }
    void setStrokeStyleCount(unsigned int n) { strokeStyles = n; }
    // In drag-select state the tool buttons choose their tool and a drag picks its variant;
    // outside it the create/erase button toggles create on and off and the others wait.
    void setDragSelect(bool on) { dragSelect = on; }
    bool isDragSelect() const { return dragSelect; }
    // The tool last chosen here (8: none) and the strengths of the size and create/erase tools.
    float chosenTool() const { return tool; }
    float createStrength() const { return strengthCreate; }
    float sizeStrength() const { return strengthSize; }
    // Squared drag length (cells) above which a drag counts.
    double dragThreshold() const;
    // Whether mixing-area cell (x, y) may take paint (the area without the recent strip).
    bool isMixingCell(int x, int y) const;

private:
    void act(unsigned int region, int x, int y);
    void evaluateDrag(unsigned int region);
    void choose(float kind, float strength);
    void pickColour(const Color& c, int listIndex);
    void rememberRecent(const Color& c);
    void drawRecentStrip();
    void deposit(int x, int y);
    bool readMixing(int x, int y, Color* c) const;
    unsigned int regionAt(int x, int y) const;

    PaletteHost* host;
    BufferTemplate<unsigned int>* regions = nullptr;
    BufferTemplate<unsigned char>* mixing = nullptr;
    double width = 300.0;
    double height = 300.0;

    bool touching = false;
    unsigned int held = 0;
    int start[2] = {0, 0};
    int latest[2] = {0, 0};
    int lastDab[2] = {-1, -1};
    Color carried;
    bool clearRequest = false;

    Color paint = Color::BLACK;
    std::vector<Color> list;
    int indicator = -1;
    int currentLayer = 0;
    int dimmed = 0;
    unsigned int layerCount = 3;
    unsigned int strokeStyles = 8;
    bool dragSelect = true;
    float tool = kIdle;
    float strengthCreate = 5.0f;
    float strengthSize = 1.0f;
};
