// The program's window and widget driven headless with Qt's test events.
#include "OutputCapture.h"
#include "TuioPacket.h"
#include "WiiPacket.h"
#include "canvas/CanvasCompositeGL.h"
#include "canvas/ContextMenuGL.h"
#include "config/QTVeskConfiguration.h"
#include "canvas/PaintingFile.h"
#include "shell/PaintingRecovery.h"
#include "shell/QTRuduzozovorERUApplication.h"
#include "shell/QTRuduzozovorERUWidgetGL.h"
#include "shell/RuduzozovorERUVisGL.h"
#include "shell/StartUp.h"
#include "shell/TuioReceiver.h"
#include "study/Loggers.h"
#include "core/VisComponent.h"
#include "vis/TabletopVis.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QMenuBar>
#include <QProcess>
#include <QNetworkDatagram>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <oscpack/osc/OscReceivedElements.h>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

namespace {

// The widgets' application, made before any test of this program runs.
struct Application : ::testing::Environment {
    void SetUp() override
    {
        static int argc = 1;
        static char arg0[] = "shell_gltests";
        static char* argv[] = {arg0, nullptr};
        setDefaultSurfaceFormat();
        new QApplication(argc, argv);
    }
};
[[maybe_unused]] const auto* const kApplication =
    ::testing::AddGlobalTestEnvironment(new Application);

// A window on a configuration text, shown and with its first scene built; adjust changes the
// record after reading, past the reader's checks.
struct ShownWindow {
    explicit ShownWindow(const QString& xml,
                         const std::function<void(VeskConfiguration&)>& adjust = {})
        : config(read(xml, adjust)), window(&config)
    {
        window.setHardwareMessageEnabled(false);
        // No modal question may wait for a click: unsaved work is discarded unasked.
        window.setQuestionAnswerer([](const QString&, const QString&) { return true; });
        window.resize(400, 300);
        window.show();
        // Generous limits: the sanitizer build on a loaded machine takes seconds to build a scene.
        exposed = QTest::qWaitForWindowExposed(&window, 20000);
        (void)QTest::qWaitFor([this] { return window.widget()->getVis() != nullptr; }, 20000);
    }
    QTRuduzozovorERUWidgetGL* widget() { return window.widget(); }
    RuduzozovorERUVisGL* vis() { return widget()->getApplicationVis(); }
    CanvasCompositeGL* canvas() { return vis() ? vis()->findFirst<CanvasCompositeGL>() : nullptr; }
    static QTVeskConfiguration read(const QString& xml,
                                    const std::function<void(VeskConfiguration&)>& adjust)
    {
        QTVeskConfiguration c = QTVeskConfiguration::fromData(xml.toUtf8());
        if (adjust) adjust(c);
        return c;
    }

    QTVeskConfiguration config;
    QTRuduzozovorERUApplication window;
    bool exposed = false;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shown = std::make_unique<ShownWindow>(R"(<config>
  <mainwindow width="400" height="300" fullscreen="0"/>
  <userdata number="2"/>
  <touchinput tuio="0"/>
</config>)", [this](VeskConfiguration& c) { adjust(c); });
        ASSERT_TRUE(shown->exposed);
        window = &shown->window;
        widget = shown->widget();
        vis = widget->getVis();
        ASSERT_NE(vis, nullptr);
    }
    void TearDown() override { shown.reset(); }
    virtual void adjust(VeskConfiguration&) {}

    std::unique_ptr<ShownWindow> shown;
    QTRuduzozovorERUApplication* window = nullptr;
    QTRuduzozovorERUWidgetGL* widget = nullptr;
    TabletopVis* vis = nullptr;
};

// One TUIO 1.1 bundle: cursors alive, a set for id (id < 0: none) and fseq; with w > 0 a blob of
// that normalised width and height shares the cursor's session id.
QByteArray tuioFrame(int fseq, std::vector<int> alive, int id, float x, float y, float w = 0)
{
    TuioPacket p;
    p.bundle();
    if (w > 0) p.alive({id}, "/tuio/2Dblb").blob(id, x, y, w, w).fseq(fseq, "/tuio/2Dblb");
    p.alive(alive);
    if (id >= 0) p.set(id, x, y);
    return QByteArray::fromStdString(p.fseq(fseq).bytes());
}

void sendTuio(const QByteArray& datagram, quint16 port)
{
    QUdpSocket socket;
    socket.writeDatagram(datagram, QHostAddress::LocalHost, port);
}

// A UDP port of the loopback address that nothing listens on right now.
quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

// A window whose start-up output is swallowed.
std::unique_ptr<ShownWindow> quietWindow(const QString& xml)
{
    OutputCapture quiet;
    return std::make_unique<ShownWindow>(xml);
}

