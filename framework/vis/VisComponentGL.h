#pragma once
// VisComponentGL: the OpenGL side of a component; every stock component derives from it.
// It draws in the component's frame: after doCommonTransformations() the origin is the
// component's centre (table pixels), x along its rotated width, in unmagnified units.
// Ownership: as VisComponent (the controller owns the component).

#include "core/VisComponent.h"

class TabletopVisGL;

class VisComponentGL : public VisComponent {
public:
    VisComponentGL(TabletopVisGL* vis, double width, double height, bool rnt, bool tossing,
                   double x, double y, double z);

protected:
    // Translate to the position, rotate by the rotation (degrees about z), scale by the
    // x and y scale; applied to the current modelview matrix.
    void doCommonTransformations() override;
    // The current colour becomes the id colour (RGB = id bytes).
    void pickingPreparation() override;
};
