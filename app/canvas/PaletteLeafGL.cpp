#include "canvas/PaletteLeafGL.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/PaletteLayout.h"
#include "canvas/ToolBrushLeafGL.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace palette;

namespace {

// The button texture keys of the tool regions: normal, active.
struct ButtonTextures {
    unsigned int region;
    const char* normal;
    const char* active;
};

const ButtonTextures kButtons[] = {
    {kMove, "texture_direction_follow", "texture_direction_follow_active"},
    {kOrientation, "texture_orientation", "texture_orientation_active"},
    {kSize, "texture_size", "texture_size_active"},
    {kCreateErase, "texture_create_erase", "texture_create_erase_active"},
    {kDiameter, "texture_diameter", "texture_diameter_active"},
    {kRecording, "texture_stroke_mode", "texture_stroke_mode_active"},
    {kLayer, "texture_layer", "texture_layer_active"},
    {kEmptyCanvas, "texture_empty_canvas", "texture_empty_canvas_active"},
    {kSave, "texture_save", "texture_save_active"},
    {kStrokeStyle, "texture_primitive_stroke", "texture_primitive_type"},
    {kClearMixing, "texture_clear_mixing_area", "texture_clear_mixing_area_active"},
};

// Which brush kind each tool button stands for.
float kindOfRegion(unsigned int region)
{
    switch (region) {
    case kMove: return 5.0f;
    case kOrientation: return 2.0f;
    case kSize: return 1.0f;
    case kCreateErase: return 4.0f;
    default: return -1.0f;
    }
}

// The move and orientation buttons show their current variant.
const char* moveTexture(float subMode, bool active)
{
    switch (static_cast<int>(std::lround(subMode))) {
    case 0: return active ? "texture_attraction_active" : "texture_attraction";
    case 1: return active ? "texture_repulsion_active" : "texture_repulsion";
    case 2: return active ? "texture_random_active" : "texture_random";
    default: return active ? "texture_direction_follow_active" : "texture_direction_follow";
    }
}

const char* orientationTexture(float subMode, bool active)
{
    switch (static_cast<int>(std::lround(subMode))) {
    case 0: return active ? "texture_gravitate_active" : "texture_gravitate";
    case 1: return active ? "texture_orbit_active" : "texture_orbit";
    case 2: return active ? "texture_direction_random_active" : "texture_direction_random";
    default: return active ? "texture_orientation_active" : "texture_orientation";
    }
}

} // namespace

PaletteLeafGL::PaletteLeafGL(TabletopVisGL* vis, double width, double height, double x, double y,
                             double z, float opacity)
    : BoundedContainerGL(vis, width, height, true, false, x, y, z, 4, 2, false, false),
      panelOpacity(opacity)
{
    // The outline fitting of the container changed the size: the palette keeps the one asked for.
    setSize(width, height);
    paletteState.setSize(width, height);
    initializePassiveBuffers();
    recreateActiveBuffers();
}

PaletteLeafGL::~PaletteLeafGL()
{
    if (mixingTexture) glDeleteTextures(1, &mixingTexture);
}

void PaletteLeafGL::initialize() { BoundedContainerGL::initialize(); }

void PaletteLeafGL::interactiveResizeCenter(double, double) {}

bool PaletteLeafGL::checkPositionForRNT(double x, double y)
{
    return BoundedContainerGL::checkPositionForRNT(x, y);
}

void PaletteLeafGL::setTexture(const std::string& key, unsigned int texture)
{
    textures[key] = texture;
}

unsigned int PaletteLeafGL::getTexture(const std::string& key) const
{
    const auto it = textures.find(key);
    return it == textures.end() ? kNoTexture : it->second;
}

CanvasCompositeGL* PaletteLeafGL::canvas() const
{
    return dynamic_cast<CanvasCompositeGL*>(getParent());
}

void PaletteLeafGL::setPaintColor(const Color& c) { paletteState.setPaintColor(c); }

