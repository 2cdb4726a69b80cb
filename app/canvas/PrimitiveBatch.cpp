#include "PrimitiveBatch.h"

#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <unordered_map>

namespace {

constexpr int kShapeCount = PrimitiveBatch::kShapeCount;

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

// Triangles (0, 1, 2) and (0, 2, 3) of consecutive quads.
const std::vector<GLuint>& quadIndices(std::size_t quads)
{
    static std::vector<GLuint> indices;
    for (std::size_t q = indices.size() / 6; q < quads; ++q) {
        const auto base = static_cast<GLuint>(q * 4);
        for (GLuint i : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(base + i);
    }
    return indices;
}

inline void place(const PrimitiveInstance& p, double ux, double uy, float* out)
{
    const double vx = p.sx * ux;
    const double vy = p.sy * uy;
    out[0] = static_cast<float>(p.x + p.cosA * vx - p.sinA * vy);
    out[1] = static_cast<float>(p.y + p.sinA * vx + p.cosA * vy);
    out[2] = p.z;
}

// ---- Sprite programs -------------------------------------------------------------------
//
// Every sprite shader rebuilds its primitive's triangles in window pixels and decides coverage
// as the rasteriser does: vertices snapped to 1/256 pixel (round half to even, pixel centres at
// integers), a pixel centre inside a triangle when its edge functions are positive, on an edge
// when the edge is a left edge or a horizontal bottom edge (y up).
//
// Each edge becomes a test linear in the pixel's offset P from a pixel near the centre (see
// linearEdge): the edge function in snapped units is F0 + 256 (P.x ax + P.y by), F0 its value at
// that pixel, and a pixel is kept when it is positive, or zero on an edge that keeps its pixels
// (k = 1), i.e. when the integer P.x ax + P.y by exceeds t = floor(-(F0 + k) / 256). The vertex
// shader works ax, by and t out in 32-bit integers; within a sprite of at most kMaxSpriteSide
// pixels both sides stay below 2^24, so the fragment shader compares them exactly in floats.
//
// Outlines are convex (sprites are only used for shapes at least a few pixels across, where
// snapping cannot bend them), so a pixel is covered when it passes every outline edge's test.
// The software rasteriser runs every branch and every loop body at least once under a mask, so
// the shaders are straight-line code with constant indices only (a varying index copies all
// inputs for every pixel).

constexpr float kMaxSpriteSide = 88.0f;

const char* const kVertexCommon = R"(#version 130
in vec4 aPlace;   // x, y, z (table pixels), point shape
in vec4 aFrame;   // cos, sin, sx, sy
in vec4 aColour;
in vec4 aExtra;
uniform vec4 window;   // normalised device coordinates to window pixels: scale, offset

// The unit frame (-0.5 ... 0.5) to window pixels.
vec2 toWindow(vec2 u)
{
    vec2 v = u * aFrame.zw;
    vec2 t = aPlace.xy + vec2(aFrame.x * v.x - aFrame.y * v.y, aFrame.y * v.x + aFrame.x * v.y);
    vec4 c = gl_ModelViewProjectionMatrix * vec4(t, aPlace.z, 1.0);
    return c.xy * window.xy + window.zw;
}

ivec2 snap(vec2 w) { return ivec2(roundEven((w - 0.5) * 256.0)); }

vec2 centre() { return toWindow(vec2(0.0)); }

float reach(vec2 w, vec2 c) { return max(abs(w.x - c.x), abs(w.y - c.y)); }

// Sign of the turn a -> b -> c (0: straight or degenerate).
int turn(ivec2 a, ivec2 b, ivec2 c)
{
    ivec2 u = b - a;
    ivec2 v = c - b;
    int d = u.x * v.y - u.y * v.x;
    return d > 0 ? 1 : d < 0 ? -1 : 0;
}

// Whether edge a -> b keeps the pixel centres on it, the triangle lying on the side given by
// orientation (1: left).
bool keeps(ivec2 a, ivec2 b, int orientation)
{
    ivec2 d = (b - a) * orientation;
    return d.y != 0 ? d.y < 0 : d.x > 0;
}

// Edge a -> b (snapped units, relative to the pixel at offset (0, 0)) as a test linear in a
// pixel's offset P: the pixel passes when P.x ax + P.y by > t (returned as ax, by, t).
vec3 linearEdge(ivec2 a, ivec2 b, int orientation)
{
    ivec2 d = (b - a) * orientation;
    int f = (a.x * b.y - a.y * b.x) * orientation + (keeps(a, b, orientation) ? 1 : 0);
    return vec3(float(-d.y), float(d.x), float((-f) >> 8));
}

// Four edges' tests as vectors of their ax, by and t.
void packEdges(vec3 e[4], out vec4 ax, out vec4 by, out vec4 t)
{
    ax = vec4(e[0].x, e[1].x, e[2].x, e[3].x);
    by = vec4(e[0].y, e[1].y, e[2].y, e[3].y);
    t = vec4(e[0].z, e[1].z, e[2].z, e[3].z);
}

// The offset of a snapped vertex (relative to the pixel at offset (0, 0)) when it lies on a
// pixel centre; far away otherwise.
vec2 onPixel(ivec2 s) { return ((s.x | s.y) & 255) == 0 ? vec2(s >> 8) : vec2(1.0e6); }

void placeSprite(float extent)
{
    gl_Position = gl_ModelViewProjectionMatrix * vec4(aPlace.xyz, 1.0);
    // Every pixel centre the shape can cover, with a quarter of a pixel to spare.
    gl_PointSize = 2.0 * extent + 0.5;
}
)";

const char* const kFragmentCommon = R"(#version 130
uniform bool picking;
uniform vec4 pickColour;

bool bit(int bits, int i) { return ((bits >> i) & 1) != 0; }
)";

