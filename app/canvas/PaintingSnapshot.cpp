#include "canvas/PaintingSnapshot.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "canvas/ToolBrushLeafGL.h"
#include "vis/TabletopVisGL.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

using Field = PaintingSnapshot::Field;
using Element = PaintingSnapshot::Element;

// A buffer's cells as bytes, if its element type and channels are the field's.
struct RawView {
    const unsigned char* data = nullptr;
    unsigned int version = 0;
    unsigned int width = 0;
    unsigned int height = 0;
};

template <class T> bool view(IBuffer* buffer, unsigned int channels, RawView* v)
{
    const BufferTemplate<T>* b = bufferCast<T>(buffer);
    if (!b || b->getChannelNumber() != channels || !b->getBufferArray()) return false;
    v->data = reinterpret_cast<const unsigned char*>(b->getBufferArray());
    v->version = b->getVersion();
    v->width = b->getWidth();
    v->height = b->getHeight();
    return true;
}

bool viewOf(IBuffer* buffer, const Field& f, RawView* v)
{
    switch (f.element) {
    case Element::UInt8: return view<unsigned char>(buffer, f.channels, v);
    case Element::Int32: return view<int>(buffer, f.channels, v);
    case Element::Float32: return view<float>(buffer, f.channels, v);
    }
    return false;
}

// Writable cells (the buffer counts the write).
template <class T> unsigned char* writable(IBuffer* buffer, unsigned int channels)
{
    BufferTemplate<T>* b = bufferCast<T>(buffer);
    if (!b || b->getChannelNumber() != channels || !std::as_const(*b).getBufferArray()) return nullptr;
    return reinterpret_cast<unsigned char*>(b->getBufferArray());
}

unsigned char* writableOf(IBuffer* buffer, const Field& f)
{
    switch (f.element) {
    case Element::UInt8: return writable<unsigned char>(buffer, f.channels);
    case Element::Int32: return writable<int>(buffer, f.channels);
    case Element::Float32: return writable<float>(buffer, f.channels);
    }
    return nullptr;
}

void captureField(const CanvasCompositeGL& canvas, Field& f, const Field* before)
{
    IBuffer* buffer = canvas.getActiveBuffer(f.tag);
    RawView v;
    if (!buffer || !viewOf(buffer, f, &v)) return;
    f.width = v.width;
    f.height = v.height;
    f.source = buffer;
    f.generation = canvas.getBufferGeneration();
    f.version = v.version;
    const bool sameShape = before && before->element == f.element &&
                           before->channels == f.channels && before->width == f.width &&
                           before->height == f.height;
    // Untouched since the previous capture: nothing to read.
    if (sameShape && before->source == f.source && before->generation == f.generation &&
        before->version == f.version) {
        f.bands = before->bands;
        return;
    }
    const std::size_t rowBytes = f.rowBytes();
    for (unsigned int r0 = 0, k = 0; r0 < f.height; r0 += PaintingSnapshot::kBandRows, ++k) {
        const unsigned int rows = std::min(PaintingSnapshot::kBandRows, f.height - r0);
        const unsigned char* from = v.data + rowBytes * r0;
        const std::size_t bytes = rowBytes * rows;
        if (sameShape && k < before->bands.size() && before->bands[k]->size() == bytes &&
            std::memcmp(before->bands[k]->data(), from, bytes) == 0)
            f.bands.push_back(before->bands[k]);
        else
            f.bands.push_back(std::make_shared<const std::vector<unsigned char>>(from, from + bytes));
    }
}

// The field into the buffer: as it is when the sizes agree, else centred and clipped.
void restoreField(CanvasCompositeGL& canvas, const Field& f)
{
    if (!f.present()) return;
    IBuffer* buffer = canvas.getActiveBuffer(f.tag);
    if (!buffer) return;
    unsigned char* to = writableOf(buffer, f);
    if (!to) return;
    const std::size_t rowBytes = f.rowBytes();
    const std::size_t cellBytes = f.elementBytes() * f.channels;
    const int bw = static_cast<int>(buffer->getWidth());
    const int bh = static_cast<int>(buffer->getHeight());
    const int fw = static_cast<int>(f.width);
    const int fh = static_cast<int>(f.height);
    const int dx = (bw - fw) / 2;
    const int dy = (bh - fh) / 2;
    const int x0 = std::max(0, -dx);
    const int x1 = std::min(fw, bw - dx);
    if (x1 <= x0) return;
    for (int y = std::max(0, -dy); y < fh && y + dy < bh; ++y) {
        const auto& band = *f.bands[static_cast<std::size_t>(y) / PaintingSnapshot::kBandRows];
        const unsigned char* row =
            band.data() + rowBytes * (static_cast<std::size_t>(y) % PaintingSnapshot::kBandRows);
        std::memcpy(to + (static_cast<std::size_t>(y + dy) * bw + x0 + dx) * cellBytes,
                    row + static_cast<std::size_t>(x0) * cellBytes,
                    static_cast<std::size_t>(x1 - x0) * cellBytes);
    }
}

} // namespace