// ---------------------------------------------------------------------------------------------
// Buffers

void PaletteLeafGL::createActiveBuffers()
{
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    auto* regions = new BufferTemplate<unsigned int>(1, 0);
    regions->setSizeAndAllocateMemory(w, h);
    auto* mixing = new BufferTemplate<unsigned char>(3, 0);
    mixing->setSizeAndAllocateMemory(w, h);
    setActiveBuffer(LOCAL_HIT_BUFFER, regions);
    setActiveBuffer(COLOR_BUFFER, mixing);
    paletteState.setBuffers(regions, mixing);
}

void PaletteLeafGL::initializePassiveBuffers()
{
    for (BUFFERTAG tag : {SPEED_BUFFER, ABSOLUTE_SIZE_BUFFER, DIRECTION_BUFFER, ORIENTATION_BUFFER,
                          TEMPORARY_COLOR_BUFFER, ERASE_BUFFER, TOOL_STATE_BUFFER})
        setPassiveBuffer(tag, nullptr);
}

void PaletteLeafGL::renderInActiveBuffers()
{
    auto* regions = getActiveBufferAs<unsigned int>(LOCAL_HIT_BUFFER);
    auto* mixing = getActiveBufferAs<unsigned char>(COLOR_BUFFER);
    paletteState.setBuffers(regions, mixing);
    paletteState.setSize(getRealWidth(), getRealHeight());
    if (regions) fillRegionMap(*regions, getRealWidth(), getRealHeight());
    paletteState.resetMixingArea();
}

void PaletteLeafGL::renderIntoBuffers()
{
    if (canvas()) paletteState.publish();
}

// ---------------------------------------------------------------------------------------------
// Touch

void PaletteLeafGL::tableToCell(double x, double y, int* cx, int* cy) const
{
    double lx = 0.0, ly = 0.0;
    getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
    *cx = static_cast<int>(std::floor(lx / getXScale() + 1.5));
    *cy = static_cast<int>(std::floor(ly / getYScale() + 1.5));
}

void PaletteLeafGL::fractionToTable(double u, double v, double* x, double* y) const
{
    getGlobalCoordinates(u * getWidth(), v * getHeight(), getWidth(), getHeight(), x, y);
}

unsigned int PaletteLeafGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                           unsigned int)
{
    int cx = 0, cy = 0;
    tableToCell(x, y, &cx, &cy);
    const bool first = !paletteState.isTouching();
    const unsigned int region = paletteState.touch(cx, cy);
    if (region == kGrip || region == kPanel) {
        if (first && region == kGrip) resetLastSelectedTicks();
        return kPanel;
    }
    if (region == kSize || region == kCreateErase || region == kOutside) return kButtonHandled;
    return region;
}

unsigned int PaletteLeafGL::releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                               unsigned int)
{
    int cx = 0, cy = 0;
    tableToCell(x, y, &cx, &cy);
    const unsigned int region = paletteState.release(cx, cy);
    // Recreated buffers hold an empty mixing area.
    if (paletteState.takeClearRequest()) recreateActiveBuffers();
    return region;
}

// ---------------------------------------------------------------------------------------------
// The canvas side

float PaletteLeafGL::Host::toolCell(unsigned int column, unsigned int row) const
{
    const CanvasCompositeGL* c = owner.canvas();
    return c ? c->getToolState(column, row) : 0.0f;
}

void PaletteLeafGL::Host::setToolCell(unsigned int column, unsigned int row, float value)
{
    if (CanvasCompositeGL* c = owner.canvas()) c->setToolState(column, row, value);
}

void PaletteLeafGL::Host::chooseTool(float kind, float strength)
{
    if (CanvasCompositeGL* c = owner.canvas()) c->setPaletteTool(kind, strength);
}