// Points: the ten rim edges' tests. A pixel on a rim vertex needs no test of its own: where both
// rim edges keep their pixels the fan covers it, where neither does it does not, and where only
// one does (the outline's top or bottom, the centre lying strictly above or below) the spoke to
// the centre leaves it out.
const char* const kPointVertex = R"(
uniform vec2 rim[176];
// Rim edges 0-3, 4-7 and 8-9.
flat out vec4 vAx0, vAx1;
flat out vec2 vAx2;
flat out vec4 vBy0, vBy1;
flat out vec2 vBy2;
flat out vec4 vT0, vT1;
flat out vec2 vT2;
flat out vec2 vBase;    // the window position of offset (0, 0)
flat out vec4 vColour;
void main()
{
    vec2 c = centre();
    ivec2 q = ivec2(floor(c));
    ivec2 origin = q * 256;
    float extent = 0.0;
    int base = int(aPlace.w) * 11;
    ivec2 s = snap(c) - origin;
    ivec2 r[11];
    for (int i = 0; i < 11; ++i) {
        vec2 w = toWindow(rim[base + i]);
        r[i] = snap(w) - origin;
        extent = max(extent, reach(w, c));
    }
    int orientation = turn(r[0], r[1], s);
    float ax[10];
    float by[10];
    float t[10];
    for (int i = 0; i < 10; ++i) {
        vec3 e = linearEdge(r[i], r[i + 1], orientation);
        ax[i] = e.x;
        by[i] = e.y;
        t[i] = e.z;
    }
    vAx0 = vec4(ax[0], ax[1], ax[2], ax[3]);
    vAx1 = vec4(ax[4], ax[5], ax[6], ax[7]);
    vAx2 = vec2(ax[8], ax[9]);
    vBy0 = vec4(by[0], by[1], by[2], by[3]);
    vBy1 = vec4(by[4], by[5], by[6], by[7]);
    vBy2 = vec2(by[8], by[9]);
    vT0 = vec4(t[0], t[1], t[2], t[3]);
    vT1 = vec4(t[4], t[5], t[6], t[7]);
    vT2 = vec2(t[8], t[9]);
    vBase = vec2(q) + 0.5;
    vColour = aColour;
    placeSprite(extent);
}
)";

const char* const kPointFragment = R"(
flat in vec4 vAx0, vAx1;
flat in vec2 vAx2;
flat in vec4 vBy0, vBy1;
flat in vec2 vBy2;
flat in vec4 vT0, vT1;
flat in vec2 vT2;
flat in vec2 vBase;
flat in vec4 vColour;
void main()
{
    vec2 p = gl_FragCoord.xy - vBase;
    bool inside = all(greaterThan(p.x * vAx0 + p.y * vBy0, vT0))
        && all(greaterThan(p.x * vAx1 + p.y * vBy1, vT1))
        && all(greaterThan(p.x * vAx2 + p.y * vBy2, vT2));
    if (!inside) discard;
    gl_FragColor = picking ? pickColour : vColour;
}
)";

// Tiles: the outline's sides and the spokes from the centre to the corners (which choose the
// triangle that shades a pixel); a pixel on a corner is shaded by the triangle the fan gives it.
const char* const kTileVertex = R"(
flat out vec2 vW[5];
flat out vec4 vC[5];
flat out vec4 vSideAx, vSideBy, vSideT;      // the side from corner i
flat out vec4 vSpokeAx, vSpokeBy, vSpokeT;   // the centre's edge to corner i
flat out vec4 vCorner[2];   // offsets of corners on pixel centres (far away otherwise)
flat out vec2 vBase;
flat out int vKept;         // bits 8-11: a pixel on corner i is covered

