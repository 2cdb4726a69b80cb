#pragma once
// GeoStrokeLeafGL: a stroke whose shape the user drew on the stroke build canvas, drawn as a
// polyline in its display colour. It does not follow the canvas buffers.
// Coordinates: the polyline is in the stroke's own frame (table pixels about its centre).
// Drawing: an own display list, compiled on first draw and deleted with the stroke.

#include "PrimitiveLeafGL.h"

#include "core/Vector2d.h"

#include <vector>

class GeoStrokeLeafGL : public PrimitiveLeafGL {
public:
    // numSegments: the builder's segment count; a longer polyline is thinned to that many
    // segments (end points kept).
    GeoStrokeLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
                    double rotation, int type, const std::vector<Vector2d>& polyline,
                    int numSegments, double baseSizeFactor = 1.0);
    ~GeoStrokeLeafGL() override;

    const std::vector<Vector2d>& getPolyline() const { return polyline; }
    int getNumberOfSegments() const { return numSegments; }

protected:
    bool hasOwnUpdate() const override { return true; }
    void updateSelf(double) override {}
    void specificRender() override;
    void specificRenderForPicking() override;
    void initialize() override;
    void initializePassiveBuffers() override;

private:
    std::vector<Vector2d> polyline;
    int numSegments;
    unsigned int list = 0;
};
