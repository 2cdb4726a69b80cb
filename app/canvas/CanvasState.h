#pragma once
// Small pieces of the painting canvas's state that need no GL: the mode-label fade, the
// deferred buffer clears and the touch records. CanvasCompositeGL composes them.

namespace canvas {

// The label shown when a mode is chosen, or null for modes without one (2, 7, 8).
const char* modeLabel(int mode);
// Index of the mode's label display list (Create 0, Erase 1, Color 2, Size 3, Move 4,
// Orientation 5), or -1 for modes without a label.
int modeLabelList(int mode);

} // namespace canvas

// Fade of the mode label: in from 0.1 by 0.03 a frame, out by 0.2 a frame once 1.0 is reached.
class ModeLabelFader {
public:
    static constexpr float kStartAlpha = 0.1f;

    // Starts the fade again from the beginning.
    void restart()
    {
        alpha = kStartAlpha;
        fadingOut = false;
    }
    // One frame's step after drawing with getAlpha(). Returns false once the label has faded out
    // (alpha reset to 0.1); the caller then stops showing it.
    bool step();
    float getAlpha() const { return alpha; }
    bool isFadingOut() const { return fadingOut; }
    // The font warm-up list is drawn along with the label while alpha is below 0.2.
    bool wantsWarmUp() const { return alpha < 0.2f; }

private:
    float alpha = kStartAlpha;
    bool fadingOut = false;
};

// A buffer clear requested during a frame and run by a later renderIntoBuffers: with delay 0 at
// the next pass, with delay 1 one pass after that (so brushes of the current frame still see the
// contents).
class DeferredRequest {
public:
    explicit DeferredRequest(int delayPasses) : delay(delayPasses) {}
    void request() { requested = true; }
    bool isRequested() const { return requested; }
    // Called once per pass; true when the clear runs now (the request is then reset).
    bool pass()
    {
        if (!requested) return false;
        if (delay > 0 && !armed) {
            armed = true;
            return false;
        }
        requested = false;
        armed = false;
        return true;
    }

private:
    int delay;
    bool requested = false;
    bool armed = false;
};

// Last known position and contact of one pointer slot (table pixels).
struct CanvasTouchRecord {
    bool active = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
