#include "canvas/PaintingHistory.h"

#include "canvas/CanvasCompositeGL.h"
#include "vis/TabletopVis.h"

#include <unordered_set>

PaintingHistory::PaintingHistory(std::size_t maxSteps, std::size_t maxBytes)
    : steps(maxSteps, maxBytes, &PaintingHistory::measure)
{
}

std::size_t PaintingHistory::measure(const std::vector<const PaintingSnapshot*>& snapshots)
{
    std::unordered_set<const void*> counted;
    std::size_t total = 0;
    for (const PaintingSnapshot* s : snapshots) {
        total += sizeof(PaintingSnapshot) + s->primitives.size() * sizeof(PaintingSnapshot::Primitive);
        for (const PaintingSnapshot::Primitive& p : s->primitives)
            total += p.polyline.size() * sizeof(Vector2d);
        for (const PaintingSnapshot::Field& f : s->fields)
            for (const auto& band : f.bands)
                if (band && counted.insert(band.get()).second) total += band->size();
    }
    return total;
}

void PaintingHistory::setCanvas(CanvasCompositeGL* c)
{
    if (c == canvas) return;
    clear();
    canvas = c;
    if (canvas) last = PaintingSnapshot::capture(*canvas);
}

void PaintingHistory::clear()
{
    steps.clear();
    before.reset();
    last.reset();
    held = false;
}

const PaintingSnapshot* PaintingHistory::newest() const
{
    return last ? &*last : nullptr;
}

void PaintingHistory::gestureBegins()
{
    if (!canvas || before) return;
    before = PaintingSnapshot::capture(*canvas, newest());
    revisionBefore = canvas->getRevision();
    last = before;
}

void PaintingHistory::holdGesture(bool on)
{
    held = on;
    if (held) gestureBegins();
}

void PaintingHistory::frameRendered(const TabletopVis& vis)
{
    if (!before || held) return;
    for (unsigned int u = 0; u < vis.getNumberOfUsers(); ++u)
        if (vis.getDeviceIsPressed(u)) return;
    std::optional<PaintingSnapshot> finished;
    finished.swap(before);
    if (canvas && canvas->getRevision() != revisionBefore) steps.push(std::move(*finished));
}

bool PaintingHistory::undo() { return step(false); }
bool PaintingHistory::redo() { return step(true); }

bool PaintingHistory::step(bool forward)
{
    if (!canvas || before) return false;
    if (forward ? !steps.canRedo() : !steps.canUndo()) return false;
    // The state now shares bands with the one about to come back.
    const PaintingSnapshot* target = forward ? steps.newestRedo() : steps.newestUndo();
    PaintingSnapshot now = PaintingSnapshot::capture(*canvas, target);
    std::optional<PaintingSnapshot> back = forward ? steps.redo(std::move(now)) : steps.undo(std::move(now));
    // A restore fails only without a controller, before anything changed.
    if (!back || !back->restore(*canvas, false)) return false;
    last = std::move(back);
    return true;
}
