#include "epsLens.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegreesToRadians = 3.14159265f / 180.0f;

epsPoint rotated(float x, float y, float degrees)
{
    if (degrees == 0.0f)
        return epsPoint{x, y};
    const float a = degrees * kDegreesToRadians;
    const float c = std::cos(a);
    const float s = std::sin(a);
    return epsPoint{c * x - s * y, s * x + c * y};
}

// The offset measured in the metric's frame: each side stretched by the absolute factor of that side.
epsPoint scaledOffset(float x, float y, float px, float nx, float py, float ny)
{
    return epsPoint{x * (x > 0.0f ? px : nx), y * (y > 0.0f ? py : ny)};
}

float cross(const epsPoint& o, const epsPoint& a, const epsPoint& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool insidePolygon(const std::vector<epsPoint>& poly, bool convex, const epsPoint& q)
{
    const size_t n = poly.size();
    if (convex) {
        bool anyPositive = false, anyNegative = false;
        for (size_t i = 0; i < n; ++i) {
            const float c = cross(poly[i], poly[(i + 1) % n], q);
            anyPositive = anyPositive || c > 0.0f;
            anyNegative = anyNegative || c < 0.0f;
        }
        return !(anyPositive && anyNegative);
    }
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const epsPoint& a = poly[i];
        const epsPoint& b = poly[j];
        if ((a.y > q.y) != (b.y > q.y) && q.x < (b.x - a.x) * (q.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// Squared Euclidean distance from q to the segment ab.
float squaredSegmentDistance(const epsPoint& q, const epsPoint& a, const epsPoint& b)
{
    const float ex = b.x - a.x, ey = b.y - a.y;
    const float len2 = ex * ex + ey * ey;
    float s = len2 > 0.0f ? ((q.x - a.x) * ex + (q.y - a.y) * ey) / len2 : 0.0f;
    s = std::clamp(s, 0.0f, 1.0f);
    const float dx = q.x - (a.x + s * ex), dy = q.y - (a.y + s * ey);
    return dx * dx + dy * dy;
}

// Distance from q to the segment ab under any norm: the norm of an affine function of the
// segment parameter is convex, so a ternary search finds the minimum.
float segmentDistance(const epsPoint& q, const epsPoint& a, const epsPoint& b, const epsDistanceMetric& m)
{
    const auto at = [&](float s) {
        return m.distance(q.x - (a.x + s * (b.x - a.x)), q.y - (a.y + s * (b.y - a.y)));
    };
    float lo = 0.0f, hi = 1.0f;
    for (int i = 0; i < 40; ++i) {
        const float m1 = lo + (hi - lo) / 3.0f;
        const float m2 = hi - (hi - lo) / 3.0f;
        if (at(m1) < at(m2))
            hi = m2;
        else
            lo = m1;
    }
    return std::min({at(0.0f), at(1.0f), at((lo + hi) / 2.0f)});
}

} // namespace

epsLens::epsLens() = default;

epsLens::~epsLens()
{
    removeAllSurrounds();
}

void epsLens::setMagnification(float m)
{
    if (!(m > 0.0f))
        return;
    magnification_ = m;
    markStale();
}

float epsLens::getMagnification() const { return magnification_; }

void epsLens::setFocus(const epsPoint& focus)
{
    focus_ = focus;
    markStale();
}

epsPoint epsLens::getFocus() const { return focus_; }

void epsLens::setFocusShape(int code)
{
    if (code < epsEnums::POINT_FOCUS || code > epsEnums::POLYGON_FOCUS)
        return;
    focusShape_ = code;
    markStale();
}

int epsLens::getFocusShape() const { return focusShape_; }

float epsLens::focusScale() const
{
    return scaleFocus_ ? scaleReference_ / magnification_ : 1.0f;
}

void epsLens::setScaleFocusWithMagnification(bool on)
{
    if (on == scaleFocus_)
        return;
    if (on) {
        scaleReference_ = magnification_;
    } else {
        // Keep the dimensions in effect now.
        const float s = focusScale();
        for (float* d : {&squareSide_, &radius_, &horizontalLength_, &verticalLength_,
                         &rectangleWidth_, &rectangleHeight_})
            *d *= s;
        for (epsPoint& p : polygon_) {
            p.x *= s;
            p.y *= s;
        }
    }
    scaleFocus_ = on;
    markStale();
}

bool epsLens::getScaleFocusWithMagnification() const { return scaleFocus_; }

void epsLens::setDimension(float& stored, float value)
{
    if (!(value >= 0.0f))
        return;
    stored = value / focusScale();
    markStale();
}

void epsLens::setFocusSquareSide(float side) { setDimension(squareSide_, side); }
float epsLens::getFocusSquareSide() const { return squareSide_ * focusScale(); }
void epsLens::setFocusRadius(float radius) { setDimension(radius_, radius); }
float epsLens::getFocusRadius() const { return radius_ * focusScale(); }
void epsLens::setFocusHorizontalLength(float length) { setDimension(horizontalLength_, length); }
float epsLens::getFocusHorizontalLength() const { return horizontalLength_ * focusScale(); }
void epsLens::setFocusVerticalLength(float length) { setDimension(verticalLength_, length); }
float epsLens::getFocusVerticalLength() const { return verticalLength_ * focusScale(); }
void epsLens::setFocusRectangleWidth(float width) { setDimension(rectangleWidth_, width); }
float epsLens::getFocusRectangleWidth() const { return rectangleWidth_ * focusScale(); }
void epsLens::setFocusRectangleHeight(float height) { setDimension(rectangleHeight_, height); }
float epsLens::getFocusRectangleHeight() const { return rectangleHeight_ * focusScale(); }

bool epsLens::setFocusPolygon(const epsPoint* points, int count)
{
    if (!points || count < 3)
        return false;
    if (points[0].x == points[1].x && points[0].y == points[1].y)
        return false;
    const float s = focusScale();
    polygon_.clear();
    for (int i = 0; i < count; ++i)
        polygon_.push_back(epsPoint{points[i].x / s, points[i].y / s});

    bool anyPositive = false, anyNegative = false;
    for (int i = 0; i < count; ++i) {
        const float c = cross(points[i], points[(i + 1) % count], points[(i + 2) % count]);
        anyPositive = anyPositive || c > 0.0f;
        anyNegative = anyNegative || c < 0.0f;
    }
    polygonConvex_ = !(anyPositive && anyNegative);
    focusShape_ = epsEnums::POLYGON_FOCUS;
    markStale();
    return true;
}

int epsLens::getFocusPolygonSize() const { return static_cast<int>(polygon_.size()); }

bool epsLens::setSurround(epsLensSurround* surround)
{
    if (!surround || surround->getLens())
        return false;
    removeAllSurrounds();
    return addSurround(surround);
}

epsLensSurround* epsLens::getSurround(int index) const
{
    if (index < 0 || index >= static_cast<int>(surrounds_.size()))
        return nullptr;
    return surrounds_[index];
}

void epsLens::setViewPoint(const epsPoint3D* viewPoint)
{
    if (!viewPoint)
        viewPoint_ = epsPoint3D{0.0f, 0.0f, 600.0f};
    else if (viewPoint->z > baseHeight_)
        viewPoint_ = *viewPoint;
    else
        return; // a viewer on or below the sheet sees no lens
    markStale();
}

epsPoint3D epsLens::getViewPoint() const { return viewPoint_; }

void epsLens::setSecondAngle(float degrees)
{
    secondAngle_ = degrees;
    markStale();
}

float epsLens::getSecondAngle() const { return secondAngle_; }

void epsLens::setRotation(float degrees)
{
    rotation_ = degrees;
    markStale();
}

float epsLens::getRotation() const { return rotation_; }

void epsLens::setLensType(int type)
{
    lensType_ = type;
    markStale();
}

int epsLens::getLensType() const { return lensType_; }

void epsLens::removeAllSurrounds()
{
    for (epsLensSurround* s : surrounds_)
        s->attach(nullptr);
    surrounds_.clear();
    markStale();
}

int epsLens::getNumberOfSurrounds() const { return static_cast<int>(surrounds_.size()); }

bool epsLens::addSurround(epsLensSurround* surround)
{
    if (!surround || surround->getLens())
        return false;
    if (surrounds_.size() == surrounds_.capacity())
        surrounds_.reserve(surrounds_.size() + 2);
    surrounds_.push_back(surround);
    surround->attach(this);
    markStale();
    return true;
}

bool epsLens::removeSurround(epsLensSurround* surround)
{
    const auto it = std::find(surrounds_.begin(), surrounds_.end(), surround);
    if (it == surrounds_.end())
        return false;
    surrounds_.erase(it);
    surround->attach(nullptr);
    markStale();
    return true;
}

void epsLens::setDistanceMetric(int code)
{
    if (code == epsEnums::LENS_METRIC)
        code = epsEnums::L_TWO;
    if (code < epsEnums::L_ONE || code > epsEnums::L_INFINITY)
        return;
    metric_ = code;
    markStale();
}

int epsLens::getDistanceMetric() const { return metric_; }

#define EPS_LENS_FACTOR(Name, member)                                         \
    void epsLens::set##Name(float v)                                          \
    {                                                                         \
        if (!(v >= 0.0f))                                                     \
            return;                                                           \
        member = v;                                                           \
        markStale();                                                          \
    }                                                                         \
    float epsLens::get##Name() const { return member; }

EPS_LENS_FACTOR(XScale, xScale_)
EPS_LENS_FACTOR(YScale, yScale_)
EPS_LENS_FACTOR(PositiveXFactor, positiveX_)
EPS_LENS_FACTOR(NegativeXFactor, negativeX_)
EPS_LENS_FACTOR(PositiveYFactor, positiveY_)
EPS_LENS_FACTOR(NegativeYFactor, negativeY_)

#undef EPS_LENS_FACTOR

void epsLens::refresh() const
{
    const float s = focusScale();
    float ex = 0.0f, ey = 0.0f;
    int shape = focusShape_;
    if (shape == epsEnums::POLYGON_FOCUS && polygon_.empty())
        shape = epsEnums::POINT_FOCUS;
    switch (shape) {
    case epsEnums::HORIZONTAL_SEGMENT_FOCUS: ex = horizontalLength_ * s / 2.0f; break;
    case epsEnums::VERTICAL_SEGMENT_FOCUS: ey = verticalLength_ * s / 2.0f; break;
    case epsEnums::SQUARE_FOCUS: ex = ey = squareSide_ * s / 2.0f; break;
    case epsEnums::RECTANGLE_FOCUS:
        ex = rectangleWidth_ * s / 2.0f;
        ey = rectangleHeight_ * s / 2.0f;
        break;
    case epsEnums::CIRCLE_FOCUS: ex = ey = radius_ * s; break;
    default: break;
    }
    extentPositiveX_ = extentNegativeX_ = ex;
    extentPositiveY_ = extentNegativeY_ = ey;
    scaledPolygon_.clear();
    if (shape == epsEnums::POLYGON_FOCUS) {
        for (const epsPoint& p : polygon_) {
            scaledPolygon_.push_back(epsPoint{p.x * s, p.y * s});
            extentPositiveX_ = std::max(extentPositiveX_, p.x * s);
            extentNegativeX_ = std::max(extentNegativeX_, -p.x * s);
            extentPositiveY_ = std::max(extentPositiveY_, p.y * s);
            extentNegativeY_ = std::max(extentNegativeY_, -p.y * s);
        }
    }
    focusHalfSize_ = std::max({extentPositiveX_, extentNegativeX_, extentPositiveY_, extentNegativeY_});

    const float h = viewingHeight();
    focusHeight_ = h - h / magnification_;
    displacement_ = epsPoint3D{(viewPoint_.x - focus_.x) * focusHeight_ / h,
                               (viewPoint_.y - focus_.y) * focusHeight_ / h, focusHeight_};

    FocusMetric& f = focusMetric_;
    const float px = xScale_ * positiveX_, nx = -xScale_ * negativeX_;
    const float py = yScale_ * positiveY_, ny = -yScale_ * negativeY_;
    const bool plain = px == 1.0f && nx == -1.0f && py == 1.0f && ny == -1.0f;
    const epsDistanceMetric* simple[] = {&simpleLOne_, &simpleLTwo_, &simpleLThree_, &simpleLInfinity_};
    epsDistanceMetric* weighted[] = {&distanceLOne_, &distanceLTwo_, &distanceLThree_, &distanceLInfinity_};
    weighted[metric_]->setFactors(px, nx, py, ny);
    f.simpleMetric = simple[metric_];
    f.metric = plain ? simple[metric_] : weighted[metric_];
    f.squared = metric_ == epsEnums::L_TWO && px == -nx && py == -ny;
    f.positiveX = std::fabs(px);
    f.negativeX = std::fabs(nx);
    f.positiveY = std::fabs(py);
    f.negativeY = std::fabs(ny);

    for (epsLensSurround* surround : surrounds_)
        surround->resolve(magnification_, focusHalfSize_);
    stale_ = false;
}

epsLensSurround* epsLens::selectSurround(float qx, float qy) const
{
    if (surrounds_.size() == 1 && surrounds_[0]->resolved_.full)
        return surrounds_[0];
    const float degrees = std::atan2(qy, qx) / kDegreesToRadians;
    for (epsLensSurround* s : surrounds_)
        if (s->covers(degrees))
            return s;
    return nullptr;
}

bool epsLens::insideFocus(float qx, float qy) const
{
    const FocusMetric& f = focusMetric_;
    switch (focusShape_) {
    case epsEnums::CIRCLE_FOCUS: {
        const float r = extentPositiveX_;
        if (f.squared)
            return f.metric->squaredDistance(qx, qy) <= r * r;
        return f.metric->distance(qx, qy) <= r;
    }
    case epsEnums::HORIZONTAL_SEGMENT_FOCUS:
    case epsEnums::VERTICAL_SEGMENT_FOCUS:
    case epsEnums::SQUARE_FOCUS:
    case epsEnums::RECTANGLE_FOCUS: {
        const epsPoint q = scaledOffset(qx, qy, f.positiveX, f.negativeX, f.positiveY, f.negativeY);
        return std::fabs(q.x) <= extentPositiveX_ && std::fabs(q.y) <= extentPositiveY_;
    }
    case epsEnums::POLYGON_FOCUS:
        if (!scaledPolygon_.empty()) {
            const epsPoint q = scaledOffset(qx, qy, f.positiveX, f.negativeX, f.positiveY, f.negativeY);
            return insidePolygon(scaledPolygon_, polygonConvex_, q);
        }
        break;
    default:
        break;
    }
    return f.metric->distance(qx, qy) <= 0.0f;
}

float epsLens::distanceFromFocus(float qx, float qy, const epsLensSurround::Resolved& r, bool& squared) const
{
    squared = r.squared;
    switch (focusShape_) {
    case epsEnums::CIRCLE_FOCUS: {
        const float d = std::max(0.0f, r.metric->distance(qx, qy) - extentPositiveX_);
        return squared ? d * d : d;
    }
    case epsEnums::HORIZONTAL_SEGMENT_FOCUS:
    case epsEnums::VERTICAL_SEGMENT_FOCUS:
    case epsEnums::SQUARE_FOCUS:
    case epsEnums::RECTANGLE_FOCUS: {
        // The nearest point of an axis-aligned box under any of these norms is the clamped one.
        const epsPoint q = scaledOffset(qx, qy, r.positiveX, r.negativeX, r.positiveY, r.negativeY);
        const float ox = std::max(0.0f, std::fabs(q.x) - extentPositiveX_);
        const float oy = std::max(0.0f, std::fabs(q.y) - extentPositiveY_);
        return squared ? ox * ox + oy * oy : r.simpleMetric->distance(ox, oy);
    }
    case epsEnums::POLYGON_FOCUS:
        if (!scaledPolygon_.empty()) {
            const epsPoint q = scaledOffset(qx, qy, r.positiveX, r.negativeX, r.positiveY, r.negativeY);
            const size_t n = scaledPolygon_.size();
            float best = -1.0f;
            for (size_t i = 0; i < n; ++i) {
                const epsPoint& a = scaledPolygon_[i];
                const epsPoint& b = scaledPolygon_[(i + 1) % n];
                const float d = squared ? squaredSegmentDistance(q, a, b)
                                        : segmentDistance(q, a, b, *r.simpleMetric);
                if (best < 0.0f || d < best)
                    best = d;
            }
            return best;
        }
        break;
    default:
        break;
    }
    return squared ? r.metric->squaredDistance(qx, qy) : r.metric->distance(qx, qy);
}

epsLens::Evaluation epsLens::evaluate(const epsPoint& point) const
{
    if (stale_)
        refresh();
    Evaluation e;
    e.surface = epsPoint3D{point.x, point.y, baseHeight_};

    const float qx = point.x - focus_.x;
    const float qy = point.y - focus_.y;
    const epsLensSurround* surround = selectSurround(qx, qy);
    if (!surround)
        return e;
    const epsLensSurround::Resolved& r = surround->resolved_;

    // Shape tests happen in the focus's own orientation.
    const epsPoint f = rotated(qx, qy, -secondAngle_);

    const float reach = std::max(0.0f, r.width) * surround->getInfluenceExtent();
    const bool boundedPositiveX = r.positiveX >= 1.0f && focusMetric_.positiveX >= 1.0f;
    const bool boundedNegativeX = r.negativeX >= 1.0f && focusMetric_.negativeX >= 1.0f;
    const bool boundedPositiveY = r.positiveY >= 1.0f && focusMetric_.positiveY >= 1.0f;
    const bool boundedNegativeY = r.negativeY >= 1.0f && focusMetric_.negativeY >= 1.0f;
    if ((boundedPositiveX && f.x > reach + extentPositiveX_) ||
        (boundedNegativeX && -f.x > reach + extentNegativeX_) ||
        (boundedPositiveY && f.y > reach + extentPositiveY_) ||
        (boundedNegativeY && -f.y > reach + extentNegativeY_))
        return e;

    float d = 1.0f;
    if (!insideFocus(f.x, f.y)) {
        // A surround without width has nothing outside the focus.
        if (!(r.width > 0.0f))
            return e;
        bool squared = false;
        const float distance = distanceFromFocus(f.x, f.y, r, squared);
        const epsDropoff* dropoff = surround->getDropoff();
        d = squared ? dropoff->valueSquared(distance / (r.width * r.width))
                    : dropoff->value(distance / r.width);
        if (!(d > 0.0f))
            return e;
        d = std::min(d, 1.0f);
    }

    const epsPoint q = rotated(qx, qy, rotation_ * d);
    e.affected = true;
    e.dropoff = d;
    e.surface = epsPoint3D{focus_.x + q.x + d * displacement_.x, focus_.y + q.y + d * displacement_.y,
                           baseHeight_ + d * displacement_.z};
    return e;
}

void epsLens::displacePoint(epsPoint& point) const
{
    getMagnificationAt(point, &point);
}

void epsLens::getSurfacePoint(const epsPoint& point, epsPoint3D& surface) const
{
    surface = evaluate(point).surface;
}

float epsLens::getMagnificationAt(const epsPoint& point, epsPoint* displaced) const
{
    const Evaluation e = evaluate(point);
    if (!e.affected)
        return 1.0f;
    const float h = viewingHeight();
    const float m = h / (h - (e.surface.z - baseHeight_));
    if (displaced) {
        // Project the surface point from the viewpoint back onto the base plane.
        displaced->x = viewPoint_.x - m * (viewPoint_.x - e.surface.x);
        displaced->y = viewPoint_.y - m * (viewPoint_.y - e.surface.y);
    }
    return m;
}

float epsLens::getMagnificationAndSurfacePoint(const epsPoint& point, epsPoint3D* surface) const
{
    const Evaluation e = evaluate(point);
    if (surface)
        *surface = e.surface;
    if (!e.affected)
        return 1.0f;
    const float h = viewingHeight();
    return h / (h - (e.surface.z - baseHeight_));
}

void epsLens::getDepthRange(float* nearDistance, float* farDistance) const
{
    if (stale_)
        refresh();
    float highest = baseHeight_ + std::max(0.0f, focusHeight_);
    float lowest = baseHeight_ + std::min(0.0f, focusHeight_);
    if (lensType_ == 2 || lensType_ == 3) {
        highest = baseHeight_ + std::fabs(focusHeight_);
        lowest = baseHeight_ - std::fabs(focusHeight_);
    }
    const float top = viewingHeight() + baseHeight_;
    if (nearDistance)
        *nearDistance = (top - highest) * 0.99f;
    if (farDistance)
        *farDistance = (top - lowest) * 1.01f;
}

int epsLens::getReservedCounter() const { return 0; }
