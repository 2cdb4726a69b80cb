#pragma once
// Points of the EPS lens model, in the caller's frame (buffer cells for lenses and brushes).
// z is height above the table's base plane, in the same units.

struct epsPoint {
    float x = 0.0f;
    float y = 0.0f;
};

struct epsPoint3D {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
