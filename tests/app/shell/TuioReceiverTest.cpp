// Real UDP traffic on the loopback address reaches the touch handler.
#include "shell/TuioReceiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUdpSocket>

#include <oscpack/osc/OscOutboundPacketStream.h>

#include <gtest/gtest.h>

namespace {

struct Counter : TouchEventHandler {
    int downs = 0, ups = 0, lastX = -1, lastY = -1;
    void OnXYDown(int x, int y, int, int) override { ++downs; lastX = x; lastY = y; }
    void OnXYMove(int, int, int, int) override {}
    void OnXYUp(int, int, int, int) override { ++ups; }
    void OnDViTRawWidthHeight(int, int, int) override {}
    void OnEraser(int) override {}
    void OnPen(int) override {}
    void OnNoTool(int) override {}
};

QCoreApplication* app()
{
    static int argc = 1;
    static char arg0[] = "shell_tests";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication* instance =
        QCoreApplication::instance() ? QCoreApplication::instance()
                                     : new QCoreApplication(argc, argv);
    return instance;
}

} // namespace

TEST(TuioReceiver, DatagramOnLoopbackPressesAPointer)
{
    app();
    Counter counter;
    const quint16 port = 39333;
    QTTuioReceiver receiver(&counter, QHostAddress::LocalHost, port, 640, 480);
    ASSERT_TRUE(receiver.isListening());

    char buffer[1024];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginBundleImmediate << osc::BeginMessage("/tuio/2Dcur") << "alive"
      << static_cast<osc::int32>(3) << osc::EndMessage << osc::BeginMessage("/tuio/2Dcur")
      << "set" << static_cast<osc::int32>(3) << 0.5f << 0.25f << 0.0f << 0.0f << 0.0f
      << osc::EndMessage << osc::BeginMessage("/tuio/2Dcur") << "fseq"
      << static_cast<osc::int32>(1) << osc::EndMessage << osc::EndBundle;
    QUdpSocket sender;
    ASSERT_EQ(sender.writeDatagram(p.Data(), static_cast<qint64>(p.Size()), QHostAddress::LocalHost,
                                   port),
              static_cast<qint64>(p.Size()));

    QElapsedTimer timer;
    timer.start();
    while (counter.downs == 0 && timer.elapsed() < 3000) QCoreApplication::processEvents();
    EXPECT_EQ(counter.downs, 1);
    EXPECT_EQ(counter.lastX, 320);
    EXPECT_EQ(counter.lastY, 120);

    // The sender goes quiet: its contact is released after about two seconds.
    while (counter.ups == 0 && timer.elapsed() < 6000) QCoreApplication::processEvents();
    EXPECT_EQ(counter.ups, 1);
}
