#pragma once
// TouchIndicatorGL: draws a user's touch indicator: a small disc in the user's colour that fades
// to half-transparent black, and with the extent on, the outline of the contact's rectangle.
// Needs a current OpenGL context from construction to destruction (owns a display list).
// Coordinates: table pixels (see TouchIndicator).

#include "TouchIndicator.h"

class TouchIndicatorGL : public TouchIndicator {
public:
    TouchIndicatorGL(double x, double y, double z, unsigned long id, double boundWidth,
                     double boundHeight);
    ~TouchIndicatorGL() override;
    void render() override;
    virtual void glRenderWithExtend();

    unsigned int getDisplayList() const { return displayList; }

protected:
    // Picks the colour by user number and compiles the disc.
    void initialize();
    void glRender();

    unsigned int displayList = 0;
};
