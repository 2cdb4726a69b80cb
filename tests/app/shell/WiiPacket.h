#pragma once
// Wii remote samples and actions as OSC datagrams, the way the bridge sends them.

#include <oscpack/osc/OscOutboundPacketStream.h>

#include <string>
#include <vector>

// A "/glovepie/wiidata" sample as the bridge sends it.
struct WiiSample {
    int id = 0;
    float x = 100, y = 100;
    float motion[8] = {3, 4, 5, 6, 7, 8, 9, 10};
    bool buttons[11] = {}; // up down right left a b plus minus home one two
    bool nunchuk = false, c = false, z = false;
    float nunchukFloats[10] = {};
    bool mode = false;
    int extra = 0; // further int arguments
    int truncateTo = -1; // number of arguments sent, -1 all
};

enum { UP, DOWN, RIGHT, LEFT, A, B, PLUS, MINUS, HOME, ONE, TWO };

inline std::string encode(const WiiSample& s)
{
    char buffer[1024];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage("/glovepie/wiidata");
    int n = 0;
    auto room = [&] { return s.truncateTo < 0 || n++ < s.truncateTo; };
    if (room()) p << osc::int32(s.id);
    if (room()) p << s.x;
    if (room()) p << s.y;
    for (float v : s.motion)
        if (room()) p << v;
    for (bool b : s.buttons)
        if (room()) p << b;
    if (room()) p << s.nunchuk;
    if (room()) p << s.c;
    if (room()) p << s.z;
    for (float v : s.nunchukFloats)
        if (room()) p << v;
    if (room()) p << s.mode;
    for (int i = 0; i < s.extra; ++i) p << osc::int32(i);
    p << osc::EndMessage;
    return std::string(p.Data(), p.Size());
}

inline std::string action(const char* address, std::vector<double> ints, std::vector<float> floats = {})
{
    char buffer[256];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage(address);
    for (double v : ints) p << osc::int32(static_cast<int>(v));
    for (float v : floats) p << v;
    p << osc::EndMessage;
    return std::string(p.Data(), p.Size());
}