// Fixed-function lighting of light 0 (directional) with the diffuse colour as material.
vec4 lit(vec3 n)
{
    vec3 N = normalize(gl_NormalMatrix * n);
    vec3 L = normalize(gl_LightSource[0].position.xyz);
    float d = max(dot(N, L), 0.0);
    vec4 c = gl_FrontLightModelProduct.sceneColor
        + gl_LightSource[0].ambient * gl_FrontMaterial.ambient
        + d * gl_LightSource[0].diffuse * aExtra;
    if (d > 0.0) {
        float h = max(dot(N, normalize(gl_LightSource[0].halfVector.xyz)), 0.0);
        c += pow(h, gl_FrontMaterial.shininess) * gl_LightSource[0].specular
            * gl_FrontMaterial.specular;
    }
    c = clamp(c, 0.0, 1.0);
    c.a = clamp(aExtra.a, 0.0, 1.0);
    return c;
}

void main()
{
    const float k = 0.57735026918962576;
    vec2 c = centre();
    ivec2 q = ivec2(floor(c));
    ivec2 origin = q * 256;
    vec2 W[5];
    ivec2 S[5];
    vec4 C[5];
    W[0] = c;
    S[0] = snap(c) - origin;
    C[0] = lit(vec3(0.0, 0.0, 1.0));
    vec2 inv = vec2(aFrame.z != 0.0 ? 1.0 / aFrame.z : 0.0, aFrame.w != 0.0 ? 1.0 / aFrame.w : 0.0);
    vec2 corner[4] = vec2[4](vec2(-0.5, -0.5), vec2(0.5, -0.5), vec2(0.5, 0.5), vec2(-0.5, 0.5));
    float extent = 0.0;
    for (int i = 0; i < 4; ++i) {
        vec2 w = toWindow(corner[i]);
        W[i + 1] = w;
        S[i + 1] = snap(w) - origin;
        extent = max(extent, reach(w, c));
        vec2 n = sign(corner[i]) * k * inv;
        C[i + 1] = lit(vec3(aFrame.x * n.x - aFrame.y * n.y, aFrame.y * n.x + aFrame.x * n.y, k));
    }
    int orientation = turn(S[1], S[2], S[0]);
    bool side[4];
    for (int i = 0; i < 4; ++i) side[i] = keeps(S[i + 1], S[i == 3 ? 1 : i + 2], orientation);
    int kept = 0;
    vec3 sides[4];
    vec3 spokes[4];
    for (int i = 0; i < 4; ++i) {
        bool outward = keeps(S[0], S[i + 1], orientation);
        // Corner i: in triangle i - 1 (side in, edge to the centre) or i (side out, edge from it).
        if ((side[i == 0 ? 3 : i - 1] && !outward) || (side[i] && outward)) kept |= 1 << (i + 8);
        sides[i] = linearEdge(S[i + 1], S[i == 3 ? 1 : i + 2], orientation);
        spokes[i] = linearEdge(S[0], S[i + 1], orientation);
    }
    packEdges(sides, vSideAx, vSideBy, vSideT);
    packEdges(spokes, vSpokeAx, vSpokeBy, vSpokeT);
    vCorner[0] = vec4(onPixel(S[1]), onPixel(S[2]));
    vCorner[1] = vec4(onPixel(S[3]), onPixel(S[4]));
    vBase = vec2(q) + 0.5;
    vW = W;
    vC = C;
    vKept = kept;
    placeSprite(extent);
}
)";

const char* const kTileFragment = R"(
flat in vec2 vW[5];
flat in vec4 vC[5];
flat in vec4 vSideAx, vSideBy, vSideT;
flat in vec4 vSpokeAx, vSpokeBy, vSpokeT;
flat in vec4 vCorner[2];
flat in vec2 vBase;
flat in int vKept;

// The colour interpolated over triangle (wa, wb, wc) of colours (ca, cb, cc) at the pixel
// centre.
vec4 shade(vec2 wa, vec2 wb, vec2 wc, vec4 ca, vec4 cb, vec4 cc)
{
    vec2 d1 = wb - wa;
    vec2 d2 = wc - wa;
    float area = d1.x * d2.y - d1.y * d2.x;
    vec4 c1 = cb - ca;
    vec4 c2 = cc - ca;
    vec4 dx = (c1 * d2.y - c2 * d1.y) / area;
    vec4 dy = (c2 * d1.x - c1 * d2.x) / area;
    vec2 q = gl_FragCoord.xy - wa;
    return ca + dx * q.x + dy * q.y;
}