// A mouse drag along the row y in steps of 10 pixels: one gesture.
void dragAcross(QWidget* widget, int y, int x0 = 100, int x1 = 250)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(x0, y));
    for (int x = x0 + 10; x <= x1; x += 10) {
        QTest::mouseMove(widget, QPoint(x, y));
        QTest::qWait(20);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(x1, y));
    QTest::qWait(60);
}

} // namespace

TEST_F(WindowTest, MouseAndTouchInputReachTheControllerInTableCoordinates)
{
    const int h = widget->framebufferHeight();
    // Touch: a jump filter per pointer, two pointers kept apart, rows flipped.
    widget->OnXYDown(10, 10, 0, 0);
    widget->OnXYDown(100, 100, 0, 256);
    widget->OnXYMove(210, 10, 0, 0); // 200 pixels: accepted
    widget->OnXYMove(411, 10, 0, 0); // 201 pixels: reported at the last accepted point
    widget->OnXYMove(110, 90, 0, 256);
    EXPECT_EQ(vis->getPosXToPaint(0), 210u);
    EXPECT_EQ(vis->getPosXToPaint(1), 110u);
    widget->OnXYUp(110, 90, 0, 256);
    widget->OnXYUp(210, 10, 0, 0);

    // Mouse: the same flip.
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 0));
    QTest::mouseMove(widget, QPoint(12, h - 1));
    EXPECT_EQ(vis->getPosYToPaint(0), 0u);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(12, h - 1));

    // After a demo change the mouse drives the fresh controller.
    widget->changeDemo(1);
    ASSERT_NE(widget->getVis(), nullptr);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(widget->getVis()->getDeviceIsPressed(0));
}

template <unsigned int Users> class UsersWindowTest : public WindowTest {
protected:
    void adjust(VeskConfiguration& c) override
    {
        c.userdata.number = Users;
        c.userdata.wiis = 0;
    }
};
using OneUserWindowTest = UsersWindowTest<1>;
using NoUserWindowTest = UsersWindowTest<0>;

TEST_F(OneUserWindowTest, RegressionSecondTouchPointWithOneUserOverflowedTheController)
{
    QPointingDevice* screen = QTest::createTouchDevice();
    // Sent to the top-level window (points in its coordinates), so Qt never has to find the
    // window under the point itself.
    QWindow* top = window->windowHandle();
    ASSERT_NE(top, nullptr);
    auto at = [this](int x, int y) { return widget->mapTo(window, QPoint(x, y)); };
    OutputCapture out;
    QTest::touchEvent(top, screen).press(0, at(50, 60));
    QTest::touchEvent(top, screen).stationary(0).press(1, at(200, 100));
    QTest::touchEvent(top, screen).move(0, at(55, 60)).move(1, at(210, 100));
    EXPECT_TRUE(vis->getDeviceIsPressed(0));
    EXPECT_EQ(vis->getPosXToPaint(0), 55u);
    QTest::qWait(50); // frames with both fingers down
    QTest::touchEvent(top, screen).release(0, at(55, 60)).release(1, at(210, 100));
    EXPECT_FALSE(vis->getDeviceIsPressed(0));
    EXPECT_EQ(out.take(), "Ignoring pointer 1: only 1 user configured\n");
}

TEST_F(NoUserWindowTest, RegressionMouseDragWithNoUserDereferencedNull)
{
    ASSERT_EQ(vis->getNumberOfUsers(), 0u);
    OutputCapture out;
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    for (int x = 30; x <= 60; x += 10) QTest::mouseMove(widget, QPoint(x, 20));
    QTest::qWait(50); // frames during the drag
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(60, 20));
    QTest::qWait(20);
    EXPECT_FALSE(vis->getDeviceIsPressed(0));
    EXPECT_EQ(out.take(), "Ignoring pointer 0: only 0 users configured\n");
}

TEST_F(WindowTest, RegressionObjectCountFollowsDeletionsOfLeaves)
{
    // Deleting a leaf does not change buffer memory; the status bar still has to show the count.
    struct Leaf : VisComponent {
        explicit Leaf(TabletopVis* v) : VisComponent(v, 10, 10, true, true, 50, 50, 0) {}
        void specificRender() override {}
        void specificRenderForPicking() override {}
        void pickingPreparation() override {}
    };
    auto* leaf = new Leaf(vis);
    vis->addComponent(leaf, false);
    QSignalSpy counts(widget, &QTRuduzozovorERUWidgetGL::objectNumber);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !counts.isEmpty(); }, 5000));
    const unsigned int withLeaf = counts.last().at(0).toUInt();
    vis->getAllocatedMemorySize(); // clears the memory-changed flag
    vis->deleteComponent(leaf);
    counts.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !counts.isEmpty(); }, 5000));
    EXPECT_EQ(counts.last().at(0).toUInt(), withLeaf - 1);
}

