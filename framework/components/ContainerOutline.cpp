#include "ContainerOutline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Points = std::vector<Spline::SplinePoint>;

// Twice the signed area of the closed polygon: positive when it runs counter-clockwise.
double signedArea2(const Points& p)
{
    double a = 0.0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const auto& u = p[i];
        const auto& v = p[(i + 1) % n];
        a += u.x * v.y - v.x * u.y;
    }
    return a;
}

double signOf(const Spline& s)
{
    return signedArea2(*s.splinePoints()) < 0.0 ? -1.0 : 1.0;
}

void shift(Spline& s, double dx, double dy)
{
    for (auto* points : {s.controlPoints(), s.splinePoints()})
        for (auto& p : *points) {
            p.x += dx;
            p.y += dy;
        }
}

} // namespace

int BufferMapping::column(double x) const
{
    return static_cast<int>(std::floor((x + halfWidth) / xScale + 1.5));
}

int BufferMapping::row(double y) const
{
    return static_cast<int>(std::floor((y + halfHeight) / yScale + 1.5));
}

unsigned int ContainerOutline::clampControlPointCount(unsigned int count)
{
    return std::clamp(count, kMinControlPoints, kMaxControlPoints);
}

unsigned int ContainerOutline::clampSplineLevel(unsigned int level)
{
    return std::min(level, kMaxSplineLevel);
}

ContainerOutline::ContainerOutline(unsigned int controlPointCount, unsigned int splineLevel,
                                   bool hasInsideBoundary, bool rounded)
    : controlPointCount_(clampControlPointCount(controlPointCount)),
      splineLevel_(clampSplineLevel(splineLevel)),
      hasInsideBoundary_(hasInsideBoundary),
      rounded_(rounded)
{
}

void ContainerOutline::computeInitialControlPoints(double halfWidth, double halfHeight,
                                                   double borderWidth, double ringWidth)
{
    borderWidth_ = borderWidth;
    for (Spline* s : {&inside_, &outside_, &insideBorder_, &outsideBorder_})
        s->initializeAndSetParameters(controlPointCount_, splineLevel_);

    const double a = halfWidth - borderWidth;
    const double b = halfHeight - borderWidth;
    // A ring wider than the container would turn its hole inside out: keep a minimal hole.
    const double ia = std::max(a - ringWidth, 1.0);
    const double ib = std::max(b - ringWidth, 1.0);
    for (unsigned int i = 0; i < controlPointCount_; ++i) {
        const double theta = i * 2.0 * M_PI / controlPointCount_;
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        double k = 1.0;
        if (!rounded_) {
            // The ray from the centre meets the rectangle where the first coordinate reaches 1.
            k = std::numeric_limits<double>::infinity();
            if (std::fabs(c) >= 0.001) k = std::min(k, 1.0 / std::fabs(c));
            if (std::fabs(s) >= 0.001) k = std::min(k, 1.0 / std::fabs(s));
        }
        outside_.controlPoints()->push_back({c * k * a, s * k * b});
        inside_.controlPoints()->push_back({c * k * ia, s * k * ib});
    }
    rebuild();
}

void ContainerOutline::setControlPoint(bool inside, unsigned int index, double x, double y)
{
    auto* points = (inside ? inside_ : outside_).controlPoints();
    if (index < points->size()) (*points)[index] = {x, y};
}

void ContainerOutline::offsetSpline(const Spline& source, Spline& target, double distance)
{
    // distance > 0 moves towards the inside of the source curve.
    const double sign = signOf(source);
    target.initializeAndSetParameters(static_cast<unsigned int>(source.numControlPoints()),
                                      static_cast<unsigned int>(source.level()));
    const auto& points = *source.controlPoints();
    const auto& normals = *source.controlPointNormalVectors();
    for (std::size_t i = 0; i < points.size() && i < normals.size(); ++i)
        target.controlPoints()->push_back({points[i].x + normals[i].x * sign * distance,
                                           points[i].y + normals[i].y * sign * distance});
    target.buildOrRebuildSpline();
}

void ContainerOutline::rebuild()
{
    outside_.buildOrRebuildSpline();
    offsetSpline(outside_, outsideBorder_, -borderWidth_);
    if (hasInsideBoundary_) {
        inside_.buildOrRebuildSpline();
        offsetSpline(inside_, insideBorder_, borderWidth_);
    }
}

double ContainerOutline::inwardSignOf(const Spline& spline)
{
    return signOf(spline);
}

