#pragma once
// One sample of a Nunchuk attached to a Wii remote, as the input side decodes it. A plain record:
// copied by value, all values 0 / false on construction.

class NunchukCommunicationData {
public:
    // Joystick deflection.
    float joyX = 0.0f;
    float joyY = 0.0f;
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
    // Buttons.
    bool c = false;
    bool z = false;
};