void main()
{
    vec2 p = gl_FragCoord.xy - vBase;
    // Inside the convex box, triangle i lies between the centre's edges to corners i and i + 1.
    bool inside = all(greaterThan(p.x * vSideAx + p.y * vSideBy, vSideT));
    bvec4 spoke = greaterThan(p.x * vSpokeAx + p.y * vSpokeBy, vSpokeT);
    int hit = 0;
    if (spoke.x && !spoke.y) hit = 1;
    if (spoke.y && !spoke.z) hit = 2;
    if (spoke.z && !spoke.w) hit = 3;
    if (spoke.w && !spoke.x) hit = 4;
    if (!inside) hit = 0;
    if (all(equal(p, vCorner[0].xy))) hit = bit(vKept, 8) ? 1 : 0;
    if (all(equal(p, vCorner[0].zw))) hit = bit(vKept, 9) ? 2 : 0;
    if (all(equal(p, vCorner[1].xy))) hit = bit(vKept, 10) ? 3 : 0;
    if (all(equal(p, vCorner[1].zw))) hit = bit(vKept, 11) ? 4 : 0;
    if (hit == 0) discard;
    // Triangle hit: corners a, b and the centre.
    vec2 wa = hit == 1 ? vW[1] : hit == 2 ? vW[2] : hit == 3 ? vW[3] : vW[4];
    vec2 wb = hit == 1 ? vW[2] : hit == 2 ? vW[3] : hit == 3 ? vW[4] : vW[1];
    vec4 ca = hit == 1 ? vC[1] : hit == 2 ? vC[2] : hit == 3 ? vC[3] : vC[4];
    vec4 cb = hit == 1 ? vC[2] : hit == 2 ? vC[3] : hit == 3 ? vC[4] : vC[1];
    gl_FragColor = picking ? pickColour : shade(wa, wb, vW[0], ca, cb, vC[0]);
}
)";

// Strokes: the quad's sides; a pixel on a corner is decided by the two triangles the quad is
// split into.
const char* const kStrokeVertex = R"(
flat out vec4 vSideAx, vSideBy, vSideT;   // the side from corner i
flat out vec4 vCorner[2];   // offsets of corners on pixel centres (far away otherwise)
flat out vec2 vBase;
flat out int vKept;         // bit 4 + i: a pixel on corner i is covered
flat out vec2 vOrigin;
flat out vec4 vAxes;
flat out vec4 vST;
flat out vec4 vColour;
void main()
{
    vec2 c = centre();
    ivec2 q = ivec2(floor(c));
    ivec2 origin = q * 256;
    vec2 corner[4] = vec2[4](vec2(-0.5, -0.5), vec2(0.5, -0.5), vec2(0.5, 0.5), vec2(-0.5, 0.5));
    vec2 w[4];
    ivec2 S[4];
    float extent = 0.0;
    for (int i = 0; i < 4; ++i) {
        w[i] = toWindow(corner[i]);
        S[i] = snap(w[i]) - origin;
        extent = max(extent, reach(w[i], c));
    }
    int orientation = turn(S[0], S[1], S[2]);
    bool side[4];
    for (int i = 0; i < 4; ++i) side[i] = keeps(S[i], S[(i + 1) % 4], orientation);
    // The quad's triangles (0, 1, 2) and (0, 2, 3): corners 0 and 2 are in both.
    bool diagonal = keeps(S[0], S[2], orientation);
    bool corners[4] = bool[4]((side[0] && !diagonal) || (side[3] && diagonal), side[0] && side[1],
                              (side[1] && !diagonal) || (side[2] && diagonal), side[2] && side[3]);
    int kept = 0;
    vec3 sides[4];
    for (int i = 0; i < 4; ++i) {
        if (corners[i]) kept |= 1 << (i + 4);
        sides[i] = linearEdge(S[i], S[(i + 1) % 4], orientation);
    }
    packEdges(sides, vSideAx, vSideBy, vSideT);
    vCorner[0] = vec4(onPixel(S[0]), onPixel(S[1]));
    vCorner[1] = vec4(onPixel(S[2]), onPixel(S[3]));
    vBase = vec2(q) + 0.5;
    vKept = kept;
    vOrigin = w[0];
    vAxes = vec4(w[1] - w[0], w[3] - w[0]);
    vST = aExtra;
    vColour = aColour;
    placeSprite(extent);
}
)";

const char* const kStrokeFragment = R"(
flat in vec4 vSideAx, vSideBy, vSideT;
flat in vec4 vCorner[2];
flat in vec2 vBase;
flat in int vKept;
flat in vec2 vOrigin;
flat in vec4 vAxes;
flat in vec4 vST;
flat in vec4 vColour;
uniform sampler2D tex;
uniform bool textured;
uniform bool replace;     // texture environment: replace, else modulate
uniform bool texAlpha;    // the texture has an alpha channel
void main()
{
    vec2 p = gl_FragCoord.xy - vBase;
    bool inside = all(greaterThan(p.x * vSideAx + p.y * vSideBy, vSideT));
    if (all(equal(p, vCorner[0].xy))) inside = bit(vKept, 4);
    if (all(equal(p, vCorner[0].zw))) inside = bit(vKept, 5);
    if (all(equal(p, vCorner[1].xy))) inside = bit(vKept, 6);
    if (all(equal(p, vCorner[1].zw))) inside = bit(vKept, 7);
    if (!inside) discard;
    // Texture coordinates: affine over the quad, (s0, t0) at its first corner.
    vec2 q = gl_FragCoord.xy - vOrigin;
    float det = vAxes.x * vAxes.w - vAxes.y * vAxes.z;
    float u = (q.x * vAxes.w - q.y * vAxes.z) / det;
    float v = (vAxes.x * q.y - vAxes.y * q.x) / det;
    vec2 st = vec2(mix(vST.x, vST.y, u), mix(vST.z, vST.w, v));
    vec4 t = texture2D(tex, st);
    vec4 colour = !textured ? vColour : replace ? vec4(t.rgb, texAlpha ? t.a : vColour.a) : t * vColour;
    gl_FragColor = picking ? pickColour : colour;
}
)";

