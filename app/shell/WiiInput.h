#pragma once
// WiiInput: decodes the OSC datagrams of a Wii bridge and turns them into calls on a WiiHandlers.
// Needs no graphics context and no sockets; the main window feeds it datagrams.
//
// Messages (one per datagram):
//   "/glovepie/wiidata": int32 id; 10 floats (pos x, pos y, eight motion values); 11 bools
//     (up, down, right, left, a, b, plus, minus, home, one, two); bool has Nunchuk; bool c;
//     bool z; 10 floats (Nunchuk: joy x, joy y, ...); bool mode flag. Arguments 9 and 10 are
//     stored swapped (as roll and pitch). Further arguments are reported and skipped; fewer
//     are accepted (the sample keeps its older values).
//   "/glovepie/wiiaction/createobjects": int32 id; int32 count (default 5).
//   "/glovepie/wiiaction/eraseobjects": int32 id; float radius (default 5.0).
// A datagram that is not a well-formed OSC message, or whose arguments have other types than
// these (ints and floats are interchangeable, as are int and bool), is dropped whole.
// Every message is ignored while no remote is configured; an id at or beyond the number of
// remotes changes no sample.
//
// Positions are table pixels; pos x is clamped to [0, width] and pos y to [0, height] of the
// main window.

#include "core/WiiCommunicationData.h"

#include <cstddef>
#include <vector>

using WiiButtons = std::vector<WiiCommunicationData::WIIMOTE_BUTTON>;

class WiiHandlers {
public:
    virtual ~WiiHandlers() = default;
    // Device is the pointer number of the remote: number of touch users + remote id.
    virtual void wiiPress(int x, int y, unsigned int device, WiiButtons& wentDown,
                          WiiCommunicationData& sample) = 0;
    virtual void wiiRelease(int x, int y, unsigned int device, WiiButtons& wentUp,
                            WiiCommunicationData& sample) = 0;
    virtual void wiiMove(int x, int y, unsigned int device, WiiButtons& wentDown,
                         WiiCommunicationData& sample) = 0;
    // Joystick pointing of a sample with Nunchuk: the joystick deflection scaled to pixels.
    virtual void wiiPoint(int dx, int dy, unsigned int device, WiiButtons& wentDown,
                          WiiCommunicationData& sample, bool zJustReleased) = 0;
    // The bridge's mode flag: false while it is clear, true when it changes to set.
    virtual void wiiModeFlag(bool on) = 0;
    virtual void wiiCreateObjects(int count) = 0;
    virtual void wiiEraseObjects(float radius) = 0;
};

class WiiInput {
public:
    enum class Message { Ignored, Malformed, WiiData, CreateObjects, EraseObjects };
    // Number of arguments of a complete "/glovepie/wiidata" message.
    static constexpr int kWiiDataArguments = 36;

    // remotes: configured Wii remotes; users: configured touch users (device numbers of the
    // remotes follow them); width, height: main window size; joystickSpeed: pixels per unit
    // of joystick deflection.
    WiiInput(unsigned int remotes, unsigned int users, int width, int height,
             float joystickSpeed);

    // One datagram; handlers may be null (the samples are still updated).
    Message processDatagram(const char* data, std::size_t size, WiiHandlers* handlers);

    unsigned int remotes() const { return static_cast<unsigned int>(current_.size()); }
    const WiiCommunicationData& current(unsigned int id) const { return current_.at(id); }
    const WiiCommunicationData& previous(unsigned int id) const { return previous_.at(id); }
    bool modeFlag() const { return modeFlag_; }
    bool zJustReleased() const { return zJustReleased_; }
    // The position last handed to the press or move handler.
    int lastPointingX() const { return lastX_; }
    int lastPointingY() const { return lastY_; }
    // Lists of the last "/glovepie/wiidata" message.
    const WiiButtons& wentDown() const { return wentDown_; }
    const WiiButtons& wentUp() const { return wentUp_; }
    unsigned long malformedPackets() const { return malformed_; }

    // The position a press or move is reported at, from the previous and current samples'
    // positions (px, py is the position to report, already chosen). False: no handler runs.
    static bool edgeRule(float previousX, float previousY, float currentX, float currentY,
                         float px, float py, int width, int height, int& x, int& y);

private:
    struct Argument {
        enum Kind { Int, Float, Bool } kind;
        double value;
    };
    static bool readArguments(const char* data, std::size_t size, const char*& address,
                              std::vector<Argument>& args);
    void evaluateWiimoteData(const std::vector<Argument>& args, WiiHandlers* handlers);

    std::vector<WiiCommunicationData> current_;
    std::vector<WiiCommunicationData> previous_;
    unsigned int users_;
    int width_;
    int height_;
    float joystickSpeed_;
    bool modeFlag_ = false;
    bool previousModeFlag_ = false;
    bool zJustReleased_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
    WiiButtons wentDown_;
    WiiButtons wentUp_;
    unsigned long malformed_ = 0;
};

// The joystick pointer of the Nunchuk: moved by the scaled joystick deflection outside a dead
// zone, kept on the widget, and flagged while it touches an edge.
class WiiJoystickPointer {
public:
    enum class Border { Unchanged, Entered, Left };

    // Moves by (dx, dy) unless the joystick rests in the dead zone, then clamps to
    // [0, width] x [0, height]. Entered: the pointer has just reached an edge (the border
    // message carries false); Left: it has just left the edges (true).
    Border step(int dx, int dy, int width, int height);
    // The dead zone is lopsided, as the bridge's joystick rest values are.
    static bool inDeadZone(int dx, int dy) { return -2 < dx && dx < 3 && -2 <= dy && dy < 3; }

    float x = 0.0f;
    float y = 0.0f;
    bool onBorder = false;
};