std::size_t PaintingSnapshot::Field::elementBytes() const
{
    return element == Element::UInt8 ? 1 : 4;
}

std::vector<unsigned char> PaintingSnapshot::Field::toBytes() const
{
    std::vector<unsigned char> out;
    out.reserve(bytes());
    for (const auto& band : bands) out.insert(out.end(), band->begin(), band->end());
    return out;
}

void PaintingSnapshot::Field::fromBytes(const unsigned char* data)
{
    bands.clear();
    source = nullptr;
    const std::size_t row = rowBytes();
    for (unsigned int r0 = 0; r0 < height; r0 += kBandRows) {
        const std::size_t bytes = row * std::min(kBandRows, height - r0);
        const unsigned char* from = data + row * r0;
        bands.push_back(std::make_shared<const std::vector<unsigned char>>(from, from + bytes));
    }
}

std::vector<PaintingSnapshot::Field> PaintingSnapshot::fieldLayout()
{
    const struct {
        BUFFERTAG tag;
        const char* name;
        Element element;
        unsigned int channels;
    } rows[] = {
        {COLOR_BUFFER, "colour", Element::UInt8, 3},
        {ORIENTATION_BUFFER, "orientation", Element::Float32, 2},
        {ABSOLUTE_SIZE_BUFFER, "size", Element::Float32, 1},
        {SPEED_BUFFER, "shape", Element::Int32, 1},
        {DIRECTION_BUFFER, "movement", Element::Float32, 2},
        {ERASE_BUFFER, "erase", Element::Float32, 1},
        {SIZE_DIFFERENCE_BUFFER, "sizeDifference", Element::Float32, 1},
        {TEMPORARY_COLOR_BUFFER, "temporaryColour", Element::UInt8, 3},
        {TEMPORARY_ORIENTATION_BUFFER, "temporaryOrientation", Element::Float32, 2},
    };
    std::vector<Field> fields;
    for (const auto& r : rows) {
        Field f;
        f.tag = r.tag;
        f.name = r.name;
        f.element = r.element;
        f.channels = r.channels;
        fields.push_back(std::move(f));
    }
    return fields;
}

PaintingSnapshot PaintingSnapshot::capture(const CanvasCompositeGL& canvas,
                                           const PaintingSnapshot* previous)
{
    PaintingSnapshot s;
    s.placement = {canvas.getXPos(), canvas.getYPos(), canvas.getWidth(), canvas.getHeight(),
                   canvas.getBufferWidth(), canvas.getBufferHeight()};
    for (std::size_t i = 0; i < s.fields.size(); ++i)
        captureField(canvas, s.fields[i],
                     previous && i < previous->fields.size() ? &previous->fields[i] : nullptr);

    // Drawing order: the controller draws its render list from the back.
    if (const TabletopVis* vis = canvas.getController()) {
        const auto& list = vis->getRenderList();
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            if ((*it)->getParent() != &canvas) continue;
            auto* p = dynamic_cast<PrimitiveLeafGL*>(*it);
            if (!p || p->isQueuedForDeletion()) continue;
            Primitive r;
            r.layer = p->getPrimitiveType();
            r.realWidth = p->getRealWidth();
            r.realHeight = p->getRealHeight();
            r.baseSizeFactor = p->getBaseSizeFactor();
            r.state = p->getState();
            if (auto* stroke = dynamic_cast<StrokeLeafGL*>(p)) {
                r.kind = Kind::Stroke;
                r.textureIndex = stroke->getTextureIndex();
            } else if (auto* tile = dynamic_cast<TileLeafGL*>(p)) {
                r.kind = Kind::Tile;
                r.dodging = tile->isDodging();
            } else if (auto* point = dynamic_cast<PointLeafGL*>(p)) {
                r.kind = Kind::Point;
                r.shape = point->getShapeIndex();
            } else if (auto* geo = dynamic_cast<GeoStrokeLeafGL*>(p)) {
                r.kind = Kind::GeoStroke;
                r.segments = geo->getNumberOfSegments();
                r.polyline = geo->getPolyline();
            } else {
                continue;
            }
            s.primitives.push_back(std::move(r));
        }
    }

    if (const BufferTemplate<float>* grid = canvas.getToolStateGrid()) {
        const std::size_t n = static_cast<std::size_t>(grid->getWidth()) * grid->getHeight();
        if (n == kToolStateCells)
            std::copy_n(grid->getBufferArray(), kToolStateCells, s.tools.grid.begin());
    }
    s.tools.mode = canvas.interactionMode;
    s.tools.strength = canvas.brushStrength;
    s.tools.sizeStep = canvas.sizeStep;
    s.tools.fakePosture = canvas.fakePosture;
    s.tools.fakeWidth = canvas.fakeContactWidth;
    s.tools.fakeHeight = canvas.fakeContactHeight;
    s.tools.previousPosture = canvas.previousChosenPosture;
    return s;
}