// ---- What a newcomer meets first ----

namespace {

const char* kCanvasScene = R"(<config>
  <mainwindow width="400" height="300" fullscreen="0"/>
  <touchinput tuio="%1" tuio_port="%2"/>
  <canvas_surface border="10" overflow="50" number_of_toolbrushes="1" initial_stroke_width="20"/>
  <strokes number="%3" width="20" height="20"/>
</config>)";

QString canvasScene(bool tuio, int port, int strokes, bool empty = false)
{
    QString xml = QString(kCanvasScene).arg(tuio ? 1 : 0).arg(port).arg(strokes);
    return empty ? xml.replace("<config>", "<config><startup empty_canvas=\"1\"/>") : xml;
}

} // namespace

TEST(NewcomerTest, RegressionTuioCursorsWithoutBlobsNeverPainted)
{
    // Real datagrams: press, move, a late frame, release, cursors alone and with blobs.
    const quint16 port = freeUdpPort();
    ShownWindow shown(canvasScene(true, port, 0));
    ASSERT_NE(shown.canvas(), nullptr);
    ASSERT_TRUE(shown.widget()->tuioReceiver()->isListening());
    TabletopVis* vis = shown.vis();
    const int h = shown.widget()->framebufferHeight();
    const int w = shown.widget()->framebufferWidth();
    int fseq = 1;
    sendTuio(tuioFrame(fseq++, {5}, 5, 0.5f, 0.25f, 0.05f), port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vis->getDeviceIsPressed(0); }));
    EXPECT_EQ(vis->getPosYToPaint(0), static_cast<unsigned int>(h - 1 - h / 4));
    sendTuio(tuioFrame(fseq++, {}, -1, 0, 0), port); // 5 left alive: released
    EXPECT_TRUE(QTest::qWaitFor([&] { return !vis->getDeviceIsPressed(0); }));
    {
        SCOPED_TRACE("RegressionTwoTuioCursorsWithOneUserOverflowedTheController");
        OutputCapture out;
        sendTuio(tuioFrame(fseq++, {1, 2}, 1, 0.25f, 0.5f), port);
        sendTuio(tuioFrame(fseq++, {1, 2}, 2, 0.75f, 0.25f), port); // pointer 1: no user for it
        sendTuio(tuioFrame(fseq++, {1, 2}, 1, 0.3f, 0.5f), port);
        EXPECT_TRUE(QTest::qWaitFor([&] { return vis->getPosXToPaint(0) == unsigned(0.3f * w); }));
        sendTuio(tuioFrame(fseq++, {}, -1, 0, 0), port);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !vis->getDeviceIsPressed(0); }));
        EXPECT_EQ(out.take(), "Ignoring pointer 1: only 1 user configured\n");
    }
    // Down, committed moves along the row, up; with blob > 0 a blob shares the session id.
    auto gesture = [&](int id, float x, float dx, int moves, float blob) {
        for (int i = 0; i <= moves; ++i) {
            sendTuio(tuioFrame(fseq++, {id}, id, x + dx * i, 0.5f, blob), port);
            QTest::qWait(25);
        }
        sendTuio(tuioFrame(fseq++, {}, -1, 0, 0), port);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !vis->getDeviceIsPressed(0); }, 5000));
    };
    const unsigned long before = vis->countComponents();
    gesture(7, 0.3f, 0.02f, 20, 0); // cursors only, as most trackers send them
    EXPECT_GT(vis->countComponents(), before);
    EXPECT_EQ(shown.canvas()->getPreviousChosenPosture(), 1); // one finger
    gesture(8, 0.5f, 0.01f, 6, 0.5f); // a flat hand's contact
    EXPECT_EQ(shown.canvas()->getPreviousChosenPosture(), 4);

    // A contact whose sender falls silent is released after about two seconds.
    sendTuio(tuioFrame(fseq++, {6}, 6, 0.1f, 0.1f), port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vis->getDeviceIsPressed(0); }));
    for (int i = 0; i < 400 && vis->getDeviceIsPressed(0); ++i) QTest::qWait(10);
    EXPECT_FALSE(vis->getDeviceIsPressed(0));
}

TEST(NewcomerTest, RegressionTakenTuioPortOnlyReportedOnTheErrorOutput)
{
    QUdpSocket taken;
    ASSERT_TRUE(taken.bind(QHostAddress::LocalHost, 0));
    ShownWindow shown(canvasScene(true, taken.localPort(), 0));
    EXPECT_FALSE(shown.widget()->tuioReceiver()->isListening());
    const QString expected = QString("No TUIO input: UDP port %1 is taken (another port: "
                                     "--tuio-port N or tuio_port)")
                                 .arg(taken.localPort());
    EXPECT_TRUE(shown.window.statusText().contains(expected)) << shown.window.statusText().toStdString();
}

