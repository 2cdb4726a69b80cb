#include "canvas/TouchDispatch.h"

#include <algorithm>

namespace canvas {

namespace {

constexpr int kPen = 0, kOneFinger = 1, kTwoFingers = 2, kFist = 3, kHand = 4, kOther = 5;

double clampStrength(double s) { return std::clamp(s, 2.0, 30.0); }

// Enters a posture-chosen mode; a different mode shows no label.
void enterMode(TouchDecision& d, int mode)
{
    if (d.mode != mode) d.clearModeChanged = true;
    d.mode = mode;
}

} // namespace

Handler handlerOfMode(int mode)
{
    switch (mode) {
    case 0: return Handler::Create;
    case 1: return Handler::Erase;
    case 3: return Handler::Orientation;
    case 4: return Handler::Move;
    case 5: return Handler::Size;
    case 6: return Handler::Color;
    default: return Handler::None;
    }
}

TouchDecision decideTouch(const TouchInput& in)
{
    TouchDecision d;
    d.mode = in.mode;
    d.handlerPosture = in.posture;
    d.strength = in.strength;
    d.sizeStep = in.sizeStep;
    d.previousChosenPosture = in.previousChosenPosture;

    switch (in.combo) {
    case 0:
    case 1:
    case 2:
        d.handler = handlerOfMode(in.mode);
        break;
    case 3:
    case 4:
    case 5:
        switch (in.posture) {
        case kOneFinger:
            enterMode(d, 2);
            if (in.z) d.strength = clampStrength(d.strength - 2.0 * in.joyY);
            d.handler = in.c ? Handler::Erase : Handler::Create;
            break;
        case kTwoFingers:
            enterMode(d, 3);
            d.handler = Handler::Orientation;
            break;
        case kFist:
            enterMode(d, 4);
            d.handler = Handler::Move;
            break;
        case kHand:
            enterMode(d, 5);
            if (in.z)
                d.sizeStep = std::clamp(d.sizeStep - static_cast<int>(2.0f * in.joyY), 1, 10);
            d.handler = Handler::Size;
            break;
        default: // pen, other, none: nothing
            break;
        }
        break;
    case 6:
        d.handlerPosture = kOther;
        if (in.mode == 2) {
            if (in.c && in.z) {
                d.handler = Handler::Erase;
            } else if (in.pendingMenuChoice) {
                if (in.newTouch) {
                    d.dropPendingChoice = true;
                } else {
                    d.mode = 8;
                    d.writeIdleKind = true;
                }
            } else if (!in.c && !in.z) {
                d.handler = Handler::Create;
            }
        } else {
            d.handler = handlerOfMode(in.mode);
        }
        break;
    case 7: {
        const bool changed = in.previousChosenPosture != in.posture;
        switch (in.posture) {
        case kOneFinger:
            enterMode(d, 2);
            if (changed) { d.strength = 2.0; d.diameter = 20.0f; }
            d.handler = Handler::Create;
            break;
        case kFist:
            enterMode(d, 2);
            if (changed) { d.strength = 15.0; d.diameter = 130.0f; }
            d.handler = Handler::Create;
            break;
        case kHand:
            enterMode(d, 2);
            if (changed) { d.strength = -10.0; d.diameter = 200.0f; }
            d.handler = Handler::Erase;
            break;
        case kTwoFingers:
            enterMode(d, 3);
            if (changed) d.diameter = 80.0f;
            d.handler = Handler::Orientation;
            break;
        case kPen:
        case 6:
            enterMode(d, 7);
            break;
        default: // other: only remembered
            break;
        }
        d.previousChosenPosture = in.posture;
        break;
    }
    default:
        break;
    }
    // A touch that chooses no tool leaves the brush idle: otherwise the brush would keep writing
    // whatever kind an earlier touch or the initial grid left in cell (0, 0). The Wii pointing
    // combination has button rules of its own.
    if (d.handler == Handler::None && in.combo != 6) d.writeIdleKind = true;
    return d;
}

HandlerPlan planHandler(Handler handler, const TouchInput& in)
{
    HandlerPlan p;
    const int combo = in.combo;
    const int posture = in.posture;
    const float strength = static_cast<float>(in.strength);
    if (combo == 2 || handler == Handler::None) {
        p.kind = -1.0f;
        return p;
    }
    const bool direct = combo == 0 || combo == 1;
    const bool nunchukModes = combo >= 3 && combo <= 5;

    switch (handler) {
    case Handler::Create:
        p.kind = 4.0f;
        p.icon = 2;
        if (direct) {
            float s = 0.0f;
            if (posture == kOneFinger) s = 1.0f;
            else if (posture == kTwoFingers) s = 5.0f;
            else if (posture == kFist) s = 30.0f;
            else if (posture == kHand) s = -30.0f;
            if (s != 0.0f) {
                p.replay = Replay::Stamp;
                p.replayAmount = s;
                p.add(4, 1, s);
            } else {
                // Pen, other and a posture not yet recognised have no strength: the brush stays
                // idle rather than create with whatever strength the cell still holds.
                p.kind = 8.0f;
            }
            if (posture == kHand) {
                p.rebuild = true;
                p.message = "current Posture: HAND";
            }
        } else if (combo == 6) {
            p.add(4, 1, strength);
        } else { // 3 to 5 and 7
            p.replay = Replay::Stamp;
            p.replayAmount = strength;
            p.add(4, 1, strength);
        }
        break;
    case Handler::Erase:
        p.kind = 4.0f;
        p.icon = 3;
        if (direct) {
            float s = 0.0f;
            if (posture == kOneFinger) s = -2.0f;
            else if (posture == kTwoFingers) s = -5.0f;
            else if (posture == kFist) s = -10.0f;
            else if (posture == kHand) s = -30.0f;
            if (s != 0.0f) {
                p.replay = Replay::Stamp;
                p.replayAmount = s;
                p.add(4, 1, s);
                p.rebuild = true;
            } else {
                p.kind = 8.0f; // as for create
            }
        } else if (combo == 7) {
            p.replay = Replay::Stamp;
            p.replayAmount = -30.0f;
            p.add(4, 1, strength);
            p.rebuild = true;
        } else { // 3 to 6
            p.add(4, 1, -strength);
        }
        break;
    case Handler::Orientation:
        p.kind = 2.0f;
        if (direct) {
            if (posture == kOneFinger) { p.add(2, 1, 3.0f); p.icon = 4; }
            else if (posture == kTwoFingers) { p.add(2, 1, 0.0f); p.icon = 6; }
            else if (posture == kFist) { p.add(2, 1, 1.0f); p.icon = 5; }
            else if (posture == kHand) {
                p.replay = Replay::Stamp;
                p.replayAmount = -30.0f;
                p.rebuild = true;
            }
        } else if (nunchukModes) {
            if (in.c) { p.add(2, 1, 1.0f); p.icon = 5; }
            else if (in.z) { p.add(2, 1, 0.0f); p.icon = 6; }
            else { p.add(2, 1, 3.0f); p.icon = 4; }
        } else if (combo == 6) {
            const float x = in.joyX, y = in.joyY;
            if (x < -0.85f && y > -0.4f && y < 0.4f) { p.add(2, 1, 3.0f); p.icon = 4; }
            else if (x > -0.85f && x < -0.4f && y > -0.8f && y < -0.4f) { p.add(2, 1, 1.0f); p.icon = 5; }
            else if (x > -0.85f && x < -0.4f && y > 0.4f && y < 0.8f) { p.add(2, 1, 0.0f); p.icon = 6; }
        } else { // 7
            p.add(2, 1, 3.0f);
            p.icon = 4;
        }
        break;
    case Handler::Move:
        p.kind = 5.0f;
        if (direct) {
            if (posture == kHand) {
                p.replay = Replay::Stamp;
                p.replayAmount = -30.0f;
                p.rebuild = true;
            } else if (posture == kTwoFingers) { p.add(5, 1, 1.0f); p.icon = 8; }
            else if (posture == kFist) { p.add(5, 1, 0.0f); p.icon = 9; }
            else { p.add(5, 1, 3.0f); p.icon = 7; }
        } else if (nunchukModes) {
            if (in.c) { p.add(5, 1, 0.0f); p.icon = 9; }
            else if (in.z) { p.add(5, 1, 1.0f); p.icon = 8; }
            else { p.add(5, 1, 3.0f); p.icon = 7; }
        } else if (combo == 6) {
            const float x = in.joyX, y = in.joyY;
            if (x > 0.85f && y > -0.4f && y < 0.4f) { p.add(5, 1, 3.0f); p.icon = 7; }
            else if (x > 0.4f && x < 0.85f && y > -0.8f && y < -0.4f) { p.add(5, 1, 1.0f); p.icon = 8; }
            else if (x > 0.4f && x < 0.85f && y > 0.4f && y < 0.8f) { p.add(5, 1, 0.0f); p.icon = 9; }
        }
        break;
    case Handler::Size:
        p.kind = 9.0f;
        if (direct) {
            const float amount = (posture == kFist || posture == kHand) ? -1.0f : 5.0f;
            p.replay = Replay::SizeChange;
            p.replayAmount = amount;
            p.add(9, 1, amount);
            p.icon = amount > 0.0f ? 10 : 11;
        } else if (nunchukModes) {
            const float step = static_cast<float>(in.sizeStep);
            p.add(9, 1, in.c ? -step : step);
            p.icon = in.c ? 11 : 10;
        } else if (combo == 6) {
            const bool bigger = in.joyY >= 0.0f;
            p.add(9, 1, bigger ? 3.0f : -2.0f);
            p.icon = bigger ? 10 : 11;
        }
        break;
    case Handler::Color:
        p.kind = 3.0f;
        if (direct && posture == kHand) {
            p.replay = Replay::Stamp;
            p.replayAmount = -30.0f;
            p.add(0, 0, 4.0f);
            p.add(4, 1, -100.0f);
            p.rebuild = true;
        }
        break;
    case Handler::None:
        break;
    }
    return p;
}

} // namespace canvas