void PaletteLeafGL::Host::setBrushDiameter(float diameter)
{
    CanvasCompositeGL* c = owner.canvas();
    if (!c) return;
    if (ToolBrushLeafGL* brush = c->getToolBrush(0))
        brush->setDiameter(diameter, false);
    else
        c->setToolState(0, 2, diameter);
}

void PaletteLeafGL::Host::setTouchRecording(bool on)
{
    if (CanvasCompositeGL* c = owner.canvas()) c->setRecordTouchPosition(on);
}

void PaletteLeafGL::Host::emptyCanvas()
{
    if (CanvasCompositeGL* c = owner.canvas()) c->emptyCanvas();
}

void PaletteLeafGL::Host::showBrush()
{
    CanvasCompositeGL* c = owner.canvas();
    ToolBrushLeafGL* brush = c ? c->getToolBrush(0) : nullptr;
    if (brush && !brush->isShown()) brush->show();
}

void PaletteLeafGL::Host::hideBrush()
{
    CanvasCompositeGL* c = owner.canvas();
    ToolBrushLeafGL* brush = c ? c->getToolBrush(0) : nullptr;
    if (brush && brush->isShown()) brush->hide();
}

// ---------------------------------------------------------------------------------------------
// Keeping clear of the brush

void PaletteLeafGL::animateMyself(double) { keepClearOfBrush(); }

void PaletteLeafGL::keepClearOfBrush()
{
    CanvasCompositeGL* c = canvas();
    if (!c || !c->isPainting() || !c->getToolStateGrid()) return;
    // The brush's centre: the recorded touch (canvas cells) in table pixels.
    double bx = 0.0, by = 0.0;
    c->getGlobalCoordinates(c->getToolState(6, 0) - 1.5, c->getToolState(6, 1) - 1.5,
                            c->getWidth(), c->getHeight(), &bx, &by);
    const double radius = 0.5 * c->getToolState(0, 2);
    double dx = getXPos() - bx;
    double dy = getYPos() - by;
    const double clear = getHalfWidth() + radius;
    if (std::hypot(dx, dy) >= clear) return;
    if (std::hypot(dx, dy) < 1e-6) dx = 1.0;
    // Straight away from the brush; where the screen's edge is in the way, the nearest other
    // direction that keeps the palette on the screen.
    const double away = std::atan2(dy, dx);
    double nx = bx + std::cos(away) * clear;
    double ny = by + std::sin(away) * clear;
    if (const TabletopVis* vis = getController()) {
        const double sw = vis->getScreenWidth(), sh = vis->getScreenHeight();
        const double hw = getHalfWidth(), hh = getHalfHeight();
        const auto inside = [&](double x, double y) {
            return x >= hw && x <= sw - hw && y >= hh && y <= sh - hh;
        };
        bool found = inside(nx, ny);
        for (int step = 1; step <= 12 && !found; ++step) {
            for (int side : {1, -1}) {
                const double a = away + side * step * M_PI / 12.0;
                const double x = bx + std::cos(a) * clear, y = by + std::sin(a) * clear;
                if (inside(x, y)) {
                    nx = x;
                    ny = y;
                    found = true;
                    break;
                }
            }
        }
        nx = std::clamp(nx, hw, std::max(hw, sw - hw));
        ny = std::clamp(ny, hh, std::max(hh, sh - hh));
    }
    VisComponent::moveBy(nx - getXPos(), ny - getYPos(), false);
}

// ---------------------------------------------------------------------------------------------
// Showing

void PaletteLeafGL::show()
{
    activateForRendering();
    if (TabletopVis* vis = getController()) vis->moveComponentToRenderFront(this);
}

void PaletteLeafGL::hide() { deactivateForRendering(); }

// ---------------------------------------------------------------------------------------------
// Drawing (centred frame, pixels)

void PaletteLeafGL::toFrame(const Rect& r, double* x0, double* y0, double* x1, double* y1) const
{
    const double w = getRealWidth(), h = getRealHeight();
    *x0 = r.u0 * w - 0.5 * w;
    *y0 = r.v0 * h - 0.5 * h;
    *x1 = r.u1 * w - 0.5 * w;
    *y1 = r.v1 * h - 0.5 * h;
}