TEST(NewcomerTest, RegressionDemoRebuildLostTheChosenColourAndMode)
{
    ShownWindow shown(canvasScene(false, 0, 30));
    ASSERT_NE(shown.canvas(), nullptr);
    const unsigned long withDemo = shown.vis()->countComponents();
    shown.widget()->changePaintColor(200, 120, 30);
    shown.window.setDTWIIInputCombo();
    shown.window.switchToColorMode();
    shown.window.setFistFakePosture();
    shown.widget()->changeDemo(0);
    ASSERT_NE(shown.canvas(), nullptr);
    // The indicator reads the rebuilt canvas and controller.
    EXPECT_EQ(shown.window.toolIndicator().toStdString(),
              "Mode: Colour | Posture: fist (fixed) | Input 0");
    CanvasCompositeGL* c = shown.canvas();
    EXPECT_EQ((std::vector<float>{c->getToolState(3, 1), c->getToolState(3, 2), c->getToolState(3, 3)}),
              (std::vector<float>{200, 120, 30}));

    // A new painting empties the canvas and keeps the tool choice; the demos still bring their
    // primitives.
    shown.window.setPenFakePosture();
    shown.widget()->newPainting();
    ASSERT_NE(shown.canvas(), nullptr);
    EXPECT_EQ(shown.vis()->countComponents(), withDemo - 30);
    EXPECT_EQ(shown.canvas()->getFakePosture(), 0);
    shown.widget()->changeDemo(0);
    EXPECT_EQ(shown.vis()->countComponents(), withDemo);

    // The configuration can start with an empty canvas.
    ShownWindow blank(canvasScene(false, 0, 30, true));
    ASSERT_NE(blank.canvas(), nullptr);
    EXPECT_EQ(blank.vis()->countComponents(), withDemo - 30);
}

TEST(PaintingSessionTest, SavedPaintingOpensAgainAndOneLeftByARunThatDidNotEndIsOffered)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath("data");
    QString painted;
    {
        ShownWindow shown(canvasScene(false, 0, 5, true));
        ASSERT_NE(shown.canvas(), nullptr);
        QStringList asked;
        shown.window.setQuestionAnswerer([&](const QString& title, const QString&) {
            asked << title;
            return false;
        });
        QTRuduzozovorERUWidgetGL* widget = shown.widget();
        dragAcross(widget, widget->height() / 2);
        ASSERT_TRUE(widget->isPaintingModified());
        const unsigned long count = shown.vis()->countComponents();
        painted = QString::number(count);

        // Declined: the painting stays.
        widget->changeDemo(1);
        widget->newPainting();
        EXPECT_EQ(asked, QStringList({"Discard the painting?", "Discard the painting?"}));
        EXPECT_EQ(shown.vis()->countComponents(), count);

        const QString file = dir.filePath("p.nprpaint");
        {
            OutputCapture quiet;
            ASSERT_TRUE(shown.window.savePaintingTo(file));
        }
        widget->newPainting();
        ASSERT_TRUE(shown.window.openPaintingFrom(file));
        EXPECT_EQ(shown.vis()->countComponents(), count);

        // A file that cannot be read: the message, and the painting as it was.
        QFile bad(dir.filePath("bad.nprpaint"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("not a painting");
        bad.close();
        OutputCapture out;
        EXPECT_FALSE(shown.window.openPaintingFrom(bad.fileName()));
        EXPECT_EQ(out.take(), "Cannot open the painting \"" + bad.fileName().toStdString() +
                                  "\": it is not a painting file.\n");
        EXPECT_EQ(shown.vis()->countComponents(), count);

        // What a killed run leaves: its recovery file, its lock gone with its process.
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::copy(file, folder + "/recovery-1.nprpaint"));
    }

    ShownWindow shown(canvasScene(false, 0, 5, true));
    ASSERT_NE(shown.canvas(), nullptr);
    QStringList asked;
    shown.window.setQuestionAnswerer([&](const QString& title, const QString&) {
        asked << title;
        return true;
    });
    shown.window.startSession(folder, 1, QString());
    (void)QTest::qWaitFor([&] { return !asked.isEmpty(); });
    EXPECT_EQ(asked, QStringList{"Restore the painting?"});
    EXPECT_EQ(QString::number(shown.vis()->countComponents()), painted);

    // Painting goes on: within the interval the recovery copy follows.
    const QString copy = shown.window.paintingRecovery()->recoveryFile();
    dragAcross(shown.widget(), shown.widget()->height() / 2);
    const unsigned long now = shown.vis()->countComponents();
    PaintingSnapshot kept;
    QString error;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return painting::load(copy, &kept, &error) && kept.primitives.size() + 2 == std::size_t(now);
    }, 5000)) << error.toStdString();

    // A normal end leaves nothing to recover.
    shown.window.close();
    EXPECT_FALSE(QFile::exists(copy));
}

