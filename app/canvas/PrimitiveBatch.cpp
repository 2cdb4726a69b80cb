#include "PrimitiveBatch.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

namespace {

constexpr int kShapeCount = 16;

// Rim of point shape k for a unit width, as the display lists draw it: 0.4 of the half width
// along x, stretched by 1 + 0.1 k along y, a vertex every 36 degrees from 0 to 360.
struct PointShapes {
    float rim[kShapeCount][PrimitiveBatch::kPointRimVertices][2];
    PointShapes()
    {
        for (int k = 0; k < kShapeCount; ++k) {
            const double rx = 0.4 * 0.5;
            const double ry = rx * (1.0 + 0.1 * k);
            for (int i = 0; i < PrimitiveBatch::kPointRimVertices; ++i) {
                const double r = 36 * i * 0.017453292519943295;
                // As glVertex2d stores it in a display list: a float.
                rim[k][i][0] = static_cast<float>(rx * std::cos(r));
                rim[k][i][1] = static_cast<float>(ry * std::sin(r));
            }
        }
    }
};

const PointShapes& pointShapes()
{
    static const PointShapes shapes;
    return shapes;
}

// Triangles of consecutive fans of `vertices` vertices each, in the order the fixed-function
// pipeline splits a fan (i + 1, i + 2, centre), so both paths rasterise the same triangles.
const std::vector<GLuint>& fanIndices(int vertices, std::size_t fans)
{
    static std::vector<GLuint> byVertices[PrimitiveBatch::kPointVertices + 1];
    std::vector<GLuint>& indices = byVertices[vertices];
    const std::size_t perFan = static_cast<std::size_t>(vertices - 2) * 3;
    for (std::size_t f = indices.size() / perFan; f < fans; ++f) {
        const auto base = static_cast<GLuint>(f * vertices);
        for (int i = 0; i + 2 < vertices; ++i) {
            indices.push_back(base + i + 1);
            indices.push_back(base + i + 2);
            indices.push_back(base);
        }
    }
    return indices;
}

inline void place(const PrimitivePlacement& p, double ux, double uy, float* out)
{
    const double vx = p.sx * ux;
    const double vy = p.sy * uy;
    out[0] = static_cast<float>(p.x + p.cosA * vx - p.sinA * vy);
    out[1] = static_cast<float>(p.y + p.sinA * vx + p.cosA * vy);
    out[2] = static_cast<float>(p.z);
}

} // namespace

PrimitiveBatch::Group& PrimitiveBatch::group(Kind kind, unsigned int texture)
{
    if (last && last->kind == kind && last->texture == texture) return *last;
    if (last && last->kind == kind) {
        // Strokes of another texture: grouped with the earlier strokes of that texture in this
        // run of strokes.
        for (std::size_t i = runStart; i < order.size(); ++i)
            if (order[i]->texture == texture) return *(last = order[i]);
    } else {
        // Another kind starts a new group, so kinds keep their order where they overlap.
        runStart = order.size();
    }
    // An empty group is reused (preferably one of the same kind, for its memory).
    Group* g = nullptr;
    for (Group& candidate : groups) {
        if (candidate.count != 0) continue;
        if (!g || (candidate.kind == kind && g->kind != kind)) g = &candidate;
        if (candidate.kind == kind && candidate.texture == texture) break;
    }
    if (!g) g = &groups.emplace_back();
    g->kind = kind;
    g->texture = texture;
    order.push_back(g);
    return *(last = g);
}

void PrimitiveBatch::addPoint(const PrimitivePlacement& p, int shape, const unsigned char rgba[4])
{
    if (shape < 0 || shape >= kShapeCount) shape = 0;
    Group& g = group(POINTS, 0);
    const std::size_t at = g.colorVertices.size();
    g.colorVertices.resize(at + kPointVertices);
    ColorVertex* v = g.colorVertices.data() + at;
    const auto& rim = pointShapes().rim[shape];
    place(p, 0.0, 0.0, &v[0].x);
    for (int i = 0; i < kPointRimVertices; ++i) place(p, rim[i][0], rim[i][1], &v[i + 1].x);
    for (int i = 0; i < kPointVertices; ++i)
        for (int c = 0; c < 4; ++c) v[i].rgba[c] = rgba[c];
    ++g.count;
    ++pending;
}

