#include "canvas/PaletteState.h"

#include "canvas/PaletteLayout.h"

#include <algorithm>
#include <cmath>

using namespace palette;

namespace {

// The paint colour a new palette starts with (the red swatch).
constexpr int kInitialSwatch = 3;

} // namespace

PaletteState::PaletteState(PaletteHost* h) : host(h)
{
    list.assign(Color::SWATCHES, Color::SWATCHES + kPresetCount);
    paint = list[kInitialSwatch];
    indicator = kInitialSwatch;
}

void PaletteState::setSize(double w, double h)
{
    width = std::max(1.0, w);
    height = std::max(1.0, h);
}

void PaletteState::setBuffers(BufferTemplate<unsigned int>* regionMap,
                              BufferTemplate<unsigned char>* mixingArea)
{
    regions = regionMap;
    mixing = mixingArea;
}

double PaletteState::dragThreshold() const
{
    const double half = 0.5 * buttonSize(width, height);
    return half * half;
}

unsigned int PaletteState::regionAt(int x, int y) const
{
    if (!regions || x < 0 || y < 0 || static_cast<unsigned int>(x) >= regions->getWidth() ||
        static_cast<unsigned int>(y) >= regions->getHeight())
        return kOutside;
    return regions->getValue(static_cast<unsigned int>(x), static_cast<unsigned int>(y));
}

bool PaletteState::isMixingCell(int x, int y) const
{
    if (regionAt(x, y) != kMixing) return false;
    const Rect strip = recentStrip();
    return !strip.contains((x - 1.0) / width, (y - 1.0) / height);
}

bool PaletteState::readMixing(int x, int y, Color* c) const
{
    if (!mixing || x < 0 || y < 0 || static_cast<unsigned int>(x) >= mixing->getWidth() ||
        static_cast<unsigned int>(y) >= mixing->getHeight())
        return false;
    unsigned char v[3];
    mixing->get3DValues(static_cast<unsigned int>(x), static_cast<unsigned int>(y), v);
    if (v[0] == kEmpty || v[1] == kEmpty || v[2] == kEmpty) return false;
    *c = Color(v[0], v[1], v[2]);
    return true;
}

void PaletteState::resetMixingArea()
{
    if (!mixing) return;
    unsigned char empty[3] = {kEmpty, kEmpty, kEmpty};
    mixing->fillEntireBufferWith3DValue(empty);
    drawRecentStrip();
}

void PaletteState::drawRecentStrip()
{
    if (!mixing) return;
    // The newest colours fill the strip from the left.
    const unsigned int recent = static_cast<unsigned int>(list.size()) - kPresetCount;
    for (unsigned int k = 0; k < kRecentSlots; ++k) {
        Color c(kEmpty, kEmpty, kEmpty);
        if (k < recent) c = list[list.size() - 1 - k].storable();
        const Rect r = recentSlot(k);
        const int i0 = static_cast<int>(std::ceil(r.u0 * width + 1.0));
        const int i1 = static_cast<int>(std::floor(r.u1 * width + 1.0));
        const int j0 = static_cast<int>(std::ceil(r.v0 * height + 1.0));
        const int j1 = static_cast<int>(std::floor(r.v1 * height + 1.0));
        unsigned char v[3] = {c.r, c.g, c.b};
        for (int j = std::max(0, j0); j < std::min(j1, int(mixing->getHeight())); ++j)
            for (int i = std::max(0, i0); i < std::min(i1, int(mixing->getWidth())); ++i)
                mixing->set3DValues(static_cast<unsigned int>(i), static_cast<unsigned int>(j), v);
    }
}

unsigned int PaletteState::touch(int x, int y)
{
    latest[0] = x;
    latest[1] = y;
    if (!touching) {
        touching = true;
        if (host) host->showBrush();
        held = regionAt(x, y);
        start[0] = x;
        start[1] = y;
        lastDab[0] = x;
        lastDab[1] = y;
        act(held, x, y);
        return held;
    }
    // Painting by hand: the finger carries its colour over the mixing area.
    if (held == kMixing && (x != lastDab[0] || y != lastDab[1])) {
        deposit(x, y);
        lastDab[0] = x;
        lastDab[1] = y;
    }
    return held;
}

void PaletteState::act(unsigned int region, int x, int y)
{
    switch (region) {
    case kMove:
        if (dragSelect) choose(5.0f, 0.0f);
        break;
    case kOrientation:
        if (dragSelect) choose(2.0f, 0.0f);
        break;
    case kSize:
        if (dragSelect) choose(1.0f, strengthSize);
        break;
    case kCreateErase:
        if (dragSelect)
            choose(4.0f, strengthCreate);
        else
            choose(tool == 4.0f ? kIdle : 4.0f, strengthCreate);
        break;
    case kDiameter:
        if (host) host->setToolCell(0, 1, 1.0f);
        break;
    case kLayer:
        if (host) {
            host->setToolCell(0, 5, 1.0f);
            dimmed = currentLayer;
        }
        break;
    case kClearMixing:
        clearRequest = false;
        break;
    case kMixing: {
        Color c;
        if (readMixing(x, y, &c)) {
            // The strip's chips and the mixed paint are both picked here.
            pickColour(c, -1);
            carried = c;
        } else {
            carried = paint;
        }
        break;
    }
    default:
        if (region >= kFirstSwatch && region <= kLastSwatch) {
            const int k = static_cast<int>(region - kFirstSwatch);
            paint = list[static_cast<std::size_t>(k)];
            indicator = k;
            if (host) {
                host->setToolCell(0, 1, 1.0f);
                host->setToolCell(0, 6, 1.0f);
            }
            choose(3.0f, 0.0f);
        }
        break;
    }
}