TEST(NewcomerTest, MenuKeysHelpAndExportThenAnotherSceneHasNothingToUndo)
{
    ShownWindow shown(QString(kCanvasScene).arg(0).arg(0).arg(0).replace(
        "</config>", R"(<contextmenu width="150" height="150"/></config>)"));
    ASSERT_NE(shown.canvas(), nullptr);
    {
        SCOPED_TRACE("RegressionAltCWasAmbiguousWithTheControlMenuMnemonic");
        auto* menu = shown.vis()->findFirst<ContextMenuGL>();
        ASSERT_NE(menu, nullptr);
        EXPECT_FALSE(menu->isShown());
        shown.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.window));
        // Every press works, not every other one.
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(shown.widget(), Qt::Key_C, Qt::AltModifier);
            EXPECT_TRUE(menu->isShown()) << i;
            QTest::keyClick(shown.widget(), Qt::Key_C, Qt::ShiftModifier);
            EXPECT_FALSE(menu->isShown()) << i;
        }
        EXPECT_FALSE(shown.window.menuBar()->activeAction());
    }
    {
        SCOPED_TRACE("RegressionDemoActionsWorkedInFullscreenWithTheBarsHidden");
        // Demos, Hardware and Help live in their menus only: their shortcuts die with the bar.
        const QList<QAction*> onWindow = shown.window.actions();
        for (QMenu* menu : shown.window.menuBar()->findChildren<QMenu*>()) {
            const QString title = menu->title();
            if (title != "&Demos" && title != "&Hardware" && title != "Help") continue;
            for (QAction* a : menu->actions())
                EXPECT_FALSE(onWindow.contains(a)) << a->text().toStdString();
        }
        for (const char* key : {"Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+Shift+N"})
            for (QAction* a : onWindow) EXPECT_NE(a->shortcut(), QKeySequence(key)) << key;
    }
    const QString html = shown.window.keysAndGesturesHtml();
    for (QAction* a : shown.window.findChildren<QAction*>()) {
        if (a->shortcut().isEmpty()) continue;
        EXPECT_TRUE(html.contains(a->shortcut().toString(QKeySequence::NativeText).toHtmlEscaped()))
            << a->shortcut().toString().toStdString();
    }
    for (const char* text : {"Set Fake Posture to Pen", "Colour mode", "Recreate main demo",
                             "Keys and gestures", "New painting", "one finger",
                             "create (strength 2, diameter 20)"})
        EXPECT_TRUE(html.contains(text)) << text;

    dragAcross(shown.widget(), shown.widget()->height() / 2, 60, 300);
    ASSERT_TRUE(shown.widget()->paintingHistory().canUndo());
    QTemporaryDir dir;
    OutputCapture out;
    ASSERT_TRUE(shown.window.exportImageTo(dir.filePath("p.png"), 2));
    const QImage image(dir.filePath("p.png"));
    EXPECT_EQ(image.size(), 2 * QSize(shown.widget()->framebufferWidth(), shown.widget()->framebufferHeight()));
    EXPECT_EQ(out.take(), "Exported " + dir.filePath("p.png").toStdString() + " (" +
                              std::to_string(image.width()) + " x " +
                              std::to_string(image.height()) + " pixels)\n");
    shown.widget()->changeDemo(1);
    EXPECT_FALSE(shown.widget()->undo());
}

#ifdef NPR_PROGRAM
TEST(NewcomerTest, RegressionUnreadableConfigurationOpenedABlankWindowSilently)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        QFile file(dir.filePath("my.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"(<config><mainwindow width="320" height="240" fullscreen="0"/>
                      <touchinput tuio="0"/></config>)");
    }
    // A relative path typed in another directory names the file there.
    QProcess program;
    program.setWorkingDirectory(dir.path());
    // The killed program's recovery slot stays out of the user's data folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dir.filePath("data"));
    program.setProcessEnvironment(environment);
    program.start(NPR_PROGRAM, {"my.xml"});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray out;
    for (int i = 0; i < 100 && !out.contains("\n"); ++i) {
        program.waitForReadyRead(100);
        out += program.readAllStandardOutput();
    }
    EXPECT_TRUE(out.startsWith("Configuration: " + dir.filePath("my.xml").toUtf8() + "\n")) << out.toStdString();
    EXPECT_FALSE(program.waitForFinished(1500)) << "the program should keep running";
    program.kill();
    program.waitForFinished();

    // A missing one is named, and the program ends.
    program.start(NPR_PROGRAM, {"missing.xml"});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 1);
    // Qt may note things about the session first; the program's own line comes last.
    const QStringList lines =
        QString::fromUtf8(program.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last().toStdString(), "nprtable: Cannot read the configuration file \"" +
                                              dir.filePath("missing.xml").toStdString() +
                                              "\": no such file.");
}
#endif

