#include "shell/WiiInput.h"

#include "OutputCapture.h"

#include "WiiPacket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using W = WiiCommunicationData;

struct Call {
    std::string kind;
    int x = 0, y = 0;
    unsigned int device = 0;
    WiiButtons buttons;
    bool flag = false;
    float value = 0;
};

struct Recorder : WiiHandlers {
    std::vector<Call> calls;
    void wiiPress(int x, int y, unsigned int d, WiiButtons& b, W&) override
    {
        calls.push_back({"press", x, y, d, b});
    }
    void wiiRelease(int x, int y, unsigned int d, WiiButtons& b, W&) override
    {
        calls.push_back({"release", x, y, d, b});
    }
    void wiiMove(int x, int y, unsigned int d, WiiButtons& b, W&) override
    {
        calls.push_back({"move", x, y, d, b});
    }
    void wiiPoint(int dx, int dy, unsigned int d, WiiButtons& b, W&, bool z) override
    {
        calls.push_back({"point", dx, dy, d, b, z});
    }
    void wiiModeFlag(bool on) override { calls.push_back({"mode", 0, 0, 0, {}, on}); }
    void wiiCreateObjects(int n) override { calls.push_back({"create", n, 0, 0, {}}); }
    void wiiEraseObjects(float r) override { calls.push_back({"erase", 0, 0, 0, {}, false, r}); }
    // The handler calls only, without the mode and pointing notes.
    std::vector<Call> handlers() const
    {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.kind == "press" || c.kind == "release" || c.kind == "move") out.push_back(c);
        return out;
    }
};

constexpr int kW = 800;
constexpr int kH = 600;

struct Fixture {
    WiiInput input{2, 1, kW, kH, 10.0f};
    Recorder rec;
    WiiInput::Message send(const std::string& d) { return input.processDatagram(d.data(), d.size(), &rec); }
};

TEST(WiiInput, FillsTheSampleInArgumentOrderWithNineAndTenSwapped)
{
    Fixture f;
    WiiSample s;
    s.id = 1;
    s.buttons[HOME] = true;
    s.nunchuk = true;
    s.c = true;
    for (int i = 0; i < 10; ++i) s.nunchukFloats[i] = 0.1f * float(i + 1);
    EXPECT_EQ(f.send(encode(s)), WiiInput::Message::WiiData);
    const W& w = f.input.current(1);
    EXPECT_EQ(std::vector<float>({w.posX, w.posY, w.gx, w.gy, w.gz, w.motion6, w.motion7,
                                  w.motion8, w.pitch, w.roll}),
              std::vector<float>({100, 100, 3, 4, 5, 6, 7, 8, 10, 9}));
    EXPECT_TRUE(w.home && !w.a && w.hasNunchuk() && w.nunchuk().c);
    EXPECT_FLOAT_EQ(w.nunchuk().joyX, 0.1f);
    EXPECT_FLOAT_EQ(w.nunchuk().roll, 1.0f);
    EXPECT_EQ(f.input.current(0).posX, 0.0f); // the other remote is untouched
    // The pointing position is clamped to the window.
    for (float x : {-10.0f, kW + 5.0f}) {
        s.x = x;
        s.y = kH - x;
        f.send(encode(s));
        EXPECT_EQ(std::make_pair(w.posX, w.posY), x < 0 ? std::make_pair(0.0f, float(kH))
                                                        : std::make_pair(float(kW), 0.0f));
    }
}

TEST(WiiInput, WentDownAndWentUpListsFollowArgumentOrder)
{
    Fixture f;
    WiiSample s;
    s.z = true; // without a Nunchuk: not stored
    f.send(encode(s));
    EXPECT_FALSE(f.input.current(0).nunchuk().z);
    EXPECT_TRUE(f.input.wentDown().empty());
    s.z = false;
    s.nunchuk = true;
    s.buttons[TWO] = s.buttons[UP] = s.buttons[A] = true;
    s.c = true;
    f.send(encode(s));
    EXPECT_EQ(f.input.wentDown(), WiiButtons({W::UP, W::A, W::TWO, W::C}));
    EXPECT_TRUE(f.input.wentUp().empty());
    s.buttons[UP] = s.buttons[A] = false;
    s.c = false;
    s.buttons[LEFT] = true;
    f.send(encode(s));
    EXPECT_EQ(f.input.wentDown(), WiiButtons({W::LEFT}));
    EXPECT_EQ(f.input.wentUp(), WiiButtons({W::UP, W::A, W::C}));
}

