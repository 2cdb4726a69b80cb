#pragma once
// StrokeSimulation: the brush of the stroke build canvas, a damped mass on a spring that follows
// the finger. Every finger position is one step; the brush's speed sets the stroke width (a fast
// brush draws thin, a slow one wide) and at the start of a stroke a taper lets a start-speed
// substitute stand in for the speed. GL-free.
//
// Units: finger and brush positions in table pixels; the panel is given by its centre and size
// in table pixels; the brush position and velocity are also kept normalised by the panel size.
// All arithmetic is in single precision.

#include "canvas/ControlPoint2D.h"

namespace strokesim {

// The seven simulation parameters p1 ... p7.
struct Parameters {
    double spring = 0.05;     // p1: spring constant
    double drag = 0.8;        // p2: velocity kept per step
    double widthScale = 2.0;  // p3: speed to width
    double upperWidth = 30.0; // p4: widest stroke (and the brush's margin inside the panel)
    double lowerWidth = 10.0; // p5: thinnest stroke
    double mass = 1.0;        // p6
    double startSpeed = 0.065; // p7: speed substitute while the taper is near 1
};

// The preset of a posture (0 pen, 1 one finger, 2 two fingers, 3 fist); false for others.
bool presetForPosture(int posture, Parameters* out);

// 1 - sin(t * pi/2 / T) while t <= T, 0 afterwards (and for T <= 0).
float taperFactor(float t, float duration);

// max(lower, upper - 700 * min(w, upper)).
float strokeWidth(float w, float upper, float lower);

} // namespace strokesim

class StrokeSimulation {
public:
    // Steps over which the start-speed substitute fades out.
    static constexpr float kTaperDuration = 10.0f;

    void setPanel(double x, double y, double width, double height);
    void setParameters(const strokesim::Parameters& p) { params = p; }
    const strokesim::Parameters& getParameters() const { return params; }
    // lower becomes p5, upper p4.
    void setRangeLimits(double lower, double upper);
    void setTaperDuration(float steps) { taperDuration = steps; }

    // Puts the brush at rest on (x, y) and restarts the step counter.
    void start(double x, double y);

    struct Step {
        float width = 0.0f;   // stroke width of this step
        ControlPoint2D point; // at the previous brush position, radius width / 2, attribute 1
    };
    // One step towards the finger; the previous brush position is then the current one.
    Step step(double fingerX, double fingerY);

    float taperFactor() const { return strokesim::taperFactor(t, taperDuration); }
    float getBrushX() const { return bx; }
    float getBrushY() const { return by; }
    float getVelocityX() const { return vx; }
    float getVelocityY() const { return vy; }
    float getSteps() const { return t; }

private:
    strokesim::Parameters params;
    float panelX = 0.0f, panelY = 0.0f, panelWidth = 1.0f, panelHeight = 1.0f;
    float px = 0.0f, py = 0.0f, vx = 0.0f, vy = 0.0f;
    float bx = 0.0f, by = 0.0f, previousBx = 0.0f, previousBy = 0.0f;
    float t = 0.0f;
    float taperDuration = kTaperDuration;
};