// ---- Wii remotes over OSC and study tasks ----

namespace {

const char* kWiiScene = R"(<config>
  <mainwindow width="400" height="300" fullscreen="0"/>
  <userdata number="1" wiis="1"/>
  <wii joystick_speed_factor="50" use_joystick_for_pointing="%3"/>
  <osc receive_port="%1" send_port="%2"/>
  <touchinput tuio="0"/>
  <canvas_surface border="10" overflow="50" number_of_toolbrushes="1" initial_stroke_width="20"/>
  <strokes number="0" width="20" height="20"/>
</config>)";

// A "/glovepie/wiidata" message: remote 0 at (x, y) with a Nunchuk, its joystick at x.
QByteArray wiiData(float x, float y, float joyX)
{
    WiiSample s;
    s.x = x;
    s.y = y;
    s.nunchuk = true;
    s.nunchukFloats[0] = joyX;
    return QByteArray::fromStdString(encode(s));
}

// The same message as oscsend's arguments (types, then values).
QStringList oscsendWiiData(quint16 port, float x, float y, bool b, bool mode)
{
    QStringList args{"127.0.0.1", QString::number(port), "/glovepie/wiidata"};
    QString types = "i" + QString(10, 'f');
    for (int i = 0; i < 11; ++i) types += (i == 5 && b) ? "T" : "F";
    types += "FFF" + QString(10, 'f') + (mode ? "T" : "F");
    args << types << "0" << QString::number(x) << QString::number(y);
    for (int i = 0; i < 8; ++i) args << "0";
    for (int i = 0; i < 10; ++i) args << "0";
    return args;
}

} // namespace

TEST(WiiOverOsc, RealPeerPaintsCreatesAndErases)
{
    const QString oscsend = QStandardPaths::findExecutable("oscsend");
    if (oscsend.isEmpty()) GTEST_SKIP() << "oscsend (liblo-tools) is not installed";
    const quint16 port = freeUdpPort();
    auto shown = quietWindow(QString(kWiiScene).arg(port).arg(freeUdpPort()).arg(0));
    ASSERT_NE(shown->canvas(), nullptr);
    shown->window.setDTWIIInputCombo();
    shown->window.setOneFingerFakePosture();
    shown->window.switchToCreateMode();
    RuduzozovorERUVisGL* vis = shown->vis();
    const unsigned int device = 1; // one touch user, then remote 0
    auto send = [&](float x, float y, bool b, bool mode) {
        QProcess::execute(oscsend, oscsendWiiData(port, x, y, b, mode));
        QTest::qWait(30); // a few frames: the canvas classifies the posture over four touches
    };

    // Press, move and release B through a real OSC peer: pointer 1 paints.
    const unsigned long before = vis->countComponents();
    send(100, 150, false, true);
    send(120, 150, true, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vis->getDeviceIsPressed(device); }));
    EXPECT_EQ(vis->getPosXToPaint(device), 110u); // the mean of the two samples
    for (int x = 130; x <= 250; x += 10) send(float(x), 150, true, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vis->getPosXToPaint(device) == 250u; }));
    send(250, 150, false, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !vis->getDeviceIsPressed(device); }));
    EXPECT_GT(vis->countComponents(), before);

    // createobjects at the last pointing position, eraseobjects around it.
    QUdpSocket peer;
    const unsigned long painted = vis->countComponents();
    peer.writeDatagram(QByteArray::fromStdString(action("/glovepie/wiiaction/createobjects", {0, 6})),
                       QHostAddress::LocalHost, port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vis->countComponents() > painted; }));
    peer.writeDatagram(QByteArray::fromStdString(action("/glovepie/wiiaction/eraseobjects", {0}, {1000.0f})),
                       QHostAddress::LocalHost, port);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown->canvas()->getNumberOfChildren() <= 1; }));
}