bool PaintingSnapshot::restore(CanvasCompositeGL& canvas, bool withTools, std::string* error) const
{
    auto* vis = dynamic_cast<TabletopVisGL*>(canvas.getController());
    if (!vis) {
        if (error) *error = "the canvas has no controller";
        return false;
    }

    std::vector<VisComponent*> old;
    for (const auto& entry : *canvas.getMyChildren())
        if (dynamic_cast<PrimitiveLeafGL*>(entry.second)) old.push_back(entry.second);
    for (VisComponent* c : old) {
        vis->removeComponentFromRenderList(c);
        vis->deleteComponent(c);
    }

    for (const Field& f : fields) restoreField(canvas, f);

    // A new component goes behind the ones already there and the back is drawn first: created
    // from the last drawn to the first, they are drawn in the captured order.
    const double dx = canvas.getXPos() - placement.x;
    const double dy = canvas.getYPos() - placement.y;
    for (auto it = primitives.rbegin(); it != primitives.rend(); ++it) {
        const Primitive& r = *it;
        const double x = r.state.x + dx;
        const double y = r.state.y + dy;
        PrimitiveLeafGL* p = nullptr;
        switch (r.kind) {
        case Kind::Stroke:
            p = new StrokeLeafGL(vis, x, y, r.realWidth, r.realHeight, 0.0, r.layer,
                                 r.textureIndex, r.baseSizeFactor);
            break;
        case Kind::Tile:
            p = new TileLeafGL(vis, x, y, r.realWidth, r.realHeight, 0.0, r.layer, r.dodging,
                               r.baseSizeFactor);
            break;
        case Kind::Point: {
            auto* point = new PointLeafGL(vis, x, y, r.realWidth, r.realHeight, 0.0, r.layer,
                                          r.baseSizeFactor);
            point->setShapeIndex(r.shape);
            p = point;
            break;
        }
        case Kind::GeoStroke:
            p = new GeoStrokeLeafGL(vis, x, y, r.realWidth, r.realHeight, 0.0, r.layer,
                                    r.polyline, r.segments, r.baseSizeFactor);
            break;
        }
        if (!p) continue;
        vis->addComponent(p, false);
        // The controller refused it (its id space is full).
        if (vis->getComponent(p->getId()) != p) {
            delete p;
            continue;
        }
        canvas.addChild(p);
        PrimitiveLeafGL::State state = r.state;
        state.x = x;
        state.y = y;
        p->setState(state);
    }

    // The restored temporary orientation holds no curve of the canvas's.
    canvas.curveOrientationCells.clear();
    canvas.curveOrientationHold = 0;

    if (withTools) {
        if (BufferTemplate<float>* grid = canvas.getToolStateGrid()) {
            if (static_cast<std::size_t>(grid->getWidth()) * grid->getHeight() == kToolStateCells)
                std::copy(tools.grid.begin(), tools.grid.end(), grid->getBufferArray());
        }
        canvas.interactionMode = tools.mode;
        canvas.modeChanged = false;
        canvas.brushStrength = tools.strength;
        canvas.sizeStep = tools.sizeStep;
        canvas.fakePosture = tools.fakePosture;
        canvas.fakeContactWidth = tools.fakeWidth;
        canvas.fakeContactHeight = tools.fakeHeight;
        canvas.previousChosenPosture = tools.previousPosture;
        // The brush takes its diameter from cell (0, 2) when it rebuilds.
        if (ToolBrushLeafGL* brush = canvas.getToolBrush(0))
            brush->setDiameter(canvas.getToolState(0, 2), false);
    }
    canvas.markChanged();
    return true;
}

std::size_t PaintingSnapshot::memoryBytes() const
{
    std::size_t n = sizeof(*this) + primitives.size() * sizeof(Primitive);
    for (const Primitive& p : primitives) n += p.polyline.size() * sizeof(Vector2d);
    for (const Field& f : fields)
        for (const auto& band : f.bands) n += band->size();
    return n;
}

std::size_t PaintingSnapshot::bytesNotSharedWith(const PaintingSnapshot& other) const
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        for (std::size_t k = 0; k < f.bands.size(); ++k) {
            const bool shared = i < other.fields.size() && k < other.fields[i].bands.size() &&
                                other.fields[i].bands[k] == f.bands[k];
            if (!shared) n += f.bands[k]->size();
        }
    }
    return n;
}
