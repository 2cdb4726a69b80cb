#pragma once
// One sample of a Wii remote (and its Nunchuk, when attached), carried from the input side
// through the controller to the components. A plain record: copy assignment copies the whole
// sample; everything is 0 / false on construction. Pointing positions are in table pixels.

#include "NunchukCommunicationData.h"

#include <cstdint>

class WiiCommunicationData {
public:
    // Remote buttons, as passed alongside a sample in lists of pressed or released buttons.
    enum WIIMOTE_BUTTON {
        A = 0,
        B = 1,
        C = 2, // Nunchuk
        Z = 3, // Nunchuk
        PLUS = 4,
        MINUS = 5,
        HOME = 6,
        ONE = 7,
        TWO = 8,
        UP = 9,
        DOWN = 10,
        LEFT = 11,
        RIGHT = 12
    };

    // Index of the remote, 0-based.
    std::int32_t wiiId = 0;

    // The ten floats, in order. Pointing position in table pixels.
    float posX = 0.0f;
    float posY = 0.0f;
    // Acceleration.
    float gx = 0.0f;
    float gy = 0.0f;
    float gz = 0.0f;
    // Further motion values of the sample, passed on unnamed (floats 6 to 8 of ten).
    float motion6 = 0.0f;
    float motion7 = 0.0f;
    float motion8 = 0.0f;
    // Orientation.
    float pitch = 0.0f;
    float roll = 0.0f;

    // The eleven buttons, true while held.
    bool up = false;
    bool down = false;
    bool right = false;
    bool left = false;
    bool a = false;
    bool b = false;
    bool plus = false;
    bool minus = false;
    bool home = false;
    bool one = false;
    bool two = false;

    bool hasNunchuk() const;
    void hasNunchuk(bool attached);

    // The Nunchuk part of the sample (owned by the record); meaningful while hasNunchuk() is true.
    NunchukCommunicationData& nunchuk();
    const NunchukCommunicationData& nunchuk() const;

private:
    bool hasNunchuk_ = false;
    NunchukCommunicationData nunchuk_;
};