TEST(WiiOverOsc, JoystickPointerSendsTheBorderMessage)
{
    const quint16 port = freeUdpPort();
    QUdpSocket bridge;
    ASSERT_TRUE(bridge.bind(QHostAddress::LocalHost, 0));
    auto shown = quietWindow(QString(kWiiScene).arg(port).arg(bridge.localPort()).arg(1));
    ASSERT_NE(shown->vis(), nullptr);
    shown->window.setDTWIIInputCombo();
    QUdpSocket peer;
    auto border = [&]() -> int {
        if (!QTest::qWaitFor([&] { return bridge.hasPendingDatagrams(); })) return -1;
        const QByteArray d = bridge.receiveDatagram().data();
        osc::ReceivedMessage m(osc::ReceivedPacket(d.constData(), static_cast<osc::osc_bundle_element_size_t>(d.size())));
        EXPECT_STREQ(m.AddressPattern(), "/wiidata/leftBorderRegion");
        return m.ArgumentsBegin()->AsBool() ? 1 : 0;
    };
    // From the centre to the left edge: entered (false); back inside: left (true).
    for (int i = 0; i < 11; ++i)
        peer.writeDatagram(wiiData(200, 150, -1.0f), QHostAddress::LocalHost, port);
    EXPECT_EQ(border(), 0);
    peer.writeDatagram(wiiData(200, 150, 1.0f), QHostAddress::LocalHost, port);
    EXPECT_EQ(border(), 1);
    EXPECT_FALSE(bridge.hasPendingDatagrams());
}

namespace {

const char* kStudyScene = R"(<config>
  <mainwindow width="400" height="300" fullscreen="0"/>
  <touchinput tuio="0"/>
  <osc receive_port="0"/>
  <canvas_surface border="10" overflow="50" number_of_toolbrushes="1" initial_stroke_width="20"/>
  <strokes number="0" width="20" height="20"/>
  <task number="0" endsSequence="1" type="4" numberOfTargetAreas="0" description="Hello"/>
  <task number="1" type="2" inputDevice="0" elementsInitNumber="0" description="One"
        targetArea1StartX="100" targetArea1StartY="100" targetArea1EndX="100"
        targetArea1EndY="100" targetArea1Diameter="80"/>
  <task number="2" type="4" inputDevice="0" description="Two"/>
</config>)";

std::string fileText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::string();
    return f.readAll().toStdString();
}

// The study scene, its logs written into a folder of the test's own.
class StudyInTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Logger::setBaseDirectory(dir.path().toStdString());
        shown = quietWindow(kStudyScene);
        ASSERT_NE(shown->canvas(), nullptr);
    }
    void TearDown() override
    {
        shown.reset();
        Logger::setBaseDirectory(".");
    }
    QTemporaryDir dir;
    std::unique_ptr<ShownWindow> shown;
};

} // namespace

