// Arbitrary datagrams through the TUIO decoder and the touch callbacks into a controller with the
// bundled configuration's users: nothing may crash or touch memory it does not own, the decoder
// keeps its pointers balanced, and every contact is released in the end.
#include "config/QTVeskConfiguration.h"
#include "shell/PointerInput.h"
#include "shell/TuioDecoder.h"
#include "vis/TabletopVis.h"
#include "vis/TouchIndicator.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "TUIO invariant broken: %s\n", what);
        std::abort();
    }
}

// The controller as the graphics implementation sets it up (one touch indicator per user),
// without a graphics context.
class Controller : public TabletopVis {
public:
    explicit Controller(unsigned int users) : TabletopVis(users, 64, 48, kWidth, kHeight)
    {
        for (unsigned int u = 0; u < users; ++u)
            touchIndicators[u] = new TouchIndicator(100, 100, 1, u, 2.0, 20.0);
    }
    ~Controller() override
    {
        for (TouchIndicator*& t : touchIndicators) delete t;
    }
    // The pointer bookkeeping of one frame that needs no graphics.
    void frame()
    {
        for (unsigned int u = 0; u < numberOfUsers; ++u) {
            moveTouchIndicator(u);
            resizeTouchIndicator(u);
            if (checkDoDrawingForUser(u))
                require(getPosXToPaint(u) < kWidth && getPosYToPaint(u) < kHeight,
                        "pointer outside the surface");
        }
    }
};

// Checks what the decoder reports, then hands it on unchanged.
struct Balance : TouchEventHandler {
    explicit Balance(TouchEventHandler* next) : next(next) {}
    TouchEventHandler* next;
    int down[2] = {0, 0};
    void check(int id, int x, int y)
    {
        require((id & ~0x100) == 0, "pointer id beyond the two tracked pointers");
        require(x >= 0 && y >= 0 && x < kWidth && y < kHeight, "position outside the window");
    }
    void OnXYDown(int x, int y, int z, int id) override
    {
        check(id, x, y);
        require(down[id >> 8]++ == 0, "pressed twice without a release");
        next->OnXYDown(x, y, z, id);
    }
    void OnXYMove(int x, int y, int z, int id) override
    {
        check(id, x, y);
        require(down[id >> 8] == 1, "moved while up");
        next->OnXYMove(x, y, z, id);
    }
    void OnXYUp(int x, int y, int z, int id) override
    {
        check(id, x, y);
        require(--down[id >> 8] == 0, "released while up");
        next->OnXYUp(x, y, z, id);
    }
    void OnDViTRawWidthHeight(int w, int h, int id) override
    {
        require(w >= 0 && h >= 0 && (id & ~0x100) == 0, "negative contact size");
        next->OnDViTRawWidthHeight(w, h, id);
    }
    void OnEraser(int id) override { next->OnEraser(id); }
    void OnPen(int id) override { next->OnPen(id); }
    void OnNoTool(int id) override { next->OnNoTool(id); }
};

unsigned int bundledUsers = 1;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const QTVeskConfiguration bundled(QStringLiteral(NPR_BUNDLED_CONFIG));
    require(bundled.readError().isEmpty(), "the bundled configuration does not read");
    bundledUsers = bundled.userdata.number + bundled.userdata.wiis;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One controller for the whole run, as in the program: a pointer out of range is reported
    // once, not for every input.
    static Controller vis(bundledUsers);
    static PointerInput input;
    if (!input.controller()) {
        input.setController(&vis);
        input.setSurfaceHeight(kHeight);
    }
    Balance balance(&input);
    TuioDecoder decoder(&balance, kWidth, kHeight);
    // The same bytes as two datagrams a second apart, then silence releases everything.
    const size_t half = (size / 2) & ~size_t(3);
    decoder.processPacket(reinterpret_cast<const char*>(data), half, "a", 0);
    vis.frame();
    decoder.processPacket(reinterpret_cast<const char*>(data) + half, size - half, "a", 1000);
    vis.frame();
    decoder.releaseSilentSources(10000);
    vis.frame();
    require(balance.down[0] == 0 && balance.down[1] == 0, "a contact outlived its sender");
    for (unsigned int u = 0; u < vis.getNumberOfUsers(); ++u)
        require(!vis.getDeviceIsPressed(u), "the controller kept a pointer down");
    return 0;
}
