#pragma once
// What a touch on the painting canvas does: which mode and handler the input combination and
// posture choose (decideTouch), and which tool-state cells, corner-menu icon and path replay a
// handler produces (planHandler). Pure decisions; CanvasCompositeGL carries them out.
//
// Postures: 0 pen, 1 one finger, 2 two fingers, 3 fist, 4 hand, 5 other, 6 none.
// Input combinations: 0 to 7 (0, 5, 6 set by the application, 7 at start).

#include <array>

namespace canvas {

enum class Handler { None, Create, Erase, Orientation, Move, Size, Color };

// The handler of an interaction mode (0 create ... 6 colour), None for 2, 7 and 8.
Handler handlerOfMode(int mode);

struct TouchInput {
    int combo = 7;
    int mode = 2;
    int posture = 6;               // effective posture (fake posture when one is set)
    int previousChosenPosture = 6;
    bool c = false;                // Nunchuk buttons and joystick
    bool z = false;
    float joyX = 0.0f;
    float joyY = 0.0f;
    bool pendingMenuChoice = false;
    bool newTouch = false;         // first contact after a release
    double strength = 5.0;
    int sizeStep = 2;
};

struct TouchDecision {
    int mode = 2;
    bool clearModeChanged = false; // a posture chose a different mode: no label
    Handler handler = Handler::None;
    int handlerPosture = 6;
    double strength = 5.0;
    int sizeStep = 2;
    float diameter = -1.0f;        // preset brush diameter, < 0 for none
    bool writeIdleKind = false;    // cell (0, 0) = 8.0: no tool chosen, or a pending menu choice
    bool dropPendingChoice = false;
    int previousChosenPosture = 6;
};

TouchDecision decideTouch(const TouchInput& in);

struct CellWrite {
    unsigned int column;
    unsigned int row;
    float value;
};

enum class Replay { None, Stamp, SizeChange };

struct HandlerPlan {
    float kind = 0.0f;             // cell (0, 0), written first; < 0 leaves it alone
    Replay replay = Replay::None;  // along the stored touch path, after the kind
    float replayAmount = 0.0f;
    std::array<CellWrite, 3> writes{}; // after the replay, in order
    unsigned int writeCount = 0;
    int icon = -1;                 // corner-menu icon, < 0 for none
    bool rebuild = false;          // an erase along the path: rebuild after the task area
    const char* message = nullptr; // printed as a line

    void add(unsigned int column, unsigned int row, float value)
    {
        if (writeCount < writes.size()) writes[writeCount++] = {column, row, value};
    }
};

HandlerPlan planHandler(Handler handler, const TouchInput& in);

} // namespace canvas