// The sprite programs and vertex buffer of one context, deleted with it.
struct SpriteResources {
    QOpenGLShaderProgram programs[3];
    QOpenGLBuffer vbo{QOpenGLBuffer::VertexBuffer};
    bool usable = false;
    float maxSide = 0.0f;
    int window[3] = {-1, -1, -1};
    int picking[3] = {-1, -1, -1};
    int pickColour[3] = {-1, -1, -1};
    int textured = -1;
    int replace = -1;
    int texAlpha = -1;

    bool build(QOpenGLContext* context)
    {
        if (context->isOpenGLES() || !QOpenGLShaderProgram::hasOpenGLShaderPrograms(context))
            return false;
        const char* const vertex[3] = {kPointVertex, kTileVertex, kStrokeVertex};
        const char* const fragment[3] = {kPointFragment, kTileFragment, kStrokeFragment};
        for (int k = 0; k < 3; ++k) {
            QOpenGLShaderProgram& p = programs[k];
            if (!p.addShaderFromSourceCode(QOpenGLShader::Vertex,
                                           QByteArray(kVertexCommon) + vertex[k]) ||
                !p.addShaderFromSourceCode(QOpenGLShader::Fragment,
                                           QByteArray(kFragmentCommon) + fragment[k]))
                return false;
            // aPlace at 0: the attribute that makes a vertex in a compatibility context.
            p.bindAttributeLocation("aPlace", 0);
            p.bindAttributeLocation("aFrame", 1);
            p.bindAttributeLocation("aColour", 2);
            p.bindAttributeLocation("aExtra", 3);
            if (!p.link()) return false;
            window[k] = p.uniformLocation("window");
            picking[k] = p.uniformLocation("picking");
            pickColour[k] = p.uniformLocation("pickColour");
        }
        QOpenGLShaderProgram& points = programs[PrimitiveBatch::POINTS];
        points.bind();
        points.setUniformValueArray("rim", &pointShapes().rim[0][0][0],
                                    kShapeCount * PrimitiveBatch::kPointRimVertices, 2);
        points.release();
        QOpenGLShaderProgram& strokes = programs[PrimitiveBatch::STROKES];
        strokes.bind();
        strokes.setUniformValue("tex", 0);
        textured = strokes.uniformLocation("textured");
        replace = strokes.uniformLocation("replace");
        texAlpha = strokes.uniformLocation("texAlpha");
        strokes.release();
        GLfloat range[2] = {0.0f, 0.0f};
        glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
        maxSide = std::min(kMaxSpriteSide, range[1]);
        // A sprite must hold at least a few pixels around its shape.
        if (maxSide < 16.0f || !vbo.create()) return false;
        vbo.setUsagePattern(QOpenGLBuffer::StreamDraw);
        return true;
    }
};

// The current context's sprite resources; null without a context or where they cannot work.
SpriteResources* spriteResources()
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context) return nullptr;
    // Never destroyed: entries leave with their context.
    static auto* byContext = new std::unordered_map<QOpenGLContext*, std::unique_ptr<SpriteResources>>;
    auto it = byContext->find(context);
    if (it == byContext->end()) {
        auto resources = std::make_unique<SpriteResources>();
        resources->usable = resources->build(context);
        QObject::connect(context, &QObject::destroyed, [context] { byContext->erase(context); });
        it = byContext->emplace(context, std::move(resources)).first;
    }
    return it->second->usable ? it->second.get() : nullptr;
}

} // namespace

// What a flush knows about drawing sprites under the current transform and state.
struct PrimitiveBatch::Sprites {
    SpriteResources* resources = nullptr;
    // Table pixels (x, y, z, 1) to window pixels.
    double toWindow[2][4] = {};
    double viewport[4] = {};
    float window[4] = {};
    // The largest sx² + sy² a sprite holds.
    double limit2 = 0.0;
    // The smallest sx and sy drawn as sprites.
    double minSize = 0.0;
    // Tiles: light 0 directional and smooth shading; strokes: textures modulate or replace the
    // colour.
    bool tiles = false;
    bool strokes = false;
    bool replace = false;

