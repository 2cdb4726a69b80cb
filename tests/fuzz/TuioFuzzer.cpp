// Arbitrary datagrams into the TUIO decoder: nothing may crash, and pointers stay balanced.
#include "shell/TuioDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Balance : TouchEventHandler {
    int down[2] = {0, 0};
    void check(int id, int x, int y)
    {
        if ((id & ~0x100) != 0 || x < 0 || y < 0 || x >= 640 || y >= 480) std::abort();
    }
    void OnXYDown(int x, int y, int, int id) override
    {
        check(id, x, y);
        if (down[id >> 8]++ != 0) std::abort(); // pressed twice without a release
    }
    void OnXYMove(int x, int y, int, int id) override
    {
        check(id, x, y);
        if (down[id >> 8] != 1) std::abort();
    }
    void OnXYUp(int x, int y, int, int id) override
    {
        check(id, x, y);
        if (--down[id >> 8] != 0) std::abort();
    }
    void OnDViTRawWidthHeight(int w, int h, int id) override
    {
        if (w < 0 || h < 0 || (id & ~0x100) != 0) std::abort();
    }
    void OnEraser(int) override {}
    void OnPen(int) override {}
    void OnNoTool(int) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Balance balance;
    TuioDecoder decoder(&balance, 640, 480);
    // The same bytes as two datagrams a second apart, then silence releases everything.
    const size_t half = (size / 2) & ~size_t(3);
    decoder.processPacket(reinterpret_cast<const char*>(data), half, "a", 0);
    decoder.processPacket(reinterpret_cast<const char*>(data) + half, size - half, "a", 1000);
    decoder.releaseSilentSources(10000);
    if (balance.down[0] != 0 || balance.down[1] != 0) std::abort();
    return 0;
}
