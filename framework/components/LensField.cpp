#include "LensField.h"

#include "core/epsLens.h"
#include "core/epsLensSurround.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lensfield {

namespace {

struct NamedDropoff {
    const char* name;
    Dropoff dropoff;
};

// Index, colour shift and EPS type of each name.
const NamedDropoff kDropoffs[] = {
    {"Gaussian", {0, 0.0f, epsEnums::GAUSSIAN}},
    {"Manhattan", {1, 0.5f, epsEnums::MANHATTAN}},
    {"Cosine", {2, 0.2f, epsEnums::COSINE}},
    {"DropGaussian", {3, 0.3f, epsEnums::DROP_GAUSSIAN}},
    {"Hemispheric", {4, 0.4f, epsEnums::HEMISPHERIC}},
    {"Hyperbolic", {5, 0.2f, epsEnums::HYPERBOLIC}},
    {"Linear", {6, 0.6f, epsEnums::LINEAR}},
    {"Power", {7, 0.7f, epsEnums::POWER}},
    {"TrueLinear", {8, 0.8f, epsEnums::TRUE_LINEAR}},
};

} // namespace

Dropoff dropoffByName(const char* name)
{
    if (name)
        for (const NamedDropoff& d : kDropoffs)
            if (std::strcmp(name, d.name) == 0) return d.dropoff;
    return kDropoffs[0].dropoff;
}

Dropoff dropoffOf(int function)
{
    if (function < 0 || function > 8) return kDropoffs[0].dropoff;
    return kDropoffs[function].dropoff;
}

double clampStrength(double strength)
{
    if (!(strength > 0.0)) return 0.0;
    return std::min(strength, 1.0);
}

void shiftColor(const float border[3], float shift, float out[3])
{
    for (int i = 0; i < 3; ++i) {
        float c = border[i] + shift;
        if (c > 1.0f) c -= 1.0f;
        out[i] = c;
    }
}

std::vector<float> magnificationProfile(unsigned int w, unsigned int h, double halfWidth,
                                        double halfHeight, double strength, double magnification,
                                        double offset, int epsType)
{
    const double r = 0.9 * std::max(halfWidth, halfHeight);
    const double focus = r * clampStrength(strength);
    epsLens lens;
    epsLensSurround surround;
    lens.setFocusShape(epsEnums::CIRCLE_FOCUS);
    lens.setFocusRadius(static_cast<float>(focus));
    surround.setWidth(static_cast<float>(r - focus));
    // The surround is the band itself: it must not widen with the magnification and spill
    // over the lens's rim.
    surround.setMagnificationGrowth(0.0f);
    surround.setDropoffType(epsType);
    lens.setMagnification(static_cast<float>(magnification + offset));
    lens.setSurround(&surround);
    lens.setFocus(epsPoint{w * 0.5f, h * 0.5f});
    std::vector<float> profile(static_cast<std::size_t>(w) * h);
    const float off = static_cast<float>(offset);
    for (unsigned int y = 0; y < h; ++y)
        for (unsigned int x = 0; x < w; ++x)
            profile[static_cast<std::size_t>(y) * w + x] =
                lens.getMagnificationAt(epsPoint{x + 0.5f, y + 0.5f}) - off;
    lens.removeAllSurrounds();
    return profile;
}

void fillSizeFactors(BufferTemplate<float>& out, double halfWidth, double halfHeight,
                     double strength, double magnification, double offset, int epsType)
{
    const unsigned int w = out.getWidth();
    const unsigned int h = out.getHeight();
    const std::vector<float> profile =
        magnificationProfile(w, h, halfWidth, halfHeight, strength, magnification, offset, epsType);
    float* cells = out.getBufferArray();
    for (std::size_t i = 0; i < profile.size(); ++i) cells[i] = profile[i] > 1.0f ? profile[i] : 1.0f;
}

