#include "ToolBrushLeafGL.h"

#include "CanvasCompositeGL.h"
#include "PointLeafGL.h"
#include "StrokeLeafGL.h"
#include "TileLeafGL.h"

#include "core/Random.h"
#include "core/epsEnums.h"
#include "core/epsLens.h"
#include "core/epsLensSurround.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr unsigned char kNeutralColor = 127;

float random01() { return tavlor::rand15() / 32767.0f; }

template <class T> BufferTemplate<T>* makeBuffer(unsigned int channels, unsigned int w,
                                                 unsigned int h, BUFFERTAG tag)
{
    auto* b = new BufferTemplate<T>(channels, tag);
    b->setSizeAndAllocateMemory(w, h);
    b->fillEntireBuffer(T());
    return b;
}

void normalise(float& x, float& y)
{
    const float l = std::sqrt(x * x + y * y);
    if (l > 0.0f) {
        x /= l;
        y /= l;
    }
}

} // namespace

ToolBrushLeafGL::ToolBrushLeafGL(TabletopVisGL* vis, double width, double height, double x,
                                 double y, double z, int maxDiameter, float initialDiameter)
    : VisComponentGL(vis, width, height, false, false, x, y, z),
      diameter(initialDiameter),
      xOffsets(kOffsetCount),
      yOffsets(kOffsetCount),
      randomTable(kRandomCount),
      maximumDiameter(maxDiameter)
{
    ToolBrushLeafGL::initializePassiveBuffers();
    ToolBrushLeafGL::buildOutline();
    ToolBrushLeafGL::createActiveBuffers();
    ToolBrushLeafGL::renderInActiveBuffers();
    for (float& r : randomTable) r = random01() * 2.0f - 1.0f;
    if (vis && vis->getNumberOfImageTextures() > 0) iconTexture = vis->getImageTextureIDAt(0);
    deactivate();
}

ToolBrushLeafGL::~ToolBrushLeafGL()
{
    if (outlineList != 0) glDeleteLists(outlineList, 2);
    if (iconListsBuilt) glDeleteLists(iconLists[0], 12);
}

void ToolBrushLeafGL::setParent(VisComponent* p)
{
    VisComponentGL::setParent(p);
    canvas = dynamic_cast<CanvasCompositeGL*>(p);
}

// ---------------------------------------------------------------------------------------------
// Buffers

void ToolBrushLeafGL::initializePassiveBuffers()
{
    // The colour buffer too: the colour brush blends it.
    for (BUFFERTAG tag :
         {SPEED_BUFFER, ABSOLUTE_SIZE_BUFFER, SIZE_DIFFERENCE_BUFFER, DIRECTION_BUFFER,
          AUXILIARY_VECTOR_BUFFER, ORIENTATION_BUFFER, TEMPORARY_ORIENTATION_BUFFER,
          SECOND_TEMPORARY_ORIENTATION_BUFFER, COLOR_BUFFER, TEMPORARY_COLOR_BUFFER, ERASE_BUFFER,
          TOOL_STATE_BUFFER, DROP_OFF_BUFFER, SELECTION_BUFFER})
        setPassiveBuffer(tag, nullptr);
}

BufferTemplate<int>* ToolBrushLeafGL::speed() { return getPassiveBufferAs<int>(SPEED_BUFFER); }
BufferTemplate<float>* ToolBrushLeafGL::floatBuffer(BUFFERTAG tag)
{
    return getPassiveBufferAs<float>(tag);
}
BufferTemplate<unsigned char>* ToolBrushLeafGL::byteBuffer(BUFFERTAG tag)
{
    return getPassiveBufferAs<unsigned char>(tag);
}
BufferTemplate<bool>* ToolBrushLeafGL::boolBuffer(BUFFERTAG tag)
{
    return getPassiveBufferAs<bool>(tag);
}

void ToolBrushLeafGL::createActiveBuffers()
{
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    setActiveBuffer(DROP_OFF_BUFFER, makeBuffer<float>(1, w, h, DROP_OFF_BUFFER));
    setActiveBuffer(LENS_OUTPUT_BUFFER, makeBuffer<float>(1, w, h, LENS_OUTPUT_BUFFER));
    setActiveBuffer(BRUSH_MOVE_BUFFER_1, makeBuffer<float>(2, w, h, BRUSH_MOVE_BUFFER_1));
    setActiveBuffer(BRUSH_MOVE_BUFFER_2, makeBuffer<float>(2, w, h, BRUSH_MOVE_BUFFER_2));
    setActiveBuffer(BRUSH_MOVE_BUFFER_3, makeBuffer<float>(2, w, h, BRUSH_MOVE_BUFFER_3));
}

void ToolBrushLeafGL::computeLensField()
{
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    // Full strength within the focus ratio of the radius; the Gaussian surround reaches zero
    // (its cut-off at twice the width) at the rim.
    const float radius = static_cast<float>(std::min(getWidth(), getHeight())) * 0.5f;
    const float focus = radius * focusRatio;
    epsLens lens;
    epsLensSurround surround;
    lens.setFocusShape(epsEnums::CIRCLE_FOCUS);
    lens.setFocusRadius(focus);
    surround.setDropoffType(epsEnums::GAUSSIAN);
    surround.setMagnificationGrowth(0.0f);
    surround.setWidth(std::max((radius - focus) * 0.5f, 0.5f));
    lens.setMagnification(2.0f);
    lens.setSurround(&surround);
    lens.setFocus(epsPoint{w * 0.5f, h * 0.5f});
    lensField.assign(static_cast<std::size_t>(w) * h, 1.0f);
    for (unsigned int j = 0; j < h; ++j)
        for (unsigned int i = 0; i < w; ++i)
            lensField[static_cast<std::size_t>(j) * w + i] =
                lens.getMagnificationAt(epsPoint{i + 0.5f, j + 0.5f});
    lens.removeAllSurrounds();
}

