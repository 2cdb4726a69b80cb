#pragma once
// PrimitiveBatch: the primitives of the painting canvas drawn with one call per kind (and stroke
// texture) instead of a transformed display list each. The canvas opens a batch for each run of
// its primitives in the controller's render order; each primitive adds itself when it is drawn,
// right after its update, and the batch is drawn at the end of the run, so the order against the
// other components stays that of the render list. Consecutive primitives of one kind form one
// draw, so the order of kinds is kept too; only strokes of different textures within one run of
// strokes are drawn texture by texture.
//
// Coordinates: a PrimitivePlacement maps the unit shape (-0.5 … 0.5 on both axes) to table
// pixels: translate to (x, y, z), rotate (cos, sin), scale (sx, sy). The batch draws under the
// caller's modelview matrix.
//
// Each primitive is kept as one PrimitiveInstance. Where the context has GLSL 1.30, a primitive
// whose shape fits a point sprite is drawn as one vertex (a streamed vertex buffer, one GL point
// per primitive): its shader rebuilds the shape's triangles in window pixels, snapped to the
// rasteriser's sub-pixel grid, and keeps exactly the pixels the triangles would cover (same
// fill rule), with the same lighting, colour interpolation and texture sampling. Primitives too
// large for a sprite, a transform that is not flat (perspective, depth varying over the plane)
// or a context without shaders take the vertex-array path: the same triangles built on the CPU.
// Building is GL-free; flush() needs the GL context current.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

struct PrimitivePlacement {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double cosA = 1.0;
    double sinA = 0.0;
    double sx = 1.0;
    double sy = 1.0;
};

// One primitive as both paths draw it (the sprite path's vertex layout).
struct PrimitiveInstance {
    float x, y, z;
    float shape;         // point shape index
    float cosA, sinA;
    float sx, sy;
    float extra[4];      // tiles: diffuse colour; strokes: s0, s1, t0, t1
    unsigned char rgba[4];
};

class PrimitiveBatch {
public:
    enum Kind { POINTS, TILES, STROKES };

    // Point shape k (0 … 15): a triangle fan from the centre through the rim.
    static constexpr int kShapeCount = 16;
    static constexpr int kPointRimVertices = 11;
    static constexpr int kPointVertices = kPointRimVertices + 1;
    static constexpr int kTileVertices = 6;

    struct ColorVertex {
        float x, y, z;
        unsigned char rgba[4];
    };
    struct LitVertex {
        float x, y, z;
        float nx, ny, nz;
        float diffuse[4];
    };
    struct TexturedVertex {
        float x, y, z;
        float s, t;
        unsigned char rgba[4];
    };

    PrimitiveBatch();
    ~PrimitiveBatch();
    PrimitiveBatch(const PrimitiveBatch&) = delete;
    PrimitiveBatch& operator=(const PrimitiveBatch&) = delete;

    // rgba: the colour drawn (alpha 255 for opaque shapes).
    void addPoint(const PrimitivePlacement& p, int shape, const unsigned char rgba[4]);
    // diffuse: the material colour of the lit box.
    void addTile(const PrimitivePlacement& p, const float diffuse[4]);
    // texture: GL name (0 untextured); texCoords: s0, s1, t0, t1 of the quad.
    void addStroke(const PrimitivePlacement& p, unsigned int texture, const float texCoords[4],
                   const unsigned char rgba[4]);

    // The vertex-array path's vertices of one primitive in table pixels: a point's fan (centre
    // first), a tile's lit fan, a stroke's quad (counter-clockwise from (s0, t0)).
    static void buildPoint(const PrimitiveInstance& p, ColorVertex out[kPointVertices]);
    static void buildTile(const PrimitiveInstance& p, LitVertex out[kTileVertices]);
    static void buildStroke(const PrimitiveInstance& p, TexturedVertex out[4]);

    // Primitives added since the last flush.
    std::size_t size() const { return pending; }
    bool empty() const { return pending == 0; }
    // Draws the pending primitives and empties the batch (keeping its memory). With a picking
    // colour every shape is drawn flat in that colour, untextured and unlit.
    void flush(const unsigned char* pickingColor = nullptr);
    // Empties the batch without drawing.
    void clear();

    // Point sprites where they can be used (on, the default) or the vertex-array path only.
    void setSprites(bool on) { spritesWanted = on; }
    // Strokes as sprites too (off by default): a stroke's sprite covers its whole bounding
    // square and samples the texture there, which on a software renderer costs about twice the
    // wall time of its two triangles, though less of the calling thread.
    void setStrokeSprites(bool on) { strokeSpritesWanted = on; }
    // Primitives drawn so far as sprites and through vertex arrays.
    std::size_t spritesDrawn() const { return spriteCount; }
    std::size_t arraysDrawn() const { return arrayCount; }

    // One group: the primitives of one kind and texture, in the order they were added.
    struct Group {
        Kind kind = POINTS;
        unsigned int texture = 0;
        std::vector<PrimitiveInstance> instances;
        std::size_t count = 0;
    };
    // Non-empty groups in drawing order (for tests and benchmarks).
    const std::vector<Group*>& pendingGroups() const { return order; }

    struct Sprites;

private:
    Group& group(Kind kind, unsigned int texture);
    PrimitiveInstance& append(Kind kind, unsigned int texture, const PrimitivePlacement& p);
    void drawGroup(const Group& g, const unsigned char* pickingColor, Sprites* sprites);
    void drawArrays(const Group& g, std::size_t first, std::size_t n,
                    const unsigned char* pickingColor);

    // A deque: groups keep their address while others are added.
    std::deque<Group> groups;
    std::vector<Group*> order;
    Group* last = nullptr;
    // Where the groups of the current run of one kind begin in `order`.
    std::size_t runStart = 0;
    std::size_t pending = 0;
    bool spritesWanted = true;
    bool strokeSpritesWanted = false;
    std::size_t spriteCount = 0;
    std::size_t arrayCount = 0;
    // The vertex-array path's vertices, kept between flushes for their memory.
    std::vector<ColorVertex> colorScratch;
    std::vector<LitVertex> litScratch;
    std::vector<TexturedVertex> texturedScratch;
};