void fillDirectionVectors(BufferTemplate<float>& out, double halfWidth, double halfHeight,
                          double strength, double magnification, double offset, int epsType,
                          unsigned int directionMode)
{
    const unsigned int w = out.getWidth();
    const unsigned int h = out.getHeight();
    const std::vector<float> profile =
        magnificationProfile(w, h, halfWidth, halfHeight, strength, magnification, offset, epsType);
    float* cells = out.getBufferArray();
    const bool circle = halfWidth == halfHeight;
    const double cx = w * 0.5;
    const double cy = h * 0.5;
    for (unsigned int y = 0; y < h; ++y)
        for (unsigned int x = 0; x < w; ++x) {
            float* v = cells + (static_cast<std::size_t>(y) * w + x) * 2;
            v[0] = v[1] = 0.0f;
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            double a = halfWidth;
            if (!circle) {
                const bool inside = dx * dx / (halfWidth * halfWidth) +
                                        dy * dy / (halfHeight * halfHeight) <= 1.0;
                a = inside ? d + 5.0 : d - 5.0;
            }
            if (a <= d || d < 0.001) continue;
            const double weight = std::pow(std::sin(M_PI * (a - d) / a), 0.4);
            const double sign = directionMode == 1 ? 1.0 : -1.0;
            const double k = sign * weight / d * profile[static_cast<std::size_t>(y) * w + x];
            v[0] = static_cast<float>(dx * k);
            v[1] = static_cast<float>(dy * k);
        }
}

void normaliseUp(double& x, double& y)
{
    if (x == 0.0 && y == 0.0) y = 1.0;
    const double n = std::sqrt(x * x + y * y);
    x /= n;
    y /= n;
}

float restValue(BUFFERTAG tag) { return tag == RELATIVE_SIZE_BUFFER ? 1.0f : 0.0f; }

CellRect CellRect::intersection(const CellRect& o) const
{
    CellRect r{std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    return r.empty() ? CellRect{} : r;
}

CellRect CellRect::united(const CellRect& o) const
{
    if (empty()) return o;
    if (o.empty()) return *this;
    return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
}

Placement place(double cx, double cy, unsigned int w, unsigned int h, unsigned int pw,
                unsigned int ph)
{
    Placement p;
    // Lens cell i is centred at cx + (i + 0.5 - w / 2) in parent cells.
    p.originX = static_cast<int>(std::floor(cx + 0.5 - w * 0.5));
    p.originY = static_cast<int>(std::floor(cy + 0.5 - h * 0.5));
    const CellRect lens{p.originX, p.originY, p.originX + static_cast<int>(w),
                        p.originY + static_cast<int>(h)};
    p.rect = lens.intersection(CellRect{0, 0, static_cast<int>(pw), static_cast<int>(ph)});
    return p;
}

void mergeOverlapping(std::vector<CellRect>& rects)
{
    rects.erase(std::remove_if(rects.begin(), rects.end(), [](const CellRect& r) { return r.empty(); }),
                rects.end());
    bool merged = true;
    while (merged) {
        merged = false;
        for (std::size_t i = 0; i < rects.size() && !merged; ++i)
            for (std::size_t j = i + 1; j < rects.size(); ++j)
                if (rects[i].intersects(rects[j])) {
                    rects[i] = rects[i].united(rects[j]);
                    rects.erase(rects.begin() + static_cast<long>(j));
                    merged = true;
                    break;
                }
    }
}

void fillRect(BufferTemplate<float>& field, const CellRect& rect, float value)
{
    const CellRect r = rect.intersection(
        CellRect{0, 0, static_cast<int>(field.getWidth()), static_cast<int>(field.getHeight())});
    if (r.empty()) return;
    const unsigned int channels = field.getChannelNumber();
    float* cells = cellsIn(field, r);
    for (int y = r.y0; y < r.y1; ++y) {
        float* row = cells + (static_cast<std::size_t>(y) * field.getWidth() + r.x0) * channels;
        std::fill(row, row + static_cast<std::size_t>(r.x1 - r.x0) * channels, value);
    }
}

} // namespace lensfield
