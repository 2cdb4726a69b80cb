#pragma once
// AnnotationStroke: the geometry of a finger stroke written onto an item, without GL. Touch
// positions become overlay pixels, and the stroke is drawn as cubic Bézier segments whose joint
// tangents are 0.15 × the difference of the neighbouring points; a segment ends at the point
// before last, so the drawing lags one point behind the finger.
//
// Coordinates: local item pixels in (origin bottom-left of the item), overlay pixels out
// (0 … 512, origin top-left of the picture area, v down). The 512-pixel overlay covers the
// picture area, 96 % of the item: u = lx · 512/0.96 / width − 10.666…, v = 512 − (…), clamped.

struct AnnotationPoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

class AnnotationStroke {
public:
    static constexpr double kOverlaySize = 512.0;
    static constexpr double kTangent = 0.15;

    enum class Step {
        FirstPoint, // a dot at the point; stroke begun
        Remembered, // second point: only remembered, nothing drawn
        Segment     // draw the cubic segment controlPoints()
    };

    // Local item coordinates to overlay pixels, clamped to 0 … 512.
    static AnnotationPoint toOverlay(double localX, double localY, double width, double height);
    // Line steps for a segment between two points: max(1, round(distance / 3)).
    static unsigned int segmentSteps(const AnnotationPoint& a, const AnnotationPoint& b);

    // The next stroke is a new one: its first point draws a dot.
    void restart() { firstPoint = true; started = false; }
    // Adds an overlay point and says what to draw.
    Step add(const AnnotationPoint& p);
    // The four control points of the segment to draw after Step::Segment (x, y, z each).
    const AnnotationPoint* controlPoints() const { return drawn; }
    const AnnotationPoint& lastPoint() const { return points[3]; }
    bool isFirstPoint() const { return firstPoint; }
    bool isStarted() const { return started; }

private:
    bool firstPoint = true;
    bool started = false;
    // P0 … P3 of the segment under way and the next segment's first inner point.
    AnnotationPoint points[4];
    AnnotationPoint nextInner;
    AnnotationPoint drawn[4];
};