void ContainerOutline::fitSize(bool recentre, double* width, double* height, double* dx,
                               double* dy)
{
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    for (const auto& p : *outside_.splinePoints()) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    if (minX > maxX) { // no outline yet
        *width = *height = 2.0 * borderWidth_;
        *dx = *dy = 0.0;
        return;
    }
    *width = maxX - minX + 2.0 * borderWidth_;
    *height = maxY - minY + 2.0 * borderWidth_;
    *dx = 0.5 * (minX + maxX);
    *dy = 0.5 * (minY + maxY);
    if (recentre)
        for (Spline* s : {&inside_, &outside_, &insideBorder_, &outsideBorder_})
            shift(*s, -*dx, -*dy);
}

unsigned int ContainerOutline::handleRadius(double borderWidth)
{
    return static_cast<unsigned int>(std::floor(borderWidth + 0.5));
}

void ContainerOutline::fillHandleMask(BufferTemplate<unsigned char>& handle)
{
    const double r = 0.5 * handle.getWidth();
    for (unsigned int y = 0; y < handle.getHeight(); ++y)
        for (unsigned int x = 0; x < handle.getWidth(); ++x) {
            const double u = x + 0.5 - r;
            const double v = y + 0.5 - r;
            handle.setValue(x, y, static_cast<unsigned char>(u * u + v * v <= r * r ? 1 : 0));
        }
}

void ContainerOutline::fillHitMask(BufferTemplate<int>& mask,
                                   const BufferTemplate<unsigned char>& handle,
                                   const BufferMapping& m, bool withHandles) const
{
    mask.fillEntireBuffer(kOutside);
    const Points& out = *outside_.splinePoints();
    const Points& outBorder = *outsideBorder_.splinePoints();
    const std::size_t n = out.size();
    if (n == 0) return;
    auto quad = [&](const Spline::SplinePoint& a, const Spline::SplinePoint& b,
                    const Spline::SplinePoint& c, const Spline::SplinePoint& d, int code) {
        mask.fillQuadWithValue(m.column(a.x), m.row(a.y), m.column(b.x), m.row(b.y),
                               m.column(c.x), m.row(c.y), m.column(d.x), m.row(d.y), code);
    };

    const Spline::SplinePoint centre{0.0, 0.0};
    if (hasInsideBoundary_) {
        const Points& in = *inside_.splinePoints();
        for (std::size_t i = 0; i < n && i < in.size(); ++i) {
            const std::size_t j = (i + n - 1) % n;
            quad(out[j], out[i], in[i], in[j], kBody);
        }
    } else {
        for (std::size_t i = 0; i < n; ++i)
            quad(centre, out[(i + n - 1) % n], out[i], centre, kBody);
    }
    for (std::size_t i = 0; i < n && i < outBorder.size(); ++i) {
        const std::size_t j = (i + n - 1) % n;
        quad(out[j], out[i], outBorder[i], outBorder[j], kOuterBorder);
    }
    if (hasInsideBoundary_) {
        const Points& in = *inside_.splinePoints();
        const Points& inBorder = *insideBorder_.splinePoints();
        const std::size_t k = std::min(in.size(), inBorder.size());
        for (std::size_t i = 0; i < k; ++i) {
            const std::size_t j = (i + k - 1) % k;
            quad(in[j], in[i], inBorder[i], inBorder[j], kInnerBorder);
        }
    }
    if (!withHandles) return;

    // A square of the handle grid's size centred on each control point, masked by its disc.
    auto stamp = [&](const Spline::SplinePoint& p, int code) {
        const int size = static_cast<int>(handle.getWidth());
        const int x0 = m.column(p.x) - size / 2;
        const int y0 = m.row(p.y) - size / 2;
        for (int v = 0; v < static_cast<int>(handle.getHeight()); ++v) {
            const int y = y0 + v;
            if (y < 0 || y >= static_cast<int>(mask.getHeight())) continue;
            for (int u = 0; u < size; ++u) {
                const int x = x0 + u;
                if (x < 0 || x >= static_cast<int>(mask.getWidth())) continue;
                if (handle.getValue(u, v)) mask.setValue(x, y, code);
            }
        }
    };
    const Points& cps = *outside_.controlPoints();
    for (std::size_t i = 0; i < cps.size(); ++i)
        stamp(cps[i], kFirstOutsideHandle + 2 * static_cast<int>(i));
    if (hasInsideBoundary_) {
        const Points& icps = *inside_.controlPoints();
        for (std::size_t i = 0; i < icps.size(); ++i)
            stamp(icps[i], kFirstInsideHandle + 2 * static_cast<int>(i));
    }
}