TEST(WiiInput, HeldZStaysInTheWentDownListButPressesOnce)
{
    Fixture f;
    WiiSample s;
    s.nunchuk = true;
    f.send(encode(s)); // the remote points at the table
    s.mode = true;
    s.z = true;
    f.send(encode(s));
    s.x = 110;
    f.send(encode(s));
    ASSERT_EQ(f.rec.handlers().size(), 2u);
    EXPECT_EQ(f.rec.handlers()[0].kind, "press");
    EXPECT_EQ(f.rec.handlers()[1].kind, "move");
    EXPECT_EQ(f.rec.handlers()[1].buttons, WiiButtons({W::Z}));
    s.z = false;
    f.send(encode(s));
    EXPECT_EQ(f.rec.handlers().back().kind, "release");
    EXPECT_EQ(f.rec.handlers().back().buttons, WiiButtons({W::Z}));
    EXPECT_TRUE(f.input.zJustReleased());
    EXPECT_TRUE(f.rec.calls.back().flag); // the pointing handler hears of the release
}

TEST(WiiInput, HandlerPriorityPressThenReleaseThenMove)
{
    // Each row: buttons of the first and of the second message, mode flag; expected handler
    // of the second message ("" none).
    const struct {
        std::vector<int> first, second;
        bool mode;
        const char* handler;
    } cases[] = {
        {{}, {A}, false, "press"},
        {{B}, {A}, true, "press"},          // a press wins over b's release
        {{B}, {}, true, "release"},         // a release wins over the move
        {{A}, {A}, false, ""},              // held a: no second press
        {{A}, {A}, true, ""},               // held a blocks the move
        {{}, {}, true, "move"},
        {{}, {UP}, true, "move"},           // the direction pad selects no branch
        {{MINUS}, {PLUS}, false, "press"},        // any of the nine, not only a and b
    };
    for (const auto& c : cases) {
        Fixture f;
        WiiSample s;
        s.mode = c.mode;
        for (int b : c.first) s.buttons[b] = true;
        f.send(encode(s));
        const std::size_t before = f.rec.handlers().size();
        WiiSample t = s;
        for (bool& b : t.buttons) b = false;
        for (int b : c.second) t.buttons[b] = true;
        f.send(encode(t));
        const auto calls = f.rec.handlers();
        const std::string got = calls.size() > before ? calls.back().kind : "";
        EXPECT_EQ(got, c.handler) << "case " << (&c - cases);
        EXPECT_LE(calls.size(), before + 1);
    }
}

TEST(WiiInput, PressAtTheMeanPositionByTheEdgeRuleReleaseWithoutIt)
{
    Fixture f;
    WiiSample s;
    s.x = 100;
    s.y = 200;
    f.send(encode(s));
    s.x = 201;
    s.y = 301;
    s.buttons[B] = true;
    f.send(encode(s));
    ASSERT_EQ(f.rec.handlers().size(), 1u);
    const Call press = f.rec.handlers()[0];
    EXPECT_EQ(press.x, 150);
    EXPECT_EQ(press.y, 250);
    EXPECT_EQ(press.device, 1u); // one touch user, remote 0
    // A release on the table's edge: no edge rule.
    s.x = 0;
    s.y = 0;
    s.buttons[B] = false;
    f.send(encode(s));
    const Call release = f.rec.handlers().back();
    EXPECT_EQ(release.kind, "release");
    EXPECT_EQ(release.x, 100);
    EXPECT_EQ(release.y, 150);
    EXPECT_EQ(f.input.lastPointingX(), 150); // left alone by the release

    // previous (x, y), current (x, y); expected result (ok, x, y) at the mean position.
    const struct {
        float px, py, cx, cy;
        bool ok;
        int x, y;
    } cases[] = {
        {100, 100, 200, 300, true, 150, 200},
        {100, kH, 100, kH, true, 100, kH},   // y not below H
        {100, 0, 100, kH, false, 0, 0},      // neither
        {0, 100, 0, 300, true, 0, 200},      // left of the table
        {0, 100, kW, 300, false, 0, 0},      // both sides
        {0, 100, 100, 100, true, 0, 100},    // one sample outside is enough
        {0.5f, 0.5f, kW - 0.5f, kH - 0.5f, true, 400, 300},
    };
    for (const auto& c : cases) {
        int x = -1, y = -1;
        const bool ok = WiiInput::edgeRule(c.px, c.py, c.cx, c.cy, (c.px + c.cx) / 2,
                                           (c.py + c.cy) / 2, kW, kH, x, y);
        EXPECT_EQ(ok, c.ok) << "case " << (&c - cases);
        if (ok && c.ok) {
            EXPECT_EQ(x, c.x) << "case " << (&c - cases);
            EXPECT_EQ(y, c.y) << "case " << (&c - cases);
        }
    }
}