void PaletteState::choose(float kind, float strength)
{
    tool = kind;
    if (!host) return;
    host->setToolCell(0, 0, kind);
    if (kind == 1.0f || kind == 4.0f) host->setToolCell(4, 1, strength);
    host->chooseTool(kind, strength);
}

void PaletteState::pickColour(const Color& c, int)
{
    paint = c;
    if (host) {
        host->setToolCell(0, 1, 1.0f);
        host->setToolCell(0, 6, 1.0f);
    }
    choose(3.0f, 0.0f);
    rememberRecent(c);
}

void PaletteState::rememberRecent(const Color& c)
{
    // A colour already listed moves to the end; the oldest recent colour goes when full.
    auto first = list.begin() + kPresetCount;
    list.erase(std::remove(first, list.end(), c), list.end());
    list.push_back(c);
    if (list.size() > kPresetCount + kMaxRecent) list.erase(list.begin() + kPresetCount);
    indicator = static_cast<int>(list.size()) - 1;
    drawRecentStrip();
}

void PaletteState::setPaintColor(const Color& c)
{
    paint = c;
    indicator = -1;
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k] == c) indicator = static_cast<int>(k);
}

void PaletteState::deposit(int x, int y)
{
    if (!mixing) return;
    const Color carry = carried.storable();
    const int r = kDabRadius;
    for (int j = y - r; j <= y + r; ++j)
        for (int i = x - r; i <= x + r; ++i) {
            if ((i - x) * (i - x) + (j - y) * (j - y) > r * r || !isMixingCell(i, j)) continue;
            Color here;
            const Color next = readMixing(i, j, &here) ? here.mixedWith(carry).storable() : carry;
            unsigned char v[3] = {next.r, next.g, next.b};
            mixing->set3DValues(static_cast<unsigned int>(i), static_cast<unsigned int>(j), v);
        }
}

unsigned int PaletteState::release(int x, int y)
{
    latest[0] = x;
    latest[1] = y;
    const unsigned int region = held;
    if (touching) {
        if (host) host->hideBrush();
        evaluateDrag(region);
        if (region == kClearMixing) clearRequest = true;
    }
    touching = false;
    held = kOutside;
    start[0] = start[1] = latest[0] = latest[1] = 0;
    return region;
}

bool PaletteState::takeClearRequest()
{
    const bool r = clearRequest;
    clearRequest = false;
    return r;
}

void PaletteState::evaluateDrag(unsigned int region)
{
    // y counted downwards: dy < 0 is a drag down.
    const double dx = start[0] - latest[0];
    const double dy = latest[1] - start[1];
    if (dx * dx + dy * dy <= dragThreshold() || !host) return;
    // Right and up count positive along the longer axis.
    const double along = std::abs(dx) >= std::abs(dy) ? -dx : dy;
    switch (region) {
    case kMove:
        host->setToolCell(5, 1, dx <= 0 ? (dy <= 0 ? 3.0f : 2.0f) : (dy <= 0 ? 1.0f : 0.0f));
        break;
    case kOrientation:
        host->setToolCell(2, 1, dx <= 0 ? (dy <= 0 ? 3.0f : 2.0f) : (dy <= 0 ? 0.0f : 1.0f));
        break;
    case kSize:
        strengthSize = static_cast<float>(along * 0.03);
        if (tool == 1.0f) choose(1.0f, strengthSize);
        break;
    case kCreateErase:
        strengthCreate = static_cast<float>(along * 0.03);
        if (tool == 4.0f) choose(4.0f, strengthCreate);
        break;
    case kDiameter: {
        const double d = host->toolCell(0, 2) + along;
        if (d > 16.0) host->setBrushDiameter(static_cast<float>(d));
        break;
    }
    case kRecording:
        host->setTouchRecording(dy < 0);
        break;
    case kLayer: {
        const int next = static_cast<int>(std::lround(currentLayer + along * 0.03));
        if (next >= 0 && next <= static_cast<int>(layerCount) + 2) currentLayer = next;
        break;
    }
    case kEmptyCanvas:
        if (dy >= 0)
            host->setToolCell(0, 5, 1.0f);
        else
            host->emptyCanvas();
        break;
    case kStrokeStyle: {
        double angle = std::atan2(dy, -dx) * 180.0 / M_PI;
        if (angle < 0.0) angle += 360.0;
        const int k = static_cast<int>(angle / (360.0 / (strokeStyles + 2)));
        if (k >= 2 && k <= static_cast<int>(strokeStyles)) {
            host->setToolCell(4, 4, static_cast<float>(k - 1));
            host->setToolCell(4, 2, 0.0f);
            choose(4.0f, strengthCreate);
        }
        break;
    }
    default:
        break;
    }
}

void PaletteState::publish()
{
    if (!host) return;
    host->setToolCell(0, 3, static_cast<float>(currentLayer));
    host->setToolCell(0, 4, static_cast<float>(dimmed));
    host->setToolCell(3, 1, paint.r);
    host->setToolCell(3, 2, paint.g);
    host->setToolCell(3, 3, paint.b);
}
