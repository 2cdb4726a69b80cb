#pragma once
// Numeric codes shared by epsLens and epsLensSurround. The values are what the lens components,
// the tool brushes and the configuration exchange.

class epsEnums {
public:
    // Distance metrics (norms). LENS_METRIC is for surrounds only: use the owning lens's metric.
    enum DistanceMetric {
        L_ONE = 0,
        L_TWO = 1,
        L_THREE = 2,
        L_INFINITY = 3,
        LENS_METRIC = 4
    };

    // Drop-off profiles of a surround.
    enum DropoffType {
        MANHATTAN = 0,
        LINEAR = 1,
        GAUSSIAN = 2,
        HEMISPHERIC = 3,
        COSINE = 4,
        DROP_GAUSSIAN = 5,
        POWER = 6,
        HYPERBOLIC = 7,
        TRUE_LINEAR = 8
    };

    // Focus shapes. POLYGON_FOCUS is selected by epsLens::setFocusPolygon.
    enum FocusShape {
        POINT_FOCUS = 0,
        HORIZONTAL_SEGMENT_FOCUS = 1,
        VERTICAL_SEGMENT_FOCUS = 2,
        SQUARE_FOCUS = 3,
        RECTANGLE_FOCUS = 4,
        CIRCLE_FOCUS = 5,
        POLYGON_FOCUS = 6
    };
};
