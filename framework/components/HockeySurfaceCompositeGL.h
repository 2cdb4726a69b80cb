#pragma once
// HockeySurfaceCompositeGL: the air-hockey rink. A surface over the whole screen (plus its
// overflow margin) whose paddles and pucks are its children and meet only through two of its
// active buffers (see HockeyPhysics.h for their layout):
//  - tag 18, the paddle table, written by the paddles each frame and read by the pucks;
//  - tag 17, the friction map: `friction` everywhere but a slower strip (0.8) in the middle,
//    which brakes pucks and tossed paddles alike.
// Goals are openings in the left and right screen edges between getLowerGoalHeight() and
// getUpperGoalHeight() (table pixels). The markings (centre line and circle, goal creases and
// openings, the slow strip) are one display list drawn over the surface's border.
//
// Coordinates: table pixels; the markings are built in the rink's centred frame.
// Ownership: as SurfaceCompositeGL; the markings list is deleted with the rink.
// Context: construct and destroy with the controller's OpenGL context current.

#include "SurfaceCompositeGL.h"

class HockeySurfaceCompositeGL : public SurfaceCompositeGL {
public:
    HockeySurfaceCompositeGL(TabletopVisGL* vis, unsigned int width, unsigned int height,
                             double x, double y, double z, double borderSize, double overflowSize,
                             double friction);
    ~HockeySurfaceCompositeGL() override;

    // Table heights bounding the goal openings: h ∓ h·goalFraction − overflow, h the half height.
    double getLowerGoalHeight() const;
    double getUpperGoalHeight() const;
    double getFriction() const { return friction; }
    double getGoalDepth() const { return goalDepth; }
    double getGoalFraction() const { return goalFraction; }

protected:
    // Relative size (the surface's), the paddle table (all 0) and the friction map.
    void createActiveBuffers() override;
    void buildOrRebuildRenderDisplayLists() override;
    void specificRenderAdditional() override;

    unsigned int markingsList = 0;
    double friction;
    const double goalDepth = 0.1;
    const double goalFraction = 0.25;
};
