#pragma once
// StickyNoteLeafGL: a pale yellow note people write on with a finger. Its picture is its own
// 512 × 512 off-screen target: a tap on the pen corner (top left) or eraser corner (top right)
// turns on writing, and touches then draw black strokes (or erase in the note's colour) until one
// second passes without a stroke step; otherwise the note moves, rotates, tosses and resizes like
// an image. Releasing a touch deselects the note so its RNT circle does not show while writing.
//
// Coordinates and context: as BasicImageGL. Ownership: the note's texture and target.

#include "AbstractImageGL.h"

class StickyNoteLeafGL : public AbstractImageGL {
public:
    // The note's paper colour (RGBA).
    static constexpr float kPaper[4] = {1.0f, 1.0f, 0.4f, 1.0f};

    StickyNoteLeafGL(TabletopVisGL* vis, double width, double height, bool rnt, bool tossing,
                     double x, double y, double z, double rotation);
    ~StickyNoteLeafGL() override;

    // Notes follow their container's size, magnification, movement and orientation fields.
    bool isAnimatingAbsoluteSize() override { return true; }
    bool isAnimatingDirection() override { return true; }
    bool isAnimatingOrienation() override { return true; }
    bool isAnimatingRelativeSize() override { return true; }

    // (x, y): the pointer in table pixels. Returns 7 or 8 while writing, else the touch's code.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

protected:
    void initializePassiveBuffers() override;

    PBuffer paper;

private:
    void preparePaper();
};
