#include "canvas/CurveField.h"

#include <cmath>

namespace canvas {

namespace {

bool isFar(double d) { return !(d < kCurveFarDepth); }

// Slope along one axis at a cell from its neighbours `before` and `after` (null = missing).
double slope(double here, const double* before, const double* after)
{
    const bool hasBefore = before && !isFar(*before);
    const bool hasAfter = after && !isFar(*after);
    if (hasBefore && hasAfter) {
        const double back = here - *before;
        const double ahead = *after - here;
        if ((back < 0.0 && ahead > 0.0) || (back > 0.0 && ahead < 0.0))
            return std::fabs(back) >= std::fabs(ahead) ? back : ahead;
        return 0.5 * (back + ahead);
    }
    if (hasAfter) return *after - here;
    if (hasBefore) return here - *before;
    return 0.0;
}

} // namespace

void gradientFromDepth(const double* depth, std::size_t w, std::size_t h, double* gradient)
{
    for (std::size_t y = 0; y < h; ++y) {
        for (std::size_t x = 0; x < w; ++x) {
            const std::size_t i = y * w + x;
            double* g = gradient + 2 * i;
            if (isFar(depth[i])) {
                g[0] = g[1] = 0.0;
                continue;
            }
            g[0] = slope(depth[i], x > 0 ? &depth[i - 1] : nullptr,
                         x + 1 < w ? &depth[i + 1] : nullptr);
            g[1] = slope(depth[i], y > 0 ? &depth[i - w] : nullptr,
                         y + 1 < h ? &depth[i + w] : nullptr);
        }
    }
}

void TangentHint::encode(double tx, double ty, std::uint8_t* rgba)
{
    auto channel = [](double t) {
        const double c = (t + 1.0) * 0.5 * 255.0;
        return static_cast<std::uint8_t>(c < 0.0 ? 0.0 : (c > 255.0 ? 255.0 : c + 0.5));
    };
    rgba[0] = channel(tx);
    rgba[1] = channel(ty);
    rgba[2] = 255;
    rgba[3] = 255;
}

bool TangentHint::decode(const std::uint8_t* rgba, double* tx, double* ty)
{
    if (rgba[2] != 255) return false;
    *tx = rgba[0] / 255.0 * 2.0 - 1.0;
    *ty = rgba[1] / 255.0 * 2.0 - 1.0;
    return true;
}

void orientationFromGradient(const double* gradient, const std::uint8_t* tangents, std::size_t w,
                             std::size_t h, float* orientation)
{
    for (std::size_t i = 0; i < w * h; ++i) {
        const double gx = gradient[2 * i];
        const double gy = gradient[2 * i + 1];
        const double length = std::hypot(gx, gy);
        float* o = orientation + 2 * i;
        if (!(length > 0.0)) {
            o[0] = o[1] = 0.0f;
            continue;
        }
        // The gradient points away from the curve; a quarter turn lies along it.
        double vx = -gy / length;
        double vy = gx / length;
        double tx = 0.0, ty = 0.0;
        if (tangents && TangentHint::decode(tangents + 4 * i, &tx, &ty) && vx * tx + vy * ty < 0.0) {
            vx = -vx;
            vy = -vy;
        }
        o[0] = static_cast<float>(vx);
        o[1] = static_cast<float>(vy);
    }
}

std::vector<std::vector<OutlineCorner>> selectionOutline(const bool* selected, std::size_t w,
                                                         std::size_t h)
{
    // Boundary edges directed with the selected cell on their left, kept per start corner as
    // a mask of directions: 0 +x, 1 +y, 2 -x, 3 -y.
    const std::size_t cw = w + 1;
    std::vector<std::uint8_t> out(cw * (h + 1), 0);
    auto at = [&](std::size_t x, std::size_t y) { return selected[y * w + x]; };
    auto corner = [&](std::size_t x, std::size_t y) { return y * cw + x; };
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x) {
            if (!at(x, y)) continue;
            if (y == 0 || !at(x, y - 1)) out[corner(x, y)] |= 1u << 0;
            if (x + 1 == w || !at(x + 1, y)) out[corner(x + 1, y)] |= 1u << 1;
            if (y + 1 == h || !at(x, y + 1)) out[corner(x + 1, y + 1)] |= 1u << 2;
            if (x == 0 || !at(x - 1, y)) out[corner(x, y + 1)] |= 1u << 3;
        }
    static const int step[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    std::vector<std::vector<OutlineCorner>> loops;
    for (std::size_t start = 0; start < out.size(); ++start) {
        while (out[start]) {
            std::vector<OutlineCorner> loop;
            int x = static_cast<int>(start % cw);
            int y = static_cast<int>(start / cw);
            int d = 0;
            while (!(out[start] >> d & 1u)) ++d;
            int previous = -1;
            // Each corner has as many edges in as out, so the walk comes back to where it began.
            // At a corner shared by two diagonal cells the left turn keeps their loops apart.
            std::size_t here = start;
            do {
                if (previous >= 0) {
                    const int turns[3] = {(d + 1) % 4, d, (d + 3) % 4};
                    for (int t : turns)
                        if (out[here] >> t & 1u) {
                            d = t;
                            break;
                        }
                }
                if (d != previous) loop.push_back({x, y});
                out[here] &= static_cast<std::uint8_t>(~(1u << d));
                x += step[d][0];
                y += step[d][1];
                previous = d;
                here = corner(x, y);
            } while (here != start && out[here]);
            // The start corner is no turn when the walk arrives going the way it left.
            if (loop.size() > 2) {
                const OutlineCorner& a = loop[1];
                const OutlineCorner& z = loop.back();
                if ((z.x == x && a.x == x) || (z.y == y && a.y == y)) loop.erase(loop.begin());
            }
            loops.push_back(std::move(loop));
        }
    }
    return loops;
}

} // namespace canvas