void PrimitiveBatch::addTile(const PrimitivePlacement& p, const float diffuse[4])
{
    // The lit box: centre facing up, corners leaning outwards (normals (±k, ±k, k)). The box
    // is scaled by (sx, sy, 1) and turned: its normals take the inverse scale and the turn; the
    // pipeline normalises them.
    static const double k = 1.0 / std::sqrt(3.0);
    static const double corners[kTileVertices][2] = {{0.0, 0.0},   {-0.5, -0.5}, {0.5, -0.5},
                                                     {0.5, 0.5},   {-0.5, 0.5},  {-0.5, -0.5}};
    Group& g = group(TILES, 0);
    const std::size_t at = g.litVertices.size();
    g.litVertices.resize(at + kTileVertices);
    LitVertex* v = g.litVertices.data() + at;
    const double isx = p.sx != 0.0 ? 1.0 / p.sx : 0.0;
    const double isy = p.sy != 0.0 ? 1.0 / p.sy : 0.0;
    for (int i = 0; i < kTileVertices; ++i) {
        const double cx = corners[i][0];
        const double cy = corners[i][1];
        place(p, cx, cy, &v[i].x);
        double nx = 0.0, ny = 0.0, nz = 1.0;
        if (i > 0) {
            nx = (cx < 0 ? -k : k) * isx;
            ny = (cy < 0 ? -k : k) * isy;
            nz = k;
        }
        v[i].nx = static_cast<float>(p.cosA * nx - p.sinA * ny);
        v[i].ny = static_cast<float>(p.sinA * nx + p.cosA * ny);
        v[i].nz = static_cast<float>(nz);
        for (int c = 0; c < 4; ++c) v[i].diffuse[c] = diffuse[c];
    }
    ++g.count;
    ++pending;
}

void PrimitiveBatch::addStroke(const PrimitivePlacement& p, unsigned int texture,
                               const float texCoords[4], const unsigned char rgba[4])
{
    Group& g = group(STROKES, texture);
    const std::size_t at = g.texturedVertices.size();
    g.texturedVertices.resize(at + 4);
    TexturedVertex* v = g.texturedVertices.data() + at;
    // The quad as the stroke list draws it: (s0, t0) at the bottom left, counter-clockwise.
    const double corners[4][2] = {{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}};
    const float st[4][2] = {{texCoords[0], texCoords[2]},
                            {texCoords[1], texCoords[2]},
                            {texCoords[1], texCoords[3]},
                            {texCoords[0], texCoords[3]}};
    for (int i = 0; i < 4; ++i) {
        place(p, corners[i][0], corners[i][1], &v[i].x);
        v[i].s = st[i][0];
        v[i].t = st[i][1];
        for (int c = 0; c < 4; ++c) v[i].rgba[c] = rgba[c];
    }
    ++g.count;
    ++pending;
}

void PrimitiveBatch::clear()
{
    for (Group* g : order) {
        g->colorVertices.clear();
        g->litVertices.clear();
        g->texturedVertices.clear();
        g->count = 0;
    }
    order.clear();
    last = nullptr;
    runStart = 0;
    pending = 0;
}

void PrimitiveBatch::flush(const unsigned char* pickingColor)
{
    if (pending == 0) return;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glPushAttrib(GL_CURRENT_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (pickingColor) glColor4ubv(pickingColor);
    for (const Group* g : order) {
        // Each group starts from the caller's state, as each primitive does.
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_LIGHTING_BIT);
        drawGroup(*g, pickingColor);
        glPopAttrib();
    }
    glPopAttrib();
    glPopClientAttrib();
    clear();
}

void PrimitiveBatch::drawGroup(const Group& g, const unsigned char* pickingColor)
{
    const bool picking = pickingColor != nullptr;
    switch (g.kind) {
    case POINTS: {
        const ColorVertex* v = g.colorVertices.data();
        glVertexPointer(3, GL_FLOAT, sizeof(ColorVertex), &v->x);
        if (!picking) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorVertex), v->rgba);
        }
        const std::vector<GLuint>& indices = fanIndices(kPointVertices, g.count);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(g.count * (kPointVertices - 2) * 3),
                       GL_UNSIGNED_INT, indices.data());
        glDisableClientState(GL_COLOR_ARRAY);
        break;
    }
    case TILES: {
        const LitVertex* v = g.litVertices.data();
        glVertexPointer(3, GL_FLOAT, sizeof(LitVertex), &v->x);
        if (!picking) {
            // The per-tile diffuse material comes with the vertices.
            glEnable(GL_LIGHTING);
            glEnable(GL_LIGHT0);
            glEnable(GL_NORMALIZE);
            glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
            glEnable(GL_COLOR_MATERIAL);
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, sizeof(LitVertex), &v->nx);
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_FLOAT, sizeof(LitVertex), v->diffuse);
        }
        const std::vector<GLuint>& indices = fanIndices(kTileVertices, g.count);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(g.count * (kTileVertices - 2) * 3),
                       GL_UNSIGNED_INT, indices.data());
        if (!picking) {
            glDisable(GL_COLOR_MATERIAL);
            glDisable(GL_LIGHTING);
            glDisableClientState(GL_NORMAL_ARRAY);
            glDisableClientState(GL_COLOR_ARRAY);
        }
        break;
    }
    case STROKES: {
        const TexturedVertex* v = g.texturedVertices.data();
        glVertexPointer(3, GL_FLOAT, sizeof(TexturedVertex), &v->x);
        if (!picking) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            if (g.texture != 0) {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, g.texture);
                glEnableClientState(GL_TEXTURE_COORD_ARRAY);
                glTexCoordPointer(2, GL_FLOAT, sizeof(TexturedVertex), &v->s);
            }
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(TexturedVertex), v->rgba);
        }
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(g.count * 4));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        break;
    }
    }
}