    // The current state allows sprites at all.
    bool prepare()
    {
        resources = spriteResources();
        if (!resources) return false;
        if (glIsEnabled(GL_CULL_FACE) || glIsEnabled(GL_FOG)) return false;
        GLint polygonMode[2] = {GL_FILL, GL_FILL};
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        if (polygonMode[0] != GL_FILL || polygonMode[1] != GL_FILL) return false;
        GLfloat mv[16], pr[16];
        GLint vp[4];
        glGetFloatv(GL_MODELVIEW_MATRIX, mv);
        glGetFloatv(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        double m[16];
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k) sum += double(pr[k * 4 + r]) * mv[c * 4 + k];
                m[c * 4 + r] = sum;
            }
        // Flat: no perspective, one depth over a primitive's plane.
        if (m[3] != 0.0 || m[7] != 0.0 || m[11] != 0.0 || m[15] != 1.0 || m[2] != 0.0 ||
            m[6] != 0.0)
            return false;
        const double hw = vp[2] / 2.0;
        const double hh = vp[3] / 2.0;
        for (int c = 0; c < 4; ++c) {
            toWindow[0][c] = m[c * 4] * hw;
            toWindow[1][c] = m[c * 4 + 1] * hh;
        }
        toWindow[0][3] += vp[0] + hw;
        toWindow[1][3] += vp[1] + hh;
        for (int i = 0; i < 4; ++i) viewport[i] = vp[i];
        window[0] = static_cast<float>(hw);
        window[1] = static_cast<float>(hh);
        window[2] = static_cast<float>(vp[0] + hw);
        window[3] = static_cast<float>(vp[1] + hh);
        // A shape reaches at most |L| · ½·hypot(sx, sy) from its centre (L: the linear part of
        // toWindow); its sprite is 2·ceil(reach) + 2 pixels wide.
        const double norm =
            std::sqrt(toWindow[0][0] * toWindow[0][0] + toWindow[0][1] * toWindow[0][1] +
                      toWindow[1][0] * toWindow[1][0] + toWindow[1][1] * toWindow[1][1]);
        if (norm <= 0.0) return false;
        const double reach = (resources->maxSide - 4.0) / norm;
        limit2 = reach * reach;
        // Outlines stay convex after snapping while their narrowest radius (0.2 of the size for
        // points) spans a pixel; |det L| / |L| is at most L's smallest stretch.
        const double det =
            std::abs(toWindow[0][0] * toWindow[1][1] - toWindow[0][1] * toWindow[1][0]);
        if (det <= 0.0) return false;
        minSize = 5.0 * norm / det;

        GLint shadeModel = GL_SMOOTH;
        glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
        GLfloat light[4] = {0.0f, 0.0f, 1.0f, 0.0f};
        glGetLightfv(GL_LIGHT0, GL_POSITION, light);
        tiles = shadeModel == GL_SMOOTH && light[3] == 0.0f;
        GLint envMode = GL_MODULATE;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
        replace = envMode == GL_REPLACE;
        strokes = envMode == GL_MODULATE || replace;
        return true;
    }

    // The primitive fits a sprite, and its centre is inside the viewport (a point whose centre
    // is clipped away is not drawn at all).
    bool fits(const PrimitiveInstance& p) const
    {
        if (double(p.sx) * p.sx + double(p.sy) * p.sy > limit2) return false;
        if (std::abs(p.sx) < minSize || std::abs(p.sy) < minSize) return false;
        const double wx = toWindow[0][0] * p.x + toWindow[0][1] * p.y + toWindow[0][2] * p.z +
                          toWindow[0][3];
        const double wy = toWindow[1][0] * p.x + toWindow[1][1] * p.y + toWindow[1][2] * p.z +
                          toWindow[1][3];
        return wx >= viewport[0] && wx <= viewport[0] + viewport[2] && wy >= viewport[1] &&
               wy <= viewport[1] + viewport[3];
    }

    void draw(const PrimitiveBatch::Group& g, std::size_t first, std::size_t n,
              const unsigned char* pickingColor) const
    {
        QOpenGLShaderProgram& program = resources->programs[g.kind];
        program.bind();
        resources->vbo.bind();
        const int stride = sizeof(PrimitiveInstance);
        program.setAttributeBuffer(0, GL_FLOAT, offsetof(PrimitiveInstance, x), 4, stride);
        program.setAttributeBuffer(1, GL_FLOAT, offsetof(PrimitiveInstance, cosA), 4, stride);
        program.setAttributeBuffer(2, GL_UNSIGNED_BYTE, offsetof(PrimitiveInstance, rgba), 4,
                                   stride);
        program.setAttributeBuffer(3, GL_FLOAT, offsetof(PrimitiveInstance, extra), 4, stride);
        for (int i = 0; i < 4; ++i) program.enableAttributeArray(i);
        program.setUniformValue(resources->window[g.kind], window[0], window[1], window[2],
                                window[3]);
        program.setUniformValue(resources->picking[g.kind], pickingColor != nullptr);
        if (pickingColor)
            program.setUniformValue(resources->pickColour[g.kind], pickingColor[0] / 255.0f,
                                    pickingColor[1] / 255.0f, pickingColor[2] / 255.0f,
                                    pickingColor[3] / 255.0f);
        glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
        glEnable(GL_POINT_SPRITE);
        glDisable(GL_POINT_SMOOTH);
        if (g.kind == STROKES) {
            program.setUniformValue(resources->textured, !pickingColor && g.texture != 0);
            if (!pickingColor) {
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                if (g.texture != 0) {
                    glBindTexture(GL_TEXTURE_2D, g.texture);
                    GLint alphaBits = 0;
                    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
                    program.setUniformValue(resources->replace, replace);
                    program.setUniformValue(resources->texAlpha, alphaBits > 0);
                }
            }
        }
        QOpenGLContext::currentContext()->functions()->glDrawArrays(
            GL_POINTS, static_cast<GLint>(first), static_cast<GLsizei>(n));
        for (int i = 0; i < 4; ++i) program.disableAttributeArray(i);
        resources->vbo.release();
        program.release();
    }
};