void PaletteLeafGL::drawTexturedRect(unsigned int texture, double x0, double y0, double x1,
                                     double y1, float alpha) const
{
    if (texture == kNoTexture || texture == 0) {
        glDisable(GL_TEXTURE_2D);
        glColor4f(0.85f, 0.82f, 0.75f, alpha);
        glRectd(x0, y0, x1, y1);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    // Images are stored top row first.
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2d(x0, y0);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2d(x1, y0);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2d(x1, y1);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2d(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void PaletteLeafGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT |
                 GL_TEXTURE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    drawPanel();
    drawMixingArea();
    drawRecentColours();
    drawButtons();
    ColorIndicatorGL::drawIndicator();
    glPopAttrib();
    glPopMatrix();
}

void PaletteLeafGL::specificRenderForPicking()
{
    glPushMatrix();
    doCommonTransformations();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glRectd(-0.5 * getRealWidth(), -0.5 * getRealHeight(), 0.5 * getRealWidth(),
            0.5 * getRealHeight());
    glPopMatrix();
}

void PaletteLeafGL::drawPanel()
{
    const double w = getRealWidth(), h = getRealHeight();
    drawTexturedRect(getTexture("texture_palette"), -0.5 * w, -0.5 * h, 0.5 * w, 0.5 * h,
                     panelOpacity);
    // The grip: a darker band along the top edge.
    double x0, y0, x1, y1;
    toFrame(rectOf(kGrip), &x0, &y0, &x1, &y1);
    glColor4f(0.25f, 0.18f, 0.1f, 0.6f * panelOpacity);
    glRectd(x0, y0 + 0.25 * (y1 - y0), x1, y1 - 0.25 * (y1 - y0));
}

void PaletteLeafGL::drawButtons()
{
    const PaletteState& s = paletteState;
    const CanvasCompositeGL* c = canvas();
    // The tool the canvas uses now, as the palette chose it.
    const float tool = c ? c->getPaletteTool() : -1.0f;
    for (const RegionRect& r : regions()) {
        double x0, y0, x1, y1;
        toFrame(r.rect, &x0, &y0, &x1, &y1);
        if (r.region >= kFirstSwatch && r.region <= kLastSwatch) {
            ColorSwatchGL::drawSwatch(s.colours()[r.region - kFirstSwatch], x0, y0, x1, y1);
            continue;
        }
        for (const ButtonTextures& b : kButtons) {
            if (b.region != r.region) continue;
            const bool active = s.heldRegion() == r.region ||
                                (kindOfRegion(r.region) >= 0.0f && kindOfRegion(r.region) == tool);
            const char* key = active ? b.active : b.normal;
            if (r.region == kMove && c) key = moveTexture(c->getToolState(5, 1), active);
            if (r.region == kOrientation && c)
                key = orientationTexture(c->getToolState(2, 1), active);
            // Round icons keep their shape: a square in the middle of the button.
            const double side = std::min(x1 - x0, y1 - y0);
            const double cx = 0.5 * (x0 + x1), cy = 0.5 * (y0 + y1);
            drawTexturedRect(getTexture(key), cx - 0.5 * side, cy - 0.5 * side, cx + 0.5 * side,
                             cy + 0.5 * side, 1.0f);
        }
    }
    // The indicator follows the marked colour: a swatch or a recent colour of the strip.
    const int k = s.indicatorIndex();
    if (k < 0) {
        ColorIndicatorGL::hideIndicator();
        return;
    }
    Rect where{};
    if (k < static_cast<int>(PaletteState::kPresetCount)) {
        where = rectOf(kFirstSwatch + static_cast<unsigned int>(k));
    } else {
        const unsigned int newest = static_cast<unsigned int>(s.colours().size()) - 1;
        const unsigned int slot = newest - static_cast<unsigned int>(k);
        if (slot >= kRecentSlots) {
            ColorIndicatorGL::hideIndicator();
            return;
        }
        where = recentSlot(slot);
    }
    double x0, y0, x1, y1;
    toFrame(where, &x0, &y0, &x1, &y1);
    moveIndicatorTo(s.colours()[static_cast<std::size_t>(k)], x0 - 3, y0 - 3, x1 + 3, y1 + 3);
}

void PaletteLeafGL::uploadMixingTexture()
{
    auto* mixing = getActiveBufferAs<unsigned char>(COLOR_BUFFER);
    if (!mixing) return;
    if (mixing == mixingSource && mixing->getVersion() == mixingVersion && mixingTexture) return;
    const unsigned int w = mixing->getWidth(), h = mixing->getHeight();
    std::vector<unsigned char> rgba(static_cast<std::size_t>(w) * h * 4);
    const unsigned char* src = static_cast<const BufferTemplate<unsigned char>*>(mixing)->getBufferArray();
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
        const unsigned char* v = src + 3 * i;
        const bool empty = v[0] == PaletteState::kEmpty || v[1] == PaletteState::kEmpty ||
                           v[2] == PaletteState::kEmpty;
        rgba[4 * i] = v[0];
        rgba[4 * i + 1] = v[1];
        rgba[4 * i + 2] = v[2];
        rgba[4 * i + 3] = empty ? 0 : 255;
    }
    if (!mixingTexture) glGenTextures(1, &mixingTexture);
    glBindTexture(GL_TEXTURE_2D, mixingTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    mixingSource = mixing;
    mixingVersion = mixing->getVersion();
}

void PaletteLeafGL::drawMixingArea()
{
    double x0, y0, x1, y1;
    toFrame(rectOf(kMixing), &x0, &y0, &x1, &y1);
    // A white dish, slightly shaded towards the top.
    ColorGradientGL::setColor(Color(250, 248, 240));
    drawGradient(Color(226, 222, 210), x0, y0, x1, y1, 0.95f);
    uploadMixingTexture();
    auto* mixing = getActiveBufferAs<unsigned char>(COLOR_BUFFER);
    if (!mixing || !mixingTexture) return;
    // The buffer covers the whole palette, cell i at local i - 1.5.
    const double w = getRealWidth(), h = getRealHeight();
    const double bw = mixing->getWidth(), bh = mixing->getHeight();
    const auto s = [&](double x) { return (x + 0.5 * w + 1.5) / bw; };
    const auto t = [&](double y) { return (y + 0.5 * h + 1.5) / bh; };
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mixingTexture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2d(s(x0), t(y0));
    glVertex2d(x0, y0);
    glTexCoord2d(s(x1), t(y0));
    glVertex2d(x1, y0);
    glTexCoord2d(s(x1), t(y1));
    glVertex2d(x1, y1);
    glTexCoord2d(s(x0), t(y1));
    glVertex2d(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.3f, 0.25f, 0.2f, 0.9f);
    glLineWidth(1.5f);
    glBegin(GL_LINE_LOOP);
    glVertex2d(x0, y0);
    glVertex2d(x1, y0);
    glVertex2d(x1, y1);
    glVertex2d(x0, y1);
    glEnd();
}

void PaletteLeafGL::drawRecentColours()
{
    // The chips are cells of the mixing area (drawn with it); empty slots get a faint frame.
    glColor4f(0.3f, 0.25f, 0.2f, 0.5f);
    glLineWidth(1.0f);
    for (unsigned int k = 0; k < kRecentSlots; ++k) {
        double x0, y0, x1, y1;
        toFrame(recentSlot(k), &x0, &y0, &x1, &y1);
        glBegin(GL_LINE_LOOP);
        glVertex2d(x0, y0);
        glVertex2d(x1, y0);
        glVertex2d(x1, y1);
        glVertex2d(x0, y1);
        glEnd();
    }
}
