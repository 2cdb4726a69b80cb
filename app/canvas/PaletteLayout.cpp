#include "canvas/PaletteLayout.h"

#include <algorithm>
#include <cmath>

namespace palette {

namespace {

std::vector<RegionRect> makeRegions()
{
    std::vector<RegionRect> r;
    // Top row: the six swatches.
    for (unsigned int k = 0; k < 6; ++k) {
        const double u0 = 0.05 + 0.15 * k;
        r.push_back({kFirstSwatch + k, {u0, 0.80, u0 + 0.13, 0.94}});
    }
    // Middle: the mixing area on the left, the four tools two by two on the right.
    r.push_back({kMixing, {0.05, 0.30, 0.62, 0.77}});
    const unsigned int tools[] = {kMove, kOrientation, kSize, kCreateErase};
    for (unsigned int k = 0; k < 4; ++k) {
        const double u0 = k % 2 == 0 ? 0.65 : 0.81;
        const double v1 = k < 2 ? 0.77 : 0.525;
        r.push_back({tools[k], {u0, v1 - 0.225, u0 + 0.14, v1}});
    }
    // Bottom row: seven buttons.
    const unsigned int bottom[] = {kClearMixing, kDiameter,  kLayer, kStrokeStyle,
                                   kEmptyCanvas, kRecording, kSave};
    for (unsigned int k = 0; k < 7; ++k) {
        const double u0 = 0.05 + 0.13 * k;
        r.push_back({bottom[k], {u0, 0.06, u0 + 0.12, 0.26}});
    }
    r.push_back({kGrip, {0.05, 0.96, 0.95, 1.0}});
    return r;
}

} // namespace

const std::vector<RegionRect>& regions()
{
    static const std::vector<RegionRect> all = makeRegions();
    return all;
}

Rect rectOf(unsigned int region)
{
    for (const RegionRect& r : regions())
        if (r.region == region) return r.rect;
    return {0.0, 0.0, 0.0, 0.0};
}

Rect recentStrip()
{
    const Rect m = rectOf(kMixing);
    return {m.u0, m.v0, m.u1, m.v0 + 0.07};
}

Rect recentSlot(unsigned int k)
{
    const Rect s = recentStrip();
    const double w = (s.u1 - s.u0) / kRecentSlots;
    return {s.u0 + w * k + 0.004, s.v0 + 0.006, s.u0 + w * (k + 1) - 0.004, s.v1 - 0.006};
}

unsigned int regionAt(double u, double v)
{
    if (u < 0.0 || u >= 1.0 || v < 0.0 || v >= 1.0) return kOutside;
    unsigned int found = kPanel;
    for (const RegionRect& r : regions())
        if (r.rect.contains(u, v)) found = r.region;
    return found;
}

void fillRegionMap(BufferTemplate<unsigned int>& map, double width, double height)
{
    const unsigned int w = map.getWidth();
    const unsigned int h = map.getHeight();
    for (unsigned int j = 0; j < h; ++j)
        for (unsigned int i = 0; i < w; ++i) {
            const double u = (i - 1.0) / std::max(1.0, width);
            const double v = (j - 1.0) / std::max(1.0, height);
            map.setValue(i, j, regionAt(u, v));
        }
}

double buttonSize(double width, double height)
{
    return 0.12 * std::min(width, height);
}

} // namespace palette