PrimitiveBatch::PrimitiveBatch() = default;
PrimitiveBatch::~PrimitiveBatch() = default;

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

PrimitiveInstance& PrimitiveBatch::append(Kind kind, unsigned int texture,
                                          const PrimitivePlacement& p)
{
    Group& g = group(kind, texture);
    PrimitiveInstance& i = g.instances.emplace_back();
    i.x = static_cast<float>(p.x);
    i.y = static_cast<float>(p.y);
    i.z = static_cast<float>(p.z);
    i.shape = 0.0f;
    i.cosA = static_cast<float>(p.cosA);
    i.sinA = static_cast<float>(p.sinA);
    i.sx = static_cast<float>(p.sx);
    i.sy = static_cast<float>(p.sy);
    ++g.count;
    ++pending;
    return i;
}

void PrimitiveBatch::addPoint(const PrimitivePlacement& p, int shape, const unsigned char rgba[4])
{
    if (shape < 0 || shape >= kShapeCount) shape = 0;
    PrimitiveInstance& i = append(POINTS, 0, p);
    i.shape = static_cast<float>(shape);
    for (int c = 0; c < 4; ++c) {
        i.rgba[c] = rgba[c];
        i.extra[c] = 0.0f;
    }
}

void PrimitiveBatch::addTile(const PrimitivePlacement& p, const float diffuse[4])
{
    PrimitiveInstance& i = append(TILES, 0, p);
    for (int c = 0; c < 4; ++c) {
        i.extra[c] = diffuse[c];
        i.rgba[c] = 0;
    }
}

void PrimitiveBatch::addStroke(const PrimitivePlacement& p, unsigned int texture,
                               const float texCoords[4], const unsigned char rgba[4])
{
    PrimitiveInstance& i = append(STROKES, texture, p);
    for (int c = 0; c < 4; ++c) {
        i.extra[c] = texCoords[c];
        i.rgba[c] = rgba[c];
    }
}

void PrimitiveBatch::buildPoint(const PrimitiveInstance& p, ColorVertex out[kPointVertices])
{
    const int shape = p.shape >= 0.0f && p.shape < kShapeCount ? static_cast<int>(p.shape) : 0;
    const auto& rim = pointShapes().rim[shape];
    place(p, 0.0f, 0.0f, &out[0].x);
    for (int i = 0; i < kPointRimVertices; ++i) place(p, rim[i][0], rim[i][1], &out[i + 1].x);
    for (int i = 0; i < kPointVertices; ++i)
        for (int c = 0; c < 4; ++c) out[i].rgba[c] = p.rgba[c];
}

void PrimitiveBatch::buildTile(const PrimitiveInstance& p, LitVertex out[kTileVertices])
{
    // The lit box: centre facing up, corners leaning outwards (normals (±k, ±k, k)). The box
    // is scaled by (sx, sy, 1) and turned: its normals take the inverse scale and the turn; the
    // pipeline normalises them.
    static const float k = static_cast<float>(1.0 / std::sqrt(3.0));
    static const float corners[kTileVertices][2] = {{0.0f, 0.0f},  {-0.5f, -0.5f},
                                                    {0.5f, -0.5f}, {0.5f, 0.5f},
                                                    {-0.5f, 0.5f}, {-0.5f, -0.5f}};
    const float isx = p.sx != 0.0f ? 1.0f / p.sx : 0.0f;
    const float isy = p.sy != 0.0f ? 1.0f / p.sy : 0.0f;
    for (int i = 0; i < kTileVertices; ++i) {
        const float cx = corners[i][0];
        const float cy = corners[i][1];
        place(p, cx, cy, &out[i].x);
        float nx = 0.0f, ny = 0.0f, nz = 1.0f;
        if (i > 0) {
            nx = (cx < 0 ? -k : k) * isx;
            ny = (cy < 0 ? -k : k) * isy;
            nz = k;
        }
        out[i].nx = p.cosA * nx - p.sinA * ny;
        out[i].ny = p.sinA * nx + p.cosA * ny;
        out[i].nz = nz;
        for (int c = 0; c < 4; ++c) out[i].diffuse[c] = p.extra[c];
    }
}