TEST_F(StudyInTheWindow, KeysRunTheTasksUndoRestsMeanwhileAndTheLogsFollowTheWallClock)
{
    std::unique_ptr<OutputCapture> quiet = std::make_unique<OutputCapture>();
    shown->window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown->window));
    QTRuduzozovorERUWidgetGL* widget = shown->widget();
    const TaskSequence& tasks = widget->taskSequence();
    const int h = widget->height();
    const unsigned long empty = shown->vis()->countComponents();
    dragAcross(widget, h / 2, 60, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget->paintingHistory().undoDepth() == 1u; }));
    const unsigned long painted = shown->vis()->countComponents();
    ASSERT_GT(painted, empty) << "RegressionBlankCanvasCreatedNothingUnderTheBrush";

    // The Edit menu's entries: enabled, tooltip and status tip of Undo and Redo.
    QList<QAction*> edit;
    for (QMenu* menu : shown->window.menuBar()->findChildren<QMenu*>())
        if (menu->title() == "&Edit") edit = menu->actions();
    ASSERT_EQ(edit.size(), 2);
    auto state = [&] {
        QStringList s;
        for (QAction* a : edit)
            s << QString("%1|%2|%3").arg(a->isEnabled()).arg(a->toolTip(), a->statusTip());
        return s;
    };
    const QStringList free = {"1|Undo|Take back the last gesture",
                              "1|Redo|Bring back the last gesture taken back"};
    const QStringList blocked = {"0|Undo is off while a study task runs|Undo is off while a study task runs",
                                 "0|Redo is off while a study task runs|Redo is off while a study task runs"};
    EXPECT_EQ(state(), free);

    // The opening screen is no task; while task 1 runs the keys and entries do nothing.
    QTest::keyClick(widget, Qt::Key_T, Qt::AltModifier);
    QTest::keyClick(widget, Qt::Key_Space);
    QTest::keyClick(widget, Qt::Key_Space);
    ASSERT_TRUE(tasks.isTaskRunning());
    EXPECT_EQ(state(), blocked);
    edit[0]->trigger();
    EXPECT_FALSE(widget->undo());
    EXPECT_EQ(shown->vis()->countComponents(), painted);

    QElapsedTimer clock;
    clock.start();
    QTest::qWait(300);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(100, h / 2));
    const double pressed = clock.elapsed() / 1000.0;
    for (int x = 110; x <= 200; x += 10) {
        QTest::mouseMove(widget, QPoint(x, h / 2));
        QTest::qWait(20);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(200, h / 2));
    const double released = clock.elapsed() / 1000.0;
    QTest::qWait(200);
    QTest::keyClick(widget, Qt::Key_Space); // task 1 written, task 2 runs
    const double finished = clock.elapsed() / 1000.0;
    quiet.reset();

    std::istringstream overview(fileText(dir.filePath("logs/taskOverview.txt")));
    std::vector<std::string> cells;
    for (std::string cell; std::getline(overview, cell, '\t');) cells.push_back(cell);
    // 1, 0, device, its text, flags, type, its text, timestamp, first, last, finish, line end
    ASSERT_EQ(cells.size(), 13u);
    EXPECT_NEAR(std::stod(cells[9]), pressed, 0.2);
    EXPECT_NEAR(std::stod(cells[10]), released, 0.2);
    EXPECT_NEAR(std::stod(cells[11]), finished, 0.2);

    // Shift+T during task 2 rewinds, keeps its rows and gives undo back.
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, h / 2));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, h / 2));
    QTest::keyClick(widget, Qt::Key_T, Qt::ShiftModifier);
    EXPECT_TRUE(QFile::exists(dir.filePath("logs/directTouch/task2.txt")));
    EXPECT_EQ(state(), free);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !widget->paintingHistory().isGestureOpen(); }));
    const std::size_t depth = widget->paintingHistory().undoDepth();
    edit[0]->trigger();
    EXPECT_EQ(widget->paintingHistory().undoDepth(), depth - 1);

    // A whole round: when the list ends, undo is back too.
    QTest::keyClick(widget, Qt::Key_T, Qt::AltModifier);
    for (int i = 0; i < 4; ++i) QTest::keyClick(widget, Qt::Key_Space);
    ASSERT_TRUE(tasks.allTasksDone());
    EXPECT_EQ(state(), free);

    // Closing the window during task 1 of another round keeps its rows, flagged unfinished.
    QTest::keyClick(widget, Qt::Key_T, Qt::ShiftModifier);
    QTest::keyClick(widget, Qt::Key_T, Qt::AltModifier);
    QTest::keyClick(widget, Qt::Key_Space);
    QTest::keyClick(widget, Qt::Key_Space);
    ASSERT_TRUE(tasks.isTaskRunning());
    shown->window.close();
    const std::string all = fileText(dir.filePath("logs/taskOverview.txt"));
    EXPECT_NE(all.find("\n2\t"), std::string::npos) << all;
    EXPECT_EQ(all.substr(all.size() - 13), "\tunfinished\t\n");
}

TEST(WiiOverOsc, RegressionWiiPointingInCombinationSixMadeNoUndoSteps)
{
    auto shown = quietWindow(QString(kWiiScene).arg(freeUdpPort()).arg(freeUdpPort()).arg(0));
    ASSERT_NE(shown->canvas(), nullptr);
    shown->window.setDTWIIPointingNCModesInputCombo();
    shown->window.switchToCreateMode();
    QTRuduzozovorERUWidgetGL* widget = shown->widget();
    const unsigned int device = 1; // one touch user, then remote 0
    // B down, a sweep to the right, B up: one pointing gesture of remote 0.
    auto point = [&](int y) {
        WiiCommunicationData sample;
        sample.b = true;
        sample.posX = 100;
        sample.posY = float(y);
        WiiButtons down{WiiCommunicationData::B};
        WiiButtons none;
        widget->wiiPress(100, y, device, down, sample);
        for (int x = 110; x <= 250; x += 10) {
            sample.posX = float(x);
            widget->wiiMove(x, y, device, none, sample);
            QTest::qWait(20);
        }
        sample.b = false;
        WiiButtons up{WiiCommunicationData::B};
        widget->wiiRelease(250, y, device, up, sample);
        QTest::qWait(60);
    };
    const PaintingHistory& history = widget->paintingHistory();
    const unsigned long empty = shown->vis()->countComponents();
    point(100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !history.isGestureOpen(); }));
    const unsigned long one = shown->vis()->countComponents();
    point(200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !history.isGestureOpen(); }));
    const unsigned long two = shown->vis()->countComponents();
    ASSERT_GT(one, empty);
    ASSERT_GT(two, one);
    EXPECT_EQ(history.undoDepth(), 2u);
    EXPECT_TRUE(widget->undo());
    EXPECT_EQ(shown->vis()->countComponents(), one);
    EXPECT_TRUE(widget->undo());
    EXPECT_EQ(shown->vis()->countComponents(), empty);
}
