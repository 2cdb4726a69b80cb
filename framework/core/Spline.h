#pragma once
// A closed curve refined from control points by four-point interpolatory subdivision, with a
// normal vector at every point. Points are in the owner's frame (containers use their local
// frame); the spline only stores and refines them. The owner fills the control points directly
// through controlPoints() after initializeAndSetParameters() and then calls buildOrRebuildSpline().

#include <vector>

class Spline {
public:
    struct SplinePoint {
        double x = 0.0;
        double y = 0.0;
    };

    Spline() = default;
    Spline(const Spline&) = default;
    Spline& operator=(const Spline&) = default;

    // A copy with all four point vectors and the three counts.
    Spline copySpline() const { return *this; }

    // Empties the control points, their normals and the spline points, stores both numbers and
    // sets the number of spline points to 0.
    void initializeAndSetParameters(unsigned int numControlPoints, unsigned int level);

    // The vectors themselves; the spline keeps ownership.
    std::vector<SplinePoint>* controlPoints() { return &controlPoints_; }
    std::vector<SplinePoint>* controlPointNormalVectors() { return &controlPointNormals_; }
    std::vector<SplinePoint>* splinePoints() { return &splinePoints_; }
    std::vector<SplinePoint>* splinePointNormalVectors() { return &splinePointNormals_; }
    const std::vector<SplinePoint>* controlPoints() const { return &controlPoints_; }
    const std::vector<SplinePoint>* controlPointNormalVectors() const { return &controlPointNormals_; }
    const std::vector<SplinePoint>* splinePoints() const { return &splinePoints_; }
    const std::vector<SplinePoint>* splinePointNormalVectors() const { return &splinePointNormals_; }

    unsigned long level() const { return level_; }
    unsigned long numControlPoints() const { return numControlPoints_; }
    unsigned long numSplinePoints() const { return numSplinePoints_; }

    // Refines the control points into numControlPoints * 2^level spline points (every 2^level-th
    // point is a control point) and computes the unit normals of all of them. Uses the stored
    // count of control points, or fewer when the vector holds fewer; with fewer than 2 control
    // points the spline is left without points. A normal that is undefined (a point whose two
    // neighbours lie in the same direction) is (0, 0).
    void buildOrRebuildSpline();

    // Each point as "x y ; " on one line, followed by two line breaks, on standard output.
    void printControlPoints() const;
    void printControlPointNormalVectors() const;
    void printSplinePoints() const;
    void printSplinePointNormalVectors() const;

private:
    std::vector<SplinePoint> controlPoints_;
    std::vector<SplinePoint> controlPointNormals_;
    std::vector<SplinePoint> splinePoints_;
    std::vector<SplinePoint> splinePointNormals_;
    unsigned long level_ = 0;
    unsigned long numControlPoints_ = 0;
    unsigned long numSplinePoints_ = 0;
};