void PrimitiveBatch::buildStroke(const PrimitiveInstance& p, TexturedVertex out[4])
{
    // The quad as the stroke list draws it: (s0, t0) at the bottom left, counter-clockwise.
    static const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}};
    const float st[4][2] = {{p.extra[0], p.extra[2]},
                            {p.extra[1], p.extra[2]},
                            {p.extra[1], p.extra[3]},
                            {p.extra[0], p.extra[3]}};
    for (int i = 0; i < 4; ++i) {
        place(p, corners[i][0], corners[i][1], &out[i].x);
        out[i].s = st[i][0];
        out[i].t = st[i][1];
        for (int c = 0; c < 4; ++c) out[i].rgba[c] = p.rgba[c];
    }
}

void PrimitiveBatch::clear()
{
    for (Group* g : order) {
        g->instances.clear();
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
    if (pickingColor) glColor4ubv(pickingColor);
    Sprites sprites;
    const bool useSprites = spritesWanted && sprites.prepare();
    for (const Group* g : order) {
        // Each group starts from the caller's state, as each primitive does.
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_LIGHTING_BIT |
                     GL_POINT_BIT);
        drawGroup(*g, pickingColor, useSprites ? &sprites : nullptr);
        glPopAttrib();
    }
    glPopAttrib();
    glPopClientAttrib();
    clear();
}

void PrimitiveBatch::drawGroup(const Group& g, const unsigned char* pickingColor, Sprites* sprites)
{
    // Picking draws flat shapes: neither lighting nor the texture environment matter.
    const bool kindFits =
        sprites && (g.kind == STROKES ? strokeSpritesWanted && (pickingColor || sprites->strokes)
                                      : pickingColor || g.kind == POINTS || sprites->tiles);
    if (!kindFits) {
        drawArrays(g, 0, g.count, pickingColor);
        return;
    }
    // Runs of primitives that fit sprites and of those that do not, in their order.
    bool uploaded = false;
    std::size_t start = 0;
    while (start < g.count) {
        const bool fits = sprites->fits(g.instances[start]);
        std::size_t end = start + 1;
        while (end < g.count && sprites->fits(g.instances[end]) == fits) ++end;
        if (!fits) {
            drawArrays(g, start, end - start, pickingColor);
        } else {
            if (!uploaded) {
                sprites->resources->vbo.bind();
                sprites->resources->vbo.allocate(
                    g.instances.data(), static_cast<int>(g.count * sizeof(PrimitiveInstance)));
                sprites->resources->vbo.release();
                uploaded = true;
            }
            sprites->draw(g, start, end - start, pickingColor);
            spriteCount += end - start;
        }
        start = end;
    }
}

void PrimitiveBatch::drawArrays(const Group& g, std::size_t first, std::size_t n,
                                const unsigned char* pickingColor)
{
    arrayCount += n;
    const bool picking = pickingColor != nullptr;
    const PrimitiveInstance* in = g.instances.data() + first;
    glEnableClientState(GL_VERTEX_ARRAY);
    switch (g.kind) {
    case POINTS: {
        colorScratch.resize(n * kPointVertices);
        for (std::size_t i = 0; i < n; ++i) buildPoint(in[i], &colorScratch[i * kPointVertices]);
        const ColorVertex* v = colorScratch.data();
        glVertexPointer(3, GL_FLOAT, sizeof(ColorVertex), &v->x);
        if (!picking) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorVertex), v->rgba);
        }
        const std::vector<GLuint>& indices = fanIndices(kPointVertices, n);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(n * (kPointVertices - 2) * 3),
                       GL_UNSIGNED_INT, indices.data());
        glDisableClientState(GL_COLOR_ARRAY);
        break;
    }
    case TILES: {
        litScratch.resize(n * kTileVertices);
        for (std::size_t i = 0; i < n; ++i) buildTile(in[i], &litScratch[i * kTileVertices]);
        const LitVertex* v = litScratch.data();
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
        const std::vector<GLuint>& indices = fanIndices(kTileVertices, n);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(n * (kTileVertices - 2) * 3),
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
        texturedScratch.resize(n * 4);
        for (std::size_t i = 0; i < n; ++i) buildStroke(in[i], &texturedScratch[i * 4]);
        const TexturedVertex* v = texturedScratch.data();
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
        // Each quad as the two triangles the pipeline splits it into, (0, 1, 2) and (0, 2, 3).
        const std::vector<GLuint>& indices = quadIndices(n);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(n * 6), GL_UNSIGNED_INT, indices.data());
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        break;
    }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}
