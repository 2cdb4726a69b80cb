#pragma once
// PaintingHistory: undo and redo of whole gestures on a painting canvas. A gesture runs from the
// first pointer going down (any pointer, any input source: gestureBegins, called from the
// controller's pointer door before the press takes effect) until no pointer is down any more and
// the frame that handled the release has run (frameRendered). A gesture that changed the painting
// (the canvas's revision moved: primitives created, erased or changed, fields written) becomes
// one undo step; it forgets the redo side.
//
// Steps are PaintingSnapshots of the painting before the gesture (fields, primitives, no tool
// state: undo leaves the chosen tool alone). Snapshots share the field bands that did not change
// between them, so a step costs the primitives (about 150 bytes each) plus the bands of the
// fields the gesture wrote. At most kMaxSteps steps and kMaxBytes bytes of snapshots are kept;
// the oldest are forgotten first.
//
// A snapshot taken before a canvas refit is restored into the refitted canvas centred, as
// PaintingSnapshot restores into a canvas of another size.
// Context: undo and redo create primitives: the canvas's GL context must be current.

#include "canvas/PaintingSnapshot.h"
#include "canvas/UndoStack.h"

#include <cstddef>
#include <optional>

class CanvasCompositeGL;
class TabletopVis;

class PaintingHistory {
public:
    static constexpr std::size_t kMaxSteps = 50;
    // About 68 MB hold the first snapshot of the default window's canvas; each later step adds
    // 150 bytes per primitive and the bands its gesture wrote: with 50,000 primitives more than
    // 20 steps fit.
    static constexpr std::size_t kMaxBytes = 384u * 1024u * 1024u;

    explicit PaintingHistory(std::size_t maxSteps = kMaxSteps, std::size_t maxBytes = kMaxBytes);

    // The canvas whose gestures are recorded (null: none); a new canvas forgets every step. Its
    // painting is copied here once, so that the first gesture only copies what changed.
    void setCanvas(CanvasCompositeGL* canvas);
    CanvasCompositeGL* getCanvas() const { return canvas; }

    // A pointer goes down: the first one of a gesture takes the snapshot before it.
    void gestureBegins();
    // A pointing that paints on the canvas without a controller pointer (a Wii remote's B in
    // input combination 6) holds the gesture: true begins one as gestureBegins does and keeps it
    // open, false lets the next frame end it.
    void holdGesture(bool held);
    // After each frame: with no pointer of the controller down and no hold, an open gesture ends
    // here.
    void frameRendered(const TabletopVis& vis);
    bool isGestureOpen() const { return before.has_value(); }

    // Put back the painting before the last step / after the last undone one. False (nothing
    // changes) with no step to take or while a gesture is open.
    bool undo();
    bool redo();
    bool canUndo() const { return steps.canUndo(); }
    bool canRedo() const { return steps.canRedo(); }
    std::size_t undoDepth() const { return steps.undoDepth(); }
    std::size_t redoDepth() const { return steps.redoDepth(); }
    // Bytes held by the kept snapshots, shared bands counted once.
    std::size_t bytes() const { return steps.bytes(); }
    void clear();

    // Bytes of the given snapshots together, each shared field band counted once.
    static std::size_t measure(const std::vector<const PaintingSnapshot*>& snapshots);

private:
    // The snapshot a new capture shares its unchanged bands with.
    const PaintingSnapshot* newest() const;
    bool step(bool forward);

    CanvasCompositeGL* canvas = nullptr;
    UndoStack<PaintingSnapshot> steps;
    std::optional<PaintingSnapshot> before;
    unsigned long revisionBefore = 0;
    bool held = false;
    // The last snapshot taken or restored, kept only for sharing its bands.
    std::optional<PaintingSnapshot> last;
};
