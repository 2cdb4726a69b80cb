#pragma once
// StrokeBoard: what the stroke build canvas holds apart from drawing: the brush simulation, the
// finished strokes, the stroke in progress and the list of every drawn point; starting, growing
// and ending strokes (a stroke that starts and ends on a finished one edits it instead), erasing
// and deleting strokes, and the shapes handed over to become geometric stroke primitives.
// GL-free. Units: table pixels.

#include "canvas/Stroke2d.h"
#include "canvas/StrokeSimulation.h"
#include "core/Vector2d.h"

#include <memory>
#include <vector>

class StrokeBoard {
public:
    // Distance (pixels) within which a new path's ends count as lying on a finished stroke.
    static constexpr double kOverdrawTolerance = 20.0;

    StrokeSimulation& getSimulation() { return simulation; }
    const StrokeSimulation& getSimulation() const { return simulation; }

    // A new stroke in progress at (x, y); a stroke still in progress is ended first.
    void startStroke(double x, double y);
    // One simulation step towards the finger; unless skipPoint is set the step's control point
    // is kept. Without a stroke in progress nothing happens. Returns the step's width.
    float addStrokePoint(double x, double y, bool skipPoint);

    enum class Ending { Nothing, NewStroke, Edited, EditFailed };
    // Ends the stroke in progress: an edit of the last finished stroke whose control points the
    // path starts and ends on, otherwise a new finished stroke (when it has two points or more).
    Ending finishStroke();

    // Removes every finished stroke passing within `radius` of (x, y) (control point radii
    // count); returns how many.
    std::size_t eraseAt(double x, double y, double radius);
    // Removes all strokes, the one in progress too, and the drawn points.
    void deleteStrokes();

    const std::vector<Stroke2d>& getStrokes() const { return strokes; }
    const Stroke2d* getCurrentStroke() const { return current.get(); }
    const std::vector<ControlPoint2D>& getAllPoints() const { return allPoints; }

    // One polyline per finished stroke of two points or more, centred on the middle of its
    // bounding box and scaled uniformly to fit width x height, y up.
    std::vector<std::vector<Vector2d>> shapes(double width, double height) const;

private:
    void rebuildAllPoints();

    StrokeSimulation simulation;
    std::vector<Stroke2d> strokes;
    std::unique_ptr<Stroke2d> current;
    std::vector<ControlPoint2D> allPoints;
};
