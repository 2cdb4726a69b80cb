// Touch contacts through the touch callbacks into a controller without a graphics context.
#include "OutputCapture.h"

#include "shell/PointerInput.h"
#include "shell/TuioReceiver.h"
#include "vis/TabletopVis.h"
#include "vis/TouchIndicator.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>
#include <QUdpSocket>

#include <oscpack/osc/OscOutboundPacketStream.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

void application()
{
    static int argc = 1;
    static char arg0[] = "shell_tests";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QGuiApplication(argc, argv);
    (void)app;
}

// The controller as the graphics implementation sets it up: one touch indicator per user.
class IndicatedVis : public TabletopVis {
public:
    explicit IndicatedVis(unsigned int users) : TabletopVis(users, 64, 48, 640, 480)
    {
        for (unsigned int u = 0; u < users; ++u)
            touchIndicators[u] = new TouchIndicator(100, 100, 1, u, 2.0, 20.0);
    }
    ~IndicatedVis() override
    {
        for (TouchIndicator*& t : touchIndicators) {
            delete t;
            t = nullptr;
        }
    }
};

// One OSC message in its own datagram from a fresh socket, as oscsend sends it.
void oscsend(quint16 port, const std::function<void(osc::OutboundPacketStream&)>& args)
{
    char buffer[256];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage("/tuio/2Dcur");
    args(p);
    p << osc::EndMessage;
    QUdpSocket socket;
    socket.writeDatagram(p.Data(), static_cast<qint64>(p.Size()), QHostAddress::LocalHost, port);
}

void set(quint16 port, int id, float x, float y)
{
    oscsend(port, [&](osc::OutboundPacketStream& p) {
        p << "set" << static_cast<osc::int32>(id) << x << y << 0.0f << 0.0f << 0.0f;
    });
}

void fseq(quint16 port, int frame)
{
    oscsend(port, [&](osc::OutboundPacketStream& p) { p << "fseq" << static_cast<osc::int32>(frame); });
}

void waitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(5);
}

} // namespace

TEST(PointerInput, RegressionTwoTuioCursorsWithOneUserOverflowedTheController)
{
    application();
    IndicatedVis vis(1);
    PointerInput input;
    input.setController(&vis);
    input.setSurfaceHeight(480);
    QTTuioReceiver receiver(&input, QHostAddress(QHostAddress::LocalHost), 0, 640, 480);
    ASSERT_TRUE(receiver.isListening());
    const quint16 port = receiver.localPort();

    OutputCapture out;
    // Three separate datagrams, as three oscsend calls: two cursors in one frame.
    set(port, 1, 0.25f, 0.5f);
    set(port, 2, 0.75f, 0.25f);
    fseq(port, 1);
    waitFor([&] { return vis.getDeviceIsPressed(0); });
    ASSERT_TRUE(vis.getDeviceIsPressed(0));
    EXPECT_EQ(vis.getPosXToPaint(0), 160u);
    EXPECT_EQ(vis.getPosYToPaint(0), 239u);

    // Both move; the second contact stays outside the controller.
    set(port, 2, 0.8f, 0.25f);
    set(port, 1, 0.3f, 0.5f);
    fseq(port, 2);
    waitFor([&] { return vis.getPosXToPaint(0) == 192u; });
    EXPECT_EQ(vis.getPosXToPaint(0), 192u);
    vis.moveTouchIndicator(0);
    vis.resizeTouchIndicator(0);
    EXPECT_EQ(vis.getTouchIndicator(0)->getPixelXPos(), 192u);

    // An empty alive list lifts both.
    oscsend(port, [](osc::OutboundPacketStream& p) { p << "alive"; });
    fseq(port, 3);
    waitFor([&] { return !vis.getDeviceIsPressed(0); });
    EXPECT_FALSE(vis.getDeviceIsPressed(0));
    EXPECT_EQ(out.take(), "Ignoring pointer 1: only 1 user configured\n");
    EXPECT_EQ(receiver.decoder().malformedPackets(), 0u);
}