void ToolBrushLeafGL::renderInActiveBuffers()
{
    BufferTemplate<float>* dropOff = getActiveBufferAs<float>(DROP_OFF_BUFFER);
    if (!dropOff) return;
    computeLensField();
    float* d = dropOff->getBufferArray();
    for (std::size_t k = 0; k < lensField.size(); ++k) d[k] = lensField[k] - 1.0f;
    runsValid = false;
    rebuildEraseProfile();
    buildMoveFields();
}

void ToolBrushLeafGL::rebuildEraseProfile()
{
    BufferTemplate<float>* profile = getActiveBufferAs<float>(LENS_OUTPUT_BUFFER);
    if (!profile || lensField.size() != static_cast<std::size_t>(profile->getWidth()) *
                                            profile->getHeight())
        return;
    float* p = profile->getBufferArray();
    for (std::size_t k = 0; k < lensField.size(); ++k) p[k] = lensField[k] - 1.0f;
}

void ToolBrushLeafGL::buildMoveFields()
{
    BufferTemplate<float>* towards = getActiveBufferAs<float>(BRUSH_MOVE_BUFFER_1);
    BufferTemplate<float>* away = getActiveBufferAs<float>(BRUSH_MOVE_BUFFER_2);
    BufferTemplate<float>* drift = getActiveBufferAs<float>(BRUSH_MOVE_BUFFER_3);
    if (!towards || !away || !drift) return;
    const unsigned int w = towards->getWidth();
    const unsigned int h = towards->getHeight();
    if (lensField.size() != static_cast<std::size_t>(w) * h) return;
    const float cx = w * 0.5f;
    const float cy = h * 0.5f;
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int x = 0; x < w; ++x) {
            float a[2] = {0.0f, 0.0f}, b[2] = {0.0f, 0.0f}, c[2] = {0.0f, 0.0f};
            const float ex = (x - cx) / cx;
            const float ey = (y - cy) / cy;
            if (ex * ex + ey * ey <= 1.0f) {
                const float lens = lensField[static_cast<std::size_t>(y) * w + x];
                a[0] = cx - x;
                a[1] = cy - y;
                normalise(a[0], a[1]);
                b[0] = -a[0];
                b[1] = -a[1];
                c[0] = static_cast<float>(x);
                c[1] = y - cy;
                normalise(c[0], c[1]);
                c[1] += random01();
                normalise(c[0], c[1]);
                for (float* v : {a, b, c}) {
                    v[0] *= lens;
                    v[1] *= lens;
                }
            }
            towards->set2DValues(x, y, a);
            away->set2DValues(x, y, b);
            drift->set2DValues(x, y, c);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Tool state, diameter, position

float ToolBrushLeafGL::toolCell(unsigned int column, unsigned int row)
{
    BufferTemplate<float>* grid = floatBuffer(TOOL_STATE_BUFFER);
    if (!grid || column >= grid->getWidth() || row >= grid->getHeight()) return 0.0f;
    return grid->getValue(column, row);
}

bool ToolBrushLeafGL::setToolCell(unsigned int column, unsigned int row, float value)
{
    BufferTemplate<float>* grid = floatBuffer(TOOL_STATE_BUFFER);
    if (!grid || column >= grid->getWidth() || row >= grid->getHeight()) return false;
    grid->setValue(column, row, value);
    return true;
}

bool ToolBrushLeafGL::setDiameter(float d, bool reposition)
{
    d = std::clamp(d, kMinimumDiameter, static_cast<float>(maximumDiameter));
    if (!setToolCell(0, 2, d)) diameter = d;
    rebuildRequested = true;
    outlineDirty = true;
    if (reposition) moveToBufferPosition(bufferPosition[0], bufferPosition[1]);
    return true;
}

bool ToolBrushLeafGL::changeDiameterBy(float delta, bool reposition)
{
    const float current = floatBuffer(TOOL_STATE_BUFFER) ? toolCell(0, 2) : diameter;
    return setDiameter(current + delta, reposition);
}

void ToolBrushLeafGL::applyDiameter()
{
    float d = floatBuffer(TOOL_STATE_BUFFER) ? toolCell(0, 2) : diameter;
    d = std::clamp(d, kMinimumDiameter, static_cast<float>(maximumDiameter));
    diameter = d;
    setSize(d, d);
    setBufferSize(static_cast<unsigned int>(d + 2.5), static_cast<unsigned int>(d + 2.5));
    removeActiveBuffers();
    createActiveBuffers();
    renderInActiveBuffers();
    buildOutline();
}

void ToolBrushLeafGL::moveToBufferPosition(float x, float y)
{
    bufferPosition[0] = x;
    bufferPosition[1] = y;
    if (!parent) return;
    // Inverse of the canvas's table-to-cell mapping (cell = local / scale + 1, rounded).
    double gx = 0.0, gy = 0.0;
    parent->getGlobalCoordinates((x - 1.0) * parent->getXScale(), (y - 1.0) * parent->getYScale(),
                                 parent->getWidth(), parent->getHeight(), &gx, &gy);
    setPos(gx, gy);
}

void ToolBrushLeafGL::moveToPosition(int x, int y)
{
    setToolCell(6, 0, static_cast<float>(x));
    setToolCell(6, 1, static_cast<float>(y));
    moveToBufferPosition(static_cast<float>(x), static_cast<float>(y));
}

void ToolBrushLeafGL::setBufferPosition(float x, float y)
{
    bufferPosition[0] = x;
    bufferPosition[1] = y;
}

void ToolBrushLeafGL::setMarkerList(unsigned int list) { markerList = list; }

ToolBrushLeafGL::Footprint ToolBrushLeafGL::footprintAt(float cx, float cy,
                                                       unsigned int canvasWidth,
                                                       unsigned int canvasHeight) const
{
    Footprint f;
    const int w = static_cast<int>(getBufferWidth());
    const int h = static_cast<int>(getBufferHeight());
    f.originX = static_cast<int>(std::lround(cx)) - w / 2;
    f.originY = static_cast<int>(std::lround(cy)) - h / 2;
    f.i0 = std::max(0, -f.originX);
    f.i1 = std::min(w, static_cast<int>(canvasWidth) - f.originX);
    f.j0 = std::max(0, -f.originY);
    f.j1 = std::min(h, static_cast<int>(canvasHeight) - f.originY);
    return f;
}

ToolBrushLeafGL::Written ToolBrushLeafGL::rectOf(const Footprint& f)
{
    Written r;
    r.x0 = f.originX + f.i0;
    r.x1 = f.originX + f.i1;
    r.y0 = f.originY + f.j0;
    r.y1 = f.originY + f.j1;
    r.pending = !f.empty();
    return r;
}

// ---------------------------------------------------------------------------------------------
// Clearing earlier footprints

template <class T> void ToolBrushLeafGL::clearWritten(BufferTemplate<T>* b, Written& w, T value)
{
    if (!w.pending) return;
    w.pending = false;
    if (!b) return;
    const unsigned int channels = b->getChannelNumber();
    // The canvas may have been refitted since: clip again.
    const int x0 = std::max(w.x0, 0);
    const int y0 = std::max(w.y0, 0);
    const int x1 = std::min(w.x1, static_cast<int>(b->getWidth()));
    const int y1 = std::min(w.y1, static_cast<int>(b->getHeight()));
    if (x0 >= x1 || y0 >= y1) return;
    T* cells = b->getBufferArrayForRect(x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y) {
        T* row = cells + static_cast<std::size_t>(y) * b->getWidth() * channels;
        std::fill(row + x0 * channels, row + x1 * channels, value);
    }
}

void ToolBrushLeafGL::clearEraseFootprint()
{
    clearWritten(floatBuffer(ERASE_BUFFER), eraseDelayed, 0.0f);
}
void ToolBrushLeafGL::clearSelectionFootprint()
{
    clearWritten(boolBuffer(SELECTION_BUFFER), selectionDelayed, false);
}
void ToolBrushLeafGL::clearMoveFootprint()
{
    clearWritten(floatBuffer(DIRECTION_BUFFER), movementWritten, 0.0f);
}
void ToolBrushLeafGL::clearSizeDiffFootprint()
{
    clearWritten(floatBuffer(SIZE_DIFFERENCE_BUFFER), sizeDifferenceWritten, 0.0f);
}
void ToolBrushLeafGL::clearTempColorFootprint()
{
    // Back to the neutral temporary colour, not black: primitives ignore only red 127.
    clearWritten(byteBuffer(TEMPORARY_COLOR_BUFFER), temporaryColorWritten, kNeutralColor);
}
void ToolBrushLeafGL::clearDropoffFootprint()
{
    clearWritten(floatBuffer(DROP_OFF_BUFFER), dropOffWritten, 0.0f);
}
void ToolBrushLeafGL::clearTempOrientation2Footprint()
{
    clearWritten(floatBuffer(SECOND_TEMPORARY_ORIENTATION_BUFFER), temporaryOrientation2Written,
                 0.0f);
}
void ToolBrushLeafGL::clearTempOrientationFootprint()
{
    clearWritten(floatBuffer(TEMPORARY_ORIENTATION_BUFFER), temporaryOrientationWritten, 0.0f);
}

// ---------------------------------------------------------------------------------------------
// Per-frame writing

void ToolBrushLeafGL::renderIntoBuffers()
{
    if (stamping) return;
    // Erase and selection stay one more frame: a stamp made between frames must be read first.
    clearEraseFootprint();
    eraseDelayed = eraseWritten;
    eraseWritten.pending = false;
    clearSelectionFootprint();
    selectionDelayed = selectionWritten;
    selectionWritten.pending = false;
    clearTempColorFootprint();
    clearTempOrientation2Footprint();
    clearTempOrientationFootprint();
    clearMoveFootprint();
    clearDropoffFootprint();
    clearSizeDiffFootprint();

    BufferTemplate<float>* grid = floatBuffer(TOOL_STATE_BUFFER);
    if (grid) {
        const float d = std::clamp(toolCell(0, 2), kMinimumDiameter,
                                   static_cast<float>(maximumDiameter));
        if ((d != getWidth() && !strokeChanged) || rebuildRequested) {
            rebuildRequested = false;
            applyDiameter();
        }
        outlineColor[0] = toolCell(3, 1);
        outlineColor[1] = toolCell(3, 2);
        outlineColor[2] = toolCell(3, 3);
        outlineDiameter = diameter;
    } else if (rebuildRequested) {
        rebuildRequested = false;
        applyDiameter();
    }

    if (!canvas || !canvas->isPainting()) {
        colorWritten = false;
        strokeChanged = false;
        followAnchorSet = false;
        return;
    }
    if (!grid) return;

    previousBufferPosition[0] = bufferPosition[0];
    previousBufferPosition[1] = bufferPosition[1];
    moveToBufferPosition(toolCell(6, 0), toolCell(6, 1));
    if (!followAnchorSet) {
        followAnchor[0] = bufferPosition[0];
        followAnchor[1] = bufferPosition[1];
        previousBufferPosition[0] = bufferPosition[0];
        previousBufferPosition[1] = bufferPosition[1];
        followAnchorSet = true;
    }

    if (!getActiveBufferAs<float>(DROP_OFF_BUFFER)) {
        std::cout << "activeBuffer NOT valid" << std::endl;
        return;
    }
    if (BufferTemplate<bool>* selection = boolBuffer(SELECTION_BUFFER)) {
        const Footprint f = footprintAt(bufferPosition[0], bufferPosition[1],
                                        selection->getWidth(), selection->getHeight());
        if (f.i1 - f.i0 < 10000 && f.j1 - f.j0 < 10000) writeSelection(f);
    }

    const int kind = static_cast<int>(std::lround(toolCell(0, 0)));
    const float strength = toolCell(4, 1);
    const int bx = static_cast<int>(std::lround(bufferPosition[0]));
    const int by = static_cast<int>(std::lround(bufferPosition[1]));
    switch (kind) {
    case 1:
        if (BufferTemplate<float>* size = floatBuffer(ABSOLUTE_SIZE_BUFFER))
            paintAbsoluteSize(footprintAt(bufferPosition[0], bufferPosition[1], size->getWidth(),
                                          size->getHeight()),
                              strength);
        break;
    case 2: {
        const int subMode = static_cast<int>(std::lround(toolCell(2, 1)));
        paintOrientation(bx, by, static_cast<int>(std::lround(followAnchor[0])),
                         static_cast<int>(std::lround(followAnchor[1])), subMode, true);
        break;
    }
    case 3:
        paintColor(bufferPosition[0], bufferPosition[1]);
        break;
    case 4:
        if (strength > 0.0f)
            createPrimitives(strength);
        else if (strength < 0.0f)
            writeErase(strength);
        break;
    case 5: {
        BufferTemplate<float>* movement = floatBuffer(DIRECTION_BUFFER);
        if (!movement) {
            std::cout << "parentDirectionBuffer does not exist!" << std::endl;
            break;
        }
        paintMovement(footprintAt(bufferPosition[0], bufferPosition[1], movement->getWidth(),
                                  movement->getHeight()),
                      static_cast<int>(std::lround(toolCell(5, 1))),
                      bufferPosition[0] - previousBufferPosition[0],
                      bufferPosition[1] - previousBufferPosition[1]);
        break;
    }
    case 9:
        paintSizeDifference(bx, by, toolCell(9, 1), true);
        break;
    default:
        break;
    }
}

void ToolBrushLeafGL::writeSelection(const Footprint& f)
{
    BufferTemplate<bool>* selection = boolBuffer(SELECTION_BUFFER);
    if (f.empty()) return;
    bool* cells = footprintCells(selection, f);
    for (int j = f.j0; j < f.j1; ++j) {
        bool* row = cells +
                    static_cast<std::size_t>(f.originY + j) * selection->getWidth();
        std::fill(row + f.originX + f.i0, row + f.originX + f.i1, true);
    }
    selectionWritten = rectOf(f);
}

void ToolBrushLeafGL::paintAbsoluteSize(const Footprint& f, float strength)
{
    BufferTemplate<float>* size = floatBuffer(ABSOLUTE_SIZE_BUFFER);
    const BufferTemplate<float>* dropOff = getActiveBufferAs<float>(DROP_OFF_BUFFER);
    const float* drop = dropOff->getBufferArray();
    const int bw = static_cast<int>(getBufferWidth());
    float* cells = footprintCells(size, f);
    for (int j = f.j0; j < f.j1; ++j) {
        float* row = cells + static_cast<std::size_t>(f.originY + j) * size->getWidth();
        const float* d = drop + static_cast<std::size_t>(j) * bw;
        for (int i = f.i0; i < f.i1; ++i) {
            if (d[i] <= kDropOffThreshold) continue;
            const float v = d[i] * strength + row[f.originX + i];
            if (v > 4.0f) row[f.originX + i] = v;
        }
    }
}

void ToolBrushLeafGL::paintColor(float x, float y)
{
    BufferTemplate<unsigned char>* color = byteBuffer(COLOR_BUFFER);
    const BufferTemplate<float>* dropOff = getActiveBufferAs<float>(DROP_OFF_BUFFER);
    if (!color || !dropOff) return;
    const Footprint f = footprintAt(x, y, color->getWidth(), color->getHeight());
    if (f.empty()) return;
    const DropOffRuns& r = dropOffRuns(*dropOff);
    const float paint[3] = {toolCell(3, 1), toolCell(3, 2), toolCell(3, 3)};
    preparePaint(paint);
    // Row by row over the span of written cells. In the focus (drop-off 1) the blend gives the
    // clamped paint, which is copied; the blocks of the blend on either side may reach into the
    // focus, where blending again changes nothing.
    constexpr std::size_t kBlock = 32;
    unsigned char* data = nullptr;
    for (int j = f.j0; j < f.j1; ++j) {
        const DropOffRuns::Row& row = r.row(j);
        const int a = std::max(row.first, f.i0);
        const int b = std::min(row.last, f.i1);
        if (a >= b) continue;
        if (!data) data = footprintCells(color, f);
        // Byte `from` of the brush row (counted from its cell 0) in the canvas row; only bytes of
        // cells inside the canvas are asked for.
        unsigned char* canvasRow =
            data + static_cast<std::size_t>(f.originY + j) * color->getWidth() * 3;
        auto at = [&](std::size_t from) {
            return canvasRow + (static_cast<std::ptrdiff_t>(f.originX) * 3 +
                                static_cast<std::ptrdiff_t>(from));
        };
        // The blend of bytes [from, to) of the row (at least its first cell's).
        auto blend = [&](std::size_t from, std::size_t to) {
            const std::size_t k = row.offset + from - static_cast<std::size_t>(row.first) * 3;
            DropOffRuns::blendBytes(at(from), r.keep().data() + k, weightedPaint.data() + k,
                                    to - from);
        };
        const std::size_t begin = static_cast<std::size_t>(a) * 3;
        const std::size_t end = static_cast<std::size_t>(b) * 3;
        const std::size_t fullBegin = static_cast<std::size_t>(std::clamp(row.fullBegin, a, b)) * 3;
        const std::size_t fullEnd = static_cast<std::size_t>(std::clamp(row.fullEnd, a, b)) * 3;
        if (fullEnd < fullBegin + 2 * kBlock) {
            // On over the untouched cells after the span to a whole number of 16-byte blocks,
            // where the canvas and the span's values reach that far.
            const std::size_t whole = begin + (end - begin + 15) / 16 * 16;
            const std::size_t limit = static_cast<std::size_t>(std::min(row.padded, f.i1)) * 3;
            blend(begin, whole <= limit ? whole : end);
            continue;
        }
        const std::size_t left = begin + (fullBegin - begin + kBlock - 1) / kBlock * kBlock;
        const std::size_t right = end - (end - fullEnd + kBlock - 1) / kBlock * kBlock;
        blend(begin, left);
        std::memcpy(at(left), paintRow.data() + left % 3, right - left);
        blend(right, end);
    }
    if (colorWritten) return;
    colorWritten = true;
    const int bw = static_cast<int>(getBufferWidth());
    const float* drop = dropOff->getBufferArray();
    // Points and tiles take the colour at once through the temporary colour and drop-off.
    if (BufferTemplate<unsigned char>* tmp = byteBuffer(TEMPORARY_COLOR_BUFFER)) {
        const Footprint t = footprintAt(x, y, tmp->getWidth(), tmp->getHeight());
        unsigned char* cells = nullptr;
        const unsigned int channels = tmp->getChannelNumber();
        for (int j = t.j0; j < t.j1; ++j) {
            for (const DropOffRuns::Run* run = r.rowBegin(j); run != r.rowEnd(j); ++run) {
                const int a = std::max(run->i0, t.i0);
                const int b = std::min(run->i1, t.i1);
                if (a >= b) continue;
                if (!cells) cells = footprintCells(tmp, t);
                unsigned char* row =
                    cells + static_cast<std::size_t>(t.originY + j) * tmp->getWidth() * channels;
                for (int i = a; i < b; ++i)
                    std::memcpy(row + static_cast<std::size_t>(t.originX + i) * channels,
                                paintRow.data(), 3);
            }
        }
        temporaryColorWritten = rectOf(t);
    }
    if (BufferTemplate<float>* canvasDrop = floatBuffer(DROP_OFF_BUFFER)) {
        const Footprint t = footprintAt(x, y, canvasDrop->getWidth(), canvasDrop->getHeight());
        float* cells = t.empty() ? nullptr : footprintCells(canvasDrop, t);
        for (int j = t.j0; j < t.j1; ++j) {
            float* row = cells + static_cast<std::size_t>(t.originY + j) * canvasDrop->getWidth();
            const float* d = drop + static_cast<std::size_t>(j) * bw;
            std::copy(d + t.i0, d + t.i1, row + t.originX + t.i0);
        }
        dropOffWritten = rectOf(t);
    }
}

const DropOffRuns& ToolBrushLeafGL::dropOffRuns(const BufferTemplate<float>& dropOff)
{
    if (runsValid && runsSource == &dropOff && runsVersion == dropOff.getVersion()) return runs;
    const int bw = static_cast<int>(getBufferWidth());
    const int bh = static_cast<int>(getBufferHeight());
    runs.build(dropOff.getBufferArray(), bw, bh, kDropOffThreshold);
    runsValid = true;
    runsSource = &dropOff;
    runsVersion = dropOff.getVersion();
    orientationFields[0].clear();
    orientationFields[1].clear();
    weightedPaintValid = false;
    return runs;
}

void ToolBrushLeafGL::preparePaint(const float* paint)
{
    if (weightedPaintValid && std::equal(paint, paint + 3, weightedPaintFor)) return;
    const std::vector<float>& w = runs.weights();
    weightedPaint.resize(w.size());
    // Cells inside a row's span that are not written keep exactly 0 here.
    for (std::size_t q = 0; q < w.size(); ++q)
        weightedPaint[q] = w[q] > 0.0f ? paint[q % 3] * w[q] : 0.0f;
    paintRow.resize(static_cast<std::size_t>(runs.getWidth()) * 3);
    for (std::size_t q = 0; q < paintRow.size(); ++q)
        paintRow[q] = static_cast<unsigned char>(std::clamp(paint[q % 3], 0.0f, 255.0f));
    std::copy(paint, paint + 3, weightedPaintFor);
    weightedPaintValid = true;
}

const std::vector<float>& ToolBrushLeafGL::orientationField(int subMode)
{
    std::vector<float>& field = orientationFields[subMode];
    const int bw = runs.getWidth();
    const int bh = runs.getHeight();
    if (!field.empty()) return field;
    field.assign(static_cast<std::size_t>(bw) * bh * 2, 0.0f);
    const float du = 2.0f / bw;
    const float dv = 2.0f / bh;
    for (int j = 0; j < bh; ++j) {
        const float v = -1.0f + j * dv;
        for (int i = 0; i < bw; ++i) {
            const float u = -1.0f + i * du;
            float* o = field.data() + (static_cast<std::size_t>(j) * bw + i) * 2;
            if (subMode == 0) {
                o[0] = u;
                o[1] = v;
                normalise(o[0], o[1]);
            } else {
                const float m = v == 0.0f ? 0.0f : -u / v;
                const float s = 1.0f / std::sqrt(m * m + 1.0f);
                o[0] = s;
                o[1] = m * s;
                if (v > 0.0f) {
                    o[0] = -o[0];
                    o[1] = -o[1];
                }
            }
        }
    }
    return field;
}

const std::vector<float>& ToolBrushLeafGL::randomOrientations()
{
    // The random brush steps through the table by three: position p of this sequence is entry
    // 3p mod kRandomCount, so a start entry s is position s x 683 (3 x 683 = 1 mod 1024).
    static_assert(kRandomCount == 1024, "the inverse of 3 below is modulo 1024");
    if (randomPairs.empty()) {
        randomPairs.assign(2 * kRandomCount, 0.0f);
        for (int p = 0; p < kRandomCount; ++p) {
            const float t = randomTable[(3 * p) & (kRandomCount - 1)];
            randomPairs[2 * p + 1] = t > 0.0f ? 1.0f : (t < 0.0f ? -1.0f : 0.0f);
        }
    }
    return randomPairs;
}

void ToolBrushLeafGL::writeErase(float strength)
{
    BufferTemplate<float>* erase = floatBuffer(ERASE_BUFFER);
    const BufferTemplate<float>* profile = getActiveBufferAs<float>(LENS_OUTPUT_BUFFER);
    if (!erase || !profile) return;
    const Footprint f =
        footprintAt(bufferPosition[0], bufferPosition[1], erase->getWidth(), erase->getHeight());
    if (f.empty()) return;
    const int bw = static_cast<int>(getBufferWidth());
    float* cells = footprintCells(erase, f);
    for (int j = f.j0; j < f.j1; ++j) {
        float* row = cells + static_cast<std::size_t>(f.originY + j) * erase->getWidth();
        const float* p = profile->getBufferArray() + static_cast<std::size_t>(j) * bw;
        for (int i = f.i0; i < f.i1; ++i) row[f.originX + i] = -p[i] * strength;
    }
    eraseWritten = rectOf(f);
}

int ToolBrushLeafGL::createCount(float d, float s)
{
    if (s == 1.0f) return 1;
    const long n = std::lround(d * kPi * d * s * 0.00001);
    return static_cast<int>(std::clamp(n, 1L, static_cast<long>(kOffsetCount)));
}

void ToolBrushLeafGL::createPrimitives(float strength)
{
    lastCreatedCount = 0;
    if (!canvas || !getController()) return;
    createPrimitivesAround(createCount(toolCell(0, 2), strength));
}

int ToolBrushLeafGL::createPrimitivesAround(int n)
{
    lastCreatedCount = 0;
    if (!canvas || !getController()) return 0;
    const int start = static_cast<int>(std::lround(random01() * 256.0f));
    const double screenWidth = getController()->getScreenWidth();
    const double screenHeight = getController()->getScreenHeight();
    for (int k = 0; k < n; ++k) {
        float bx = bufferPosition[0];
        float by = bufferPosition[1];
        if (n > 1) {
            // Wraps instead of running past the table for very large counts.
            const int index = (start + k) & (kOffsetCount - 1);
            bx += xOffsets[index];
            by += yOffsets[index];
        }
        double x = 0.0, y = 0.0;
        parent->getGlobalCoordinates((bx - 1.0) * parent->getXScale(),
                                     (by - 1.0) * parent->getYScale(), parent->getWidth(),
                                     parent->getHeight(), &x, &y);
        if (!(x > 0.0 && x < screenWidth && y > 0.0 && y < screenHeight)) continue;
        if (createPrimitiveAt(x, y, -1)) ++lastCreatedCount;
    }
    return lastCreatedCount;
}

VisComponent* ToolBrushLeafGL::createPrimitiveAt(double x, double y, int kind)
{
    if (!canvas || !getController()) return nullptr;
    PrimitiveRequest request;
    request.x = x;
    request.y = y;
    request.kind = kind >= 0 ? kind : static_cast<int>(std::lround(toolCell(4, 2)));
    request.rotation = tavlor::rand15() * 360.0 / 32767.0;
    request.layer = static_cast<int>(std::lround(toolCell(0, 3)));
    if (request.kind == 0) {
        const int group = static_cast<int>(std::lround(toolCell(4, 4)));
        if (group >= 0 && group < 61)
            request.textureIndex =
                static_cast<unsigned int>(group * 9 + std::lround(random01() * 8.0f + 1.0f));
        else
            request.textureIndex = 1;
    }
    VisComponent* p = makePrimitive(request);
    if (p && p->getParent() != canvas) canvas->addChild(p);
    return p;
}

VisComponent* ToolBrushLeafGL::makePrimitive(const PrimitiveRequest& r)
{
    if (primitiveFactory) return primitiveFactory(r);
    auto* vis = dynamic_cast<TabletopVisGL*>(getController());
    if (!vis) return nullptr;
    VisComponent* p = nullptr;
    switch (r.kind) {
    case 0:
        p = new StrokeLeafGL(vis, r.x, r.y, 64.0, 64.0, r.rotation, r.layer, r.textureIndex);
        break;
    case 1:
        p = new TileLeafGL(vis, r.x, r.y, 32.0, 32.0, r.rotation, r.layer, false);
        break;
    case 2:
        p = new PointLeafGL(vis, r.x, r.y, 32.0, 32.0, r.rotation, r.layer);
        break;
    default:
        return nullptr;
    }
    vis->addComponent(p, false);
    return p;
}

void ToolBrushLeafGL::paintMovement(const Footprint& f, int subMode, float dx, float dy)
{
    if (f.empty()) return;
    BufferTemplate<float>* movement = floatBuffer(DIRECTION_BUFFER);
    const int bw = static_cast<int>(getBufferWidth());
    if (subMode >= 0 && subMode <= 2) {
        static constexpr BUFFERTAG fields[3] = {BRUSH_MOVE_BUFFER_1, BRUSH_MOVE_BUFFER_2,
                                                BRUSH_MOVE_BUFFER_3};
        const BufferTemplate<float>* field = getActiveBufferAs<float>(fields[subMode]);
        if (!field) return;
        float* cells = footprintCells(movement, f);
        for (int j = f.j0; j < f.j1; ++j) {
            float* row = cells + static_cast<std::size_t>(f.originY + j) * movement->getWidth() * 2;
            const float* v = field->getBufferArray() + static_cast<std::size_t>(j) * bw * 2;
            std::copy(v + 2 * f.i0, v + 2 * f.i1, row + 2 * (f.originX + f.i0));
        }
    } else if (subMode == 3 || subMode == 4) {
        const BufferTemplate<float>* dropOff = getActiveBufferAs<float>(DROP_OFF_BUFFER);
        const float* drop = dropOff->getBufferArray();
        float* cells = footprintCells(movement, f);
        for (int j = f.j0; j < f.j1; ++j) {
            float* row = cells + static_cast<std::size_t>(f.originY + j) * movement->getWidth() * 2;
            const float* d = drop + static_cast<std::size_t>(j) * bw;
            for (int i = f.i0; i < f.i1; ++i) {
                if (d[i] <= kDropOffThreshold) continue;
                float v[2] = {dx * d[i], dy * d[i]};
                normalise(v[0], v[1]);
                row[2 * (f.originX + i)] = v[0];
                row[2 * (f.originX + i) + 1] = v[1];
            }
        }
    } else {
        return;
    }
    movementWritten = rectOf(f);
}

void ToolBrushLeafGL::paintOrientation(int x, int y, int previousX, int previousY, int subMode,
                                       bool)
{
    BufferTemplate<float>* orientation = floatBuffer(TEMPORARY_ORIENTATION_BUFFER);
    if (!orientation) {
        std::cout << "parentOrientationBuffer does not exist!" << std::endl;
        return;
    }
    const BufferTemplate<float>* dropOff = getActiveBufferAs<float>(DROP_OFF_BUFFER);
    if (!dropOff) return;
    const float mx = static_cast<float>(x - previousX);
    const float my = static_cast<float>(y - previousY);
    if (subMode == 3 && std::fabs(mx) <= 10.0f && std::fabs(my) <= 10.0f) return;

    const Footprint f = footprintAt(static_cast<float>(x), static_cast<float>(y),
                                    orientation->getWidth(), orientation->getHeight());
    if (f.empty()) return;
    const int bw = static_cast<int>(getBufferWidth());
    const int randomStart = static_cast<int>(std::lround(random01() * 256.0f));
    float follow[2] = {mx, my};
    normalise(follow[0], follow[1]);
    BufferTemplate<int>* speedBuffer = subMode == 3 ? speed() : nullptr;
    const int speedValue =
        std::min(14, static_cast<int>(std::sqrt(mx * mx + my * my)));
    const DropOffRuns& r = dropOffRuns(*dropOff);
    const float* field = nullptr;
    if (subMode == 0 || subMode == 1) field = orientationField(subMode).data();
    const float* random = subMode == 2 ? randomOrientations().data() : nullptr;
    int position = (randomStart * 683) & (kRandomCount - 1);

    const unsigned int channels = orientation->getChannelNumber();
    float* cells = nullptr;
    int* speeds = nullptr;
    // Two floats for each cell of [a, b) in row y of the canvas buffer.
    auto write = [&](int y, int a, const float* pairs, int count) {
        float* dst = cells + (static_cast<std::size_t>(y) * orientation->getWidth() + a) * channels;
        if (channels == 2) {
            std::memcpy(dst, pairs, sizeof(float) * 2 * static_cast<std::size_t>(count));
            return;
        }
        for (int k = 0; k < count; ++k) {
            dst[k * channels] = pairs[2 * k];
            dst[k * channels + 1] = pairs[2 * k + 1];
        }
    };
    std::vector<float> followPairs;
    if (subMode == 3) {
        followPairs.resize(static_cast<std::size_t>(bw) * 2);
        for (int i = 0; i < bw; ++i) {
            followPairs[2 * i] = follow[0];
            followPairs[2 * i + 1] = follow[1];
        }
    }
    if (subMode >= 0 && subMode <= 3) {
        for (int j = f.j0; j < f.j1; ++j) {
            const int y = f.originY + j;
            for (const DropOffRuns::Run* run = r.rowBegin(j); run != r.rowEnd(j); ++run) {
                const int a = std::max(run->i0, f.i0);
                const int b = std::min(run->i1, f.i1);
                if (a >= b) continue;
                if (!cells) cells = footprintCells(orientation, f);
                const int x = f.originX + a;
                switch (subMode) {
                case 0:
                case 1:
                    write(y, x, field + (static_cast<std::size_t>(j) * bw + a) * 2, b - a);
                    break;
                case 2:
                    // In pieces where the sequence wraps round the table.
                    for (int done = 0; done < b - a;) {
                        const int count = std::min(b - a - done, kRandomCount - position);
                        write(y, x + done, random + 2 * position, count);
                        done += count;
                        position = (position + count) & (kRandomCount - 1);
                    }
                    break;
                default: {
                    write(y, x, followPairs.data(), b - a);
                    if (!speedBuffer || static_cast<unsigned int>(y) >= speedBuffer->getHeight())
                        break;
                    const int end = std::min(f.originX + b, static_cast<int>(speedBuffer->getWidth()));
                    if (x >= end) break;
                    if (!speeds) speeds = footprintCells(speedBuffer, f);
                    int* row = speeds + static_cast<std::size_t>(y) * speedBuffer->getWidth();
                    std::fill(row + x, row + end, speedValue);
                    break;
                }
                }
            }
        }
    }
    temporaryOrientationWritten = rectOf(f);
    if (subMode == 3) {
        followAnchor[0] = static_cast<float>(x);
        followAnchor[1] = static_cast<float>(y);
    }
}

void ToolBrushLeafGL::paintSizeDifference(int x, int y, float amount, bool)
{
    BufferTemplate<float>* diff = floatBuffer(SIZE_DIFFERENCE_BUFFER);
    if (!diff) {
        std::cout << "parentSizeDiffBuffer does not exist!" << std::endl;
        return;
    }
    const BufferTemplate<float>* dropOff = getActiveBufferAs<float>(DROP_OFF_BUFFER);
    if (!dropOff) return;
    const Footprint f = footprintAt(static_cast<float>(x), static_cast<float>(y),
                                    diff->getWidth(), diff->getHeight());
    if (f.empty()) return;
    const int bw = static_cast<int>(getBufferWidth());
    float* cells = footprintCells(diff, f);
    for (int j = f.j0; j < f.j1; ++j) {
        float* row = cells + static_cast<std::size_t>(f.originY + j) * diff->getWidth();
        const float* d = dropOff->getBufferArray() + static_cast<std::size_t>(j) * bw;
        for (int i = f.i0; i < f.i1; ++i)
            if (d[i] > kDropOffThreshold) row[f.originX + i] = d[i] * amount;
    }
    sizeDifferenceWritten = rectOf(f);
}

void ToolBrushLeafGL::stampAt(float strength, int x, int y, bool)
{
    strokeChanged = true;
    const float d = floatBuffer(TOOL_STATE_BUFFER) ? toolCell(0, 2) : diameter;
    setToolCell(4, 1, static_cast<float>(d * d * kPi * strength * 0.00001));
    moveToPosition(x, y);
    writeErase(strength);
}

// ---------------------------------------------------------------------------------------------
// Visibility and icons

void ToolBrushLeafGL::setActive(bool on)
{
    if (on)
        activate();
    else
        deactivate();
}
bool ToolBrushLeafGL::isActive() { return VisComponentGL::isActive(); }

void ToolBrushLeafGL::show()
{
    visible = true;
    activateForRendering();
    if (TabletopVis* vis = getController()) vis->moveComponentToRenderFront(this);
}

void ToolBrushLeafGL::hide()
{
    visible = false;
    deactivateForRendering();
}

bool ToolBrushLeafGL::isShown() { return isActiveForRendering(); }
void ToolBrushLeafGL::showOutline() { outlineShown = true; }
void ToolBrushLeafGL::hideOutline() { outlineShown = false; }
bool ToolBrushLeafGL::isOutlineShown() { return outlineShown; }
void ToolBrushLeafGL::setIconAlpha(float alpha) { iconAlpha = alpha; }
void ToolBrushLeafGL::resetIconAlpha() { iconAlpha = 1.0; }
void ToolBrushLeafGL::setIconMode(int mode) { iconMode = mode; }

int ToolBrushLeafGL::iconSlotForMode(int mode)
{
    switch (mode) {
    case 1: return 1;
    case 3: return 8;
    case 4: return 9;
    case 5: return 7;
    case 6: return 5;
    case 7: return 4;
    case 8: return 6;
    case 9: return 2;
    case 10: return 3;
    case 12: return 10;
    case 13: return 11;
    default: return 0;
    }
}

void ToolBrushLeafGL::buildOutline()
{
    const float d = diameter;
    for (int k = 0; k < kOffsetCount;) {
        const float x = random01() * d - d / 2.0f;
        const float y = random01() * d - d / 2.0f;
        if (x * x + y * y < (d / 2.0f) * (d / 2.0f)) {
            xOffsets[k] = x;
            yOffsets[k] = y;
            ++k;
        }
    }
    outlineDirty = true;
}

void ToolBrushLeafGL::compileOutline()
{
    if (outlineList == 0) outlineList = glGenLists(2);
    if (outlineList == 0) return;
    footprintList = outlineList + 1;
    const double outer = outlineDiameter / 2.0;
    const double inner = std::max(0.0, outer - 12.0);
    glNewList(outlineList, GL_COMPILE);
    glBegin(GL_QUAD_STRIP);
    for (int a = 0; a <= 360; a += 5) {
        const double r = a * kPi / 180.0;
        glVertex2d(inner * std::cos(r), inner * std::sin(r));
        glVertex2d(outer * std::cos(r), outer * std::sin(r));
    }
    glEnd();
    glEndList();
    // The footprint: a faint disc of the brush diameter.
    glNewList(footprintList, GL_COMPILE);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2d(0.0, 0.0);
    for (int a = 0; a <= 360; a += 5) {
        const double r = a * kPi / 180.0;
        glVertex2d(outer * std::cos(r), outer * std::sin(r));
    }
    glEnd();
    glEndList();
    outlineDirty = false;
}

void ToolBrushLeafGL::buildIconList()
{
    if (iconListsBuilt) return;
    const GLuint base = glGenLists(12);
    if (base == 0) return;
    const float w = iconHeight;
    const float h = iconHeight;
    for (int k = 0; k < 12; ++k) {
        iconLists[k] = base + k;
        glNewList(iconLists[k], GL_COMPILE);
        if (iconTexture != 0) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, iconTexture);
        }
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(-w, -h);
        glTexCoord2f(1, 0);
        glVertex2f(w, -h);
        glTexCoord2f(1, 1);
        glVertex2f(w, h);
        glTexCoord2f(0, 1);
        glVertex2f(-w, h);
        glEnd();
        glEndList();
    }
    iconListsBuilt = true;
}

void ToolBrushLeafGL::renderIcon()
{
    buildIconList();
    if (!iconListsBuilt) return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4d(1.0, 1.0, 1.0, iconAlpha);
    glCallList(iconLists[iconSlotForMode(iconMode)]);
    glPopAttrib();
}

void ToolBrushLeafGL::renderIconPass() { renderIcon(); }

void ToolBrushLeafGL::specificRender()
{
    if (outlineDirty || outlineList == 0) compileOutline();
    glPushMatrix();
    doCommonTransformations();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (footprintList != 0) {
        glColor4f(outlineColor[0] / 256.0f, outlineColor[1] / 256.0f, outlineColor[2] / 256.0f,
                  0.15f);
        glCallList(footprintList);
    }
    if (outlineShown && outlineList != 0) {
        glColor4f(outlineColor[0] / 256.0f, outlineColor[1] / 256.0f, outlineColor[2] / 256.0f,
                  1.0f);
        glCallList(outlineList);
    }
    glPopAttrib();
    if (markerList != 0) glCallList(markerList);
    renderIcon();
    glPopMatrix();
}