TEST(WiiInput, ModeFlagReportedWhileClearAndOnItsRise)
{
    Fixture f;
    WiiSample s;
    std::vector<bool> seen;
    for (bool mode : {false, true, true, false}) {
        s.mode = mode;
        f.rec.calls.clear();
        f.send(encode(s));
        for (const Call& c : f.rec.calls)
            if (c.kind == "mode") seen.push_back(c.flag);
        seen.push_back(mode); // separator: the message's own flag
    }
    EXPECT_EQ(seen, std::vector<bool>({false, false, true, true, true, false, false}));
}

TEST(WiiInput, JoystickPointingScaledAndTruncated)
{
    const struct {
        const char* name;
        float joyX, joyY;
        int dx, dy;
    } rows[] = {{"scaled", 0.55f, -0.39f, 5, -3},
                {"RegressionHugeJoystickReadingOverflowedThePixelStep", 7.0e29f, -7.0e29f,
                 1000000, -1000000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Fixture f;
        WiiSample s;
        s.nunchuk = true;
        s.nunchukFloats[0] = row.joyX;
        s.nunchukFloats[1] = row.joyY;
        f.send(encode(s));
        const Call& point = f.rec.calls.back();
        EXPECT_EQ(point.kind, "point");
        EXPECT_EQ(std::make_pair(point.x, point.y), std::make_pair(row.dx, row.dy));
    }
}

TEST(WiiInput, ActionMessagesWithDefaultsAndUnknownIdsOrNoRemotes)
{
    WiiInput input(0, 1, kW, kH, 10.0f);
    Recorder rec;
    WiiSample s;
    s.buttons[A] = true;
    for (const std::string& d :
         {encode(s), action("/glovepie/wiiaction/createobjects", {0}),
          action("/glovepie/wiiaction/eraseobjects", {0})})
        EXPECT_EQ(input.processDatagram(d.data(), d.size(), &rec), WiiInput::Message::Ignored);
    EXPECT_TRUE(rec.calls.empty());

    // Ids outside the configured remotes change no sample.
    Fixture f;
    for (int id : {2, -1}) {
        s.id = id;
        f.send(encode(s));
    }
    EXPECT_FALSE(f.input.current(0).a);
    EXPECT_FALSE(f.input.current(1).a);
    EXPECT_TRUE(f.rec.handlers().empty());

    const struct {
        std::string datagram;
        const char* kind;
        int count;
        float radius;
    } cases[] = {
        {action("/glovepie/wiiaction/createobjects", {0}), "create", 5, 0},
        {action("/glovepie/wiiaction/createobjects", {1, 12}), "create", 12, 0},
        {action("/glovepie/wiiaction/createobjects", {7, 12}), "create", 5, 0},
        {action("/glovepie/wiiaction/eraseobjects", {0}), "erase", 0, 5.0f},
        {action("/glovepie/wiiaction/eraseobjects", {0}, {12.5f}), "erase", 0, 12.5f},
        {action("/glovepie/wiiaction/eraseobjects", {9}, {12.5f}), "erase", 0, 5.0f},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.send(c.datagram);
        ASSERT_EQ(f.rec.calls.size(), 1u);
        EXPECT_EQ(f.rec.calls[0].kind, c.kind);
        EXPECT_EQ(f.rec.calls[0].x, c.count);
        EXPECT_EQ(f.rec.calls[0].value, c.radius);
    }
    EXPECT_EQ(f.send(action("/glovepie/wiiaction/other", {0})), WiiInput::Message::Ignored);
    EXPECT_EQ(f.send(action("/glovepie/wiidata/", {0})), WiiInput::Message::Ignored);
}

TEST(WiiInput, ExtraArgumentsAreReportedAndSkippedAndShortMessagesKeepOlderValues)
{
    Fixture f;
    WiiSample s;
    s.buttons[PLUS] = true;
    f.send(encode(s));
    s.extra = 2;
    s.buttons[B] = true;
    OutputCapture out;
    f.send(encode(s));
    EXPECT_EQ(out.take(),
              "ArgNum: 36\nMore args: implement in wii class and when interpreting UPD package.\n"
              "ArgNum: 37\nMore args: implement in wii class and when interpreting UPD package.\n");
    EXPECT_TRUE(f.input.current(0).b);
    WiiSample t;
    t.x = 300;
    t.truncateTo = 2; // id and pos x only
    EXPECT_EQ(f.send(encode(t)), WiiInput::Message::WiiData);
    EXPECT_EQ(f.input.current(0).posX, 300);
    EXPECT_TRUE(f.input.current(0).plus);
}

TEST(WiiInput, MalformedDatagramsAreDroppedWhole)
{
    WiiSample s;
    s.buttons[A] = true;
    const std::string good = encode(s);
    std::string badPadding = good;
    badPadding[std::string("/glovepie/wiidata").size() + 1] = 'x';
    // A wiidata message of the given arguments.
    auto message = [](auto arguments) {
        char buffer[128];
        osc::OutboundPacketStream p(buffer, sizeof buffer);
        p << osc::BeginMessage("/glovepie/wiidata");
        arguments(p);
        p << osc::EndMessage;
        return std::string(p.Data(), p.Size());
    };
    const std::string stringArgument = message([](auto& p) { p << osc::int32(0) << "text"; });
    const std::string floatId = message([](auto& p) { p << 0.0f; });
    const std::string boolPosition = message([](auto& p) { p << osc::int32(0) << true; });
    const std::string cases[] = {good.substr(0, good.size() - 4), good.substr(0, 7), "",
                                 badPadding, stringArgument, floatId, boolPosition,
                                 std::string("#bundle\0", 8) + std::string(8, '\0')};
    for (const std::string& d : cases) {
        Fixture f;
        EXPECT_EQ(f.send(d), WiiInput::Message::Malformed) << "case " << (&d - cases);
        EXPECT_FALSE(f.input.current(0).a);
        EXPECT_TRUE(f.rec.calls.empty());
    }
    Fixture f;
    f.send(cases[0]);
    EXPECT_EQ(f.send(good), WiiInput::Message::WiiData); // the next datagram is processed
    EXPECT_EQ(f.input.malformedPackets(), 1u);
}

TEST(WiiJoystickPointer, DeadZoneClampAndBorderTransitions)
{
    WiiJoystickPointer p;
    p.x = 100;
    p.y = 100;
    const struct {
        int dx, dy;
        float x, y;
        WiiJoystickPointer::Border border;
    } steps[] = {
        {2, 2, 100, 100, WiiJoystickPointer::Border::Unchanged},   // dead zone
        {-1, -2, 100, 100, WiiJoystickPointer::Border::Unchanged}, // dead zone, lower edge
        {3, 0, 103, 100, WiiJoystickPointer::Border::Unchanged},
        {0, -3, 103, 97, WiiJoystickPointer::Border::Unchanged},
        {-500, 0, 0, 97, WiiJoystickPointer::Border::Entered},
        {0, 900, 0, 200, WiiJoystickPointer::Border::Unchanged},
        {50, -50, 50, 150, WiiJoystickPointer::Border::Left},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(p.step(s.dx, s.dy, 300, 200), s.border) << "step " << (&s - steps);
        EXPECT_EQ(p.x, s.x) << "step " << (&s - steps);
        EXPECT_EQ(p.y, s.y) << "step " << (&s - steps);
    }
}

} // namespace
