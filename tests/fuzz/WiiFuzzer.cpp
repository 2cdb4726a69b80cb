// Arbitrary datagrams through the Wii message decoding: nothing may crash or touch memory it does
// not own, and every handler call stays inside what the configuration allows. Each input is
// decoded twice, so the second pass meets the samples the first one left.
#include "shell/WiiInput.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr unsigned int kUsers = 2;
constexpr unsigned int kRemotes = 2;

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "Wii invariant broken: %s\n", what);
        std::abort();
    }
}

struct Checker : WiiHandlers {
    static void device(unsigned int d)
    {
        require(d >= kUsers && d < kUsers + kRemotes, "device outside the remotes");
    }
    static void position(int x, int y)
    {
        require(x >= 0 && x <= kWidth && y >= 0 && y <= kHeight, "position outside the table");
    }
    void wiiPress(int x, int y, unsigned int d, WiiButtons& b, WiiCommunicationData&) override
    {
        device(d);
        position(x, y);
        require(!b.empty(), "press without a button");
    }
    void wiiRelease(int x, int y, unsigned int d, WiiButtons& b, WiiCommunicationData&) override
    {
        device(d);
        position(x, y);
        require(!b.empty(), "release without a button");
    }
    void wiiMove(int x, int y, unsigned int d, WiiButtons&, WiiCommunicationData&) override
    {
        device(d);
        position(x, y);
    }
    void wiiPoint(int, int, unsigned int d, WiiButtons&, WiiCommunicationData& s, bool) override
    {
        device(d);
        require(s.hasNunchuk(), "pointing without a Nunchuk");
        pointer.step(0, 0, kWidth, kHeight);
    }
    void wiiModeFlag(bool) override {}
    void wiiCreateObjects(int) override {}
    void wiiEraseObjects(float) override {}
    WiiJoystickPointer pointer;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static WiiInput input(kRemotes, kUsers, kWidth, kHeight, 10.0f);
    Checker checker;
    const char* bytes = reinterpret_cast<const char*>(data);
    for (int pass = 0; pass < 2; ++pass) {
        input.processDatagram(bytes, size, &checker);
        for (unsigned int id = 0; id < kRemotes; ++id) {
            const WiiCommunicationData& w = input.current(id);
            require(w.posX >= 0 && w.posX <= kWidth && w.posY >= 0 && w.posY <= kHeight,
                    "stored position outside the window");
        }
    }
    return 0;
}
