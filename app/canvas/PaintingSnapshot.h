#pragma once
// PaintingSnapshot: the whole painting of a canvas in memory, taken with capture and put back
// with restore: the canvas's placement, the fields that shape later painting (colour,
// orientation, size, point shape, movement, erase, size difference and the two temporary
// fields), every primitive on the canvas in drawing order with its kind, layer, placement, size,
// colours, life, animation progress and texture row, point shape or drawn polyline, and the tool
// state (the tool-state grid and the canvas's mode, strength, size step and postures).
//
// A restored canvas of the same size draws pixel for pixel what the captured one drew, and its
// next frames evolve the same way. A canvas of another size takes the fields centred (cells
// beyond it are dropped, new cells keep their fill) and the primitives moved with the canvas's
// centre.
//
// Cost: fields are kept in bands of kBandRows rows shared between snapshots. A capture given
// the previous snapshot shares every band of a field whose buffer is unchanged (same buffer
// generation and version) without reading it, and of the other fields every band equal to the
// previous one: it copies only what changed, and compares the rest. Primitives are copied
// (about 150 bytes each).
//
// Coordinates: table pixels and degrees for primitives; buffer cells for fields.
// Ownership: a snapshot owns (shares) its copies; it keeps no pointer into the canvas.
// Context: capture needs none; restore deletes and creates primitives through the canvas's
// controller (the application's GL context current, as for any primitive).

#include "canvas/PrimitiveLeafGL.h"
#include "core/BufferTag.h"
#include "core/Vector2d.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CanvasCompositeGL;

class PaintingSnapshot {
public:
    static constexpr unsigned int kBandRows = 64;
    static constexpr unsigned int kToolStateCells = 100;

    // Element types of the fields.
    enum class Element : std::uint8_t { UInt8 = 0, Int32 = 1, Float32 = 2 };

    // One field: width x height cells of `channels` elements, row-major, in bands of kBandRows
    // rows (the last may be shorter).
    struct Field {
        BUFFERTAG tag = CONTROL_BUFFER;
        const char* name = "";
        Element element = Element::UInt8;
        unsigned int channels = 1;
        unsigned int width = 0;
        unsigned int height = 0;
        std::vector<std::shared_ptr<const std::vector<unsigned char>>> bands;
        // The buffer it was copied from (compared only, never followed), its generation and
        // version: a later capture of the unchanged buffer shares the bands as they are.
        const void* source = nullptr;
        unsigned int generation = 0;
        unsigned int version = 0;

        std::size_t elementBytes() const;
        std::size_t rowBytes() const { return elementBytes() * channels * width; }
        std::size_t bytes() const { return rowBytes() * height; }
        bool present() const { return width > 0 && height > 0; }
        // All bands in one array (row-major); fromBytes splits an array of bytes() bytes.
        std::vector<unsigned char> toBytes() const;
        void fromBytes(const unsigned char* data);
    };

    enum class Kind : std::uint8_t { Stroke = 0, Tile = 1, Point = 2, GeoStroke = 3 };

    struct Primitive {
        Kind kind = Kind::Stroke;
        int layer = 0;
        // The size it was constructed with; state.width and height are the displayed size.
        double realWidth = 1.0;
        double realHeight = 1.0;
        double baseSizeFactor = 1.0;
        PrimitiveLeafGL::State state;
        unsigned int textureIndex = 0; // strokes: texture row
        bool dodging = false;          // tiles
        int shape = 0;                 // points: shape index 0 ... 15
        int segments = 0;              // geometric strokes: segment count and polyline
        std::vector<Vector2d> polyline;
    };

    struct Tools {
        // Tool-state grid cells, row-major (cell (column, row) at row x 10 + column).
        std::array<float, kToolStateCells> grid{};
        int mode = 2;
        double strength = 5.0;
        int sizeStep = 2;
        int fakePosture = 6;
        int fakeWidth = 0;
        int fakeHeight = 0;
        int previousPosture = 6;
    };

    // The canvas's centre and size (table pixels) and its buffer size (cells).
    struct Placement {
        double x = 0.0;
        double y = 0.0;
        double width = 0.0;
        double height = 0.0;
        unsigned int bufferWidth = 0;
        unsigned int bufferHeight = 0;
    };

    // The fields a snapshot keeps, in file order: empty ones with tag, name, type and channels.
    static std::vector<Field> fieldLayout();

    // The canvas's painting. With `previous` (an earlier capture of the same canvas), unchanged
    // bands are shared with it instead of copied. Primitives queued for deletion are left out.
    static PaintingSnapshot capture(const CanvasCompositeGL& canvas,
                                    const PaintingSnapshot* previous = nullptr);

    // Replaces the canvas's primitives, the fields kept here and, with `withTools`, its tool
    // state by the snapshot's. Answers false, changing nothing, when the canvas has no
    // controller to create primitives with; `error` then says why.
    bool restore(CanvasCompositeGL& canvas, bool withTools = true,
                 std::string* error = nullptr) const;

    // Bytes held, counting shared bands fully.
    std::size_t memoryBytes() const;
    // Bytes of field bands not shared with `other`.
    std::size_t bytesNotSharedWith(const PaintingSnapshot& other) const;

    Placement placement;
    std::vector<Field> fields = fieldLayout();
    std::vector<Primitive> primitives;
    Tools tools;
};
