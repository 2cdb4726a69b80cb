// The OpenGL controller in a real context: picking, manipulation, dropping, textures, fonts,
// off-screen targets, screenshots and the extension probe.
#include "GLTestComponents.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "vis/PBuffer.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class TabletopVisGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        vis = std::make_unique<ClockedVisGL>(2, 64, 64, 256, 256);
        vis->useFakeClock();
    }
    void TearDown() override { vis.reset(); }

    QuadLeafGL* addLeaf(double w, double h, double x, double y, double rotation = 0.0,
                        bool drop = false)
    {
        auto* c = new QuadLeafGL(vis.get(), w, h, x, y, rotation);
        vis->addComponent(c, drop);
        return c;
    }
    // Ten frames so that the frame rate reads 50.
    void warmUp()
    {
        for (int i = 0; i < 10; ++i) vis->frame(2);
    }
    // A pointer goes down or up, then a frame.
    void press(unsigned int x, unsigned int y, unsigned int user = 0)
    {
        vis->devicePress(x, y, 0, user);
        vis->frame(2);
    }
    void release(unsigned int x, unsigned int y, unsigned int user = 0)
    {
        vis->deviceRelease(x, y, 0, user);
        vis->frame(2);
    }
    // Moves the pointer step by step along a line, a frame per step.
    void dragTo(int x0, int y0, int x1, int y1, int steps)
    {
        for (int i = 1; i <= steps; ++i) {
            vis->deviceMove(static_cast<unsigned int>(x0 + (x1 - x0) * i / steps),
                            static_cast<unsigned int>(y0 + (y1 - y0) * i / steps), 0, 0);
            vis->frame();
        }
    }
    bool inRenderList(VisComponent* c) const
    {
        const auto& l = vis->getRenderList();
        return std::find(l.begin(), l.end(), c) != l.end();
    }

    std::unique_ptr<ClockedVisGL> vis;
};

// What the call printed.
template <class F> std::string printed(F call)
{
    OutputCapture out;
    call();
    return out.take();
}

} // namespace

TEST_F(TabletopVisGLTest, EachPointerPicksTheTopmostComponentUnderIt)
{
    QuadLeafGL* a = addLeaf(60, 40, 100, 100, 30.0);
    QuadLeafGL* b = addLeaf(60, 60, 130, 120, 45.0);
    QuadLeafGL* c = addLeaf(40, 40, 200, 200);
    // First registered is at the front: a lies on top of b.
    vis->devicePress(115, 108, 0, 0); // inside a and b
    press(140, 130, 1); // inside b only (a is turned away)
    EXPECT_EQ(vis->getActiveComponent(0), a);
    EXPECT_EQ(vis->getLastComponent(1), b);
    EXPECT_TRUE(a->getSelectionActive() && !c->getSelectionActive());
    // The visible frame shows the components' own colours, not their ids.
    EXPECT_EQ(gl->pixel(115, 108)[0], 200);
    EXPECT_EQ(gl->pixel(5, 5)[0], 0);

    // Pressing on the background grabs nothing.
    release(115, 108);
    press(10, 240);
    EXPECT_EQ(vis->getActiveComponent(0), nullptr);

    // Raised to the front, b wins where it overlaps a.
    vis->deviceRelease(10, 240, 0, 0);
    release(140, 130, 1);
    vis->moveComponentToRenderFront(b);
    press(115, 108);
    EXPECT_EQ(vis->getActiveComponent(0), b);
    // Held by one pointer, b cannot be grabbed by the other, not even after the first lets go.
    press(140, 130, 1);
    EXPECT_EQ(vis->getActiveComponent(1), nullptr);
    release(115, 108);
    vis->deviceMove(150, 150, 0, 1);
    vis->frame(2);
    EXPECT_EQ(vis->getActiveComponent(1), nullptr);
    EXPECT_DOUBLE_EQ(b->getXPos(), 130.0);

    // Picking rendering shows the id colours instead.
    vis->setPickingRendering(true);
    vis->frame();
    const auto p = gl->pixel(200, 200);
    EXPECT_EQ(vis->determineIdFromColor(p[0], p[1], p[2]), c->getId());
}

TEST_F(TabletopVisGLTest, DraggingOffCentreTurnsASlowReleaseStaysAFastOneTosses)
{
    QuadLeafGL* c = addLeaf(80, 40, 128, 128);
    warmUp();
    press(158, 128); // 30 px right of the centre
    ASSERT_EQ(vis->getActiveComponent(0), c);
    dragTo(158, 128, 158, 178, 10);
    dragTo(158, 178, 158, 181, 3); // slow last steps: no toss
    EXPECT_GT(c->getRotation(), 10.0);
    EXPECT_LT(c->getRotation(), 180.0);
    // The grab point stays under the finger (rotate-and-translate keeps the lever length).
    EXPECT_NEAR(std::hypot(158 - c->getXPos(), 181 - c->getYPos()), 30.0, 1.0);
    release(158, 181);
    EXPECT_FALSE(c->getTossingNow());

    QuadLeafGL* puck = addLeaf(30, 30, 60, 40);
    press(60, 40);
    dragTo(60, 40, 120, 40, 4);
    release(120, 40);
    ASSERT_TRUE(puck->getTossingNow());
    const double released = puck->getXPos();
    for (int i = 0; i < 5; ++i) vis->frame();
    EXPECT_GT(puck->getXPos(), released + 10.0);
}

TEST_F(TabletopVisGLTest, QueuedDropsAndDeletionsHappenAtTheNextFrame)
{
    auto* box = new QuadBoxGL(vis.get(), 100, 100, 40, 128); // reaches past the left edge
    vis->addComponent(box, false);
    QuadLeafGL* leaf = addLeaf(20, 20, 60, 120, 0.0, true);
    QuadLeafGL* outside = addLeaf(20, 20, 200, 20, 0.0, true);
    // RegressionDropPointOffTheScreenNamedARandomContainer: an undefined pixel was read there.
    QuadLeafGL* offScreen = addLeaf(20, 20, -5.0, 128.0, 0.0, true);
    const unsigned long doomed = addLeaf(20, 20, 200, 200)->getId();
    vis->addToDeletingList(vis->getComponent(doomed));
    vis->frame();
    EXPECT_EQ(vis->getComponent(doomed), nullptr);
    EXPECT_EQ(gl->pixel(200, 200)[0], 0);
    EXPECT_EQ(vis->droppingListSize(), 0u);
    EXPECT_EQ(leaf->getParent(), box);
    EXPECT_FALSE(inRenderList(leaf));
    EXPECT_TRUE(inRenderList(outside));
    EXPECT_EQ(offScreen->getParent(), nullptr);
}

// A press and its release between two frames (a quick tap) never reached the component: the
// frame saw no pointer down and nothing to release.
TEST_F(TabletopVisGLTest, RegressionQuickTapWasLost)
{
    struct CountingLeafGL : QuadLeafGL {
        using QuadLeafGL::QuadLeafGL;
        std::vector<std::string> calls;
        unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                    unsigned int) override
        {
            calls.push_back("hit " + std::to_string(x) + " " + std::to_string(y));
            return 1; // handled by the component: it does not move
        }
        unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                        unsigned int) override
        {
            calls.push_back("release " + std::to_string(x) + " " + std::to_string(y));
            return 1;
        }
    };
    auto* c = new CountingLeafGL(vis.get(), 40, 40, 100, 100);
    vis->addComponent(c, false);
    vis->devicePress(100, 100, 0, 0);
    release(102, 101);
    EXPECT_EQ(c->calls, (std::vector<std::string>{"hit 102 101", "release 102 101"}));
    EXPECT_FALSE(c->getSelectionActive());
    vis->frame();
    EXPECT_EQ(c->calls.size(), 2u) << "one tap, one hit and one release";

    // A tap on the background, or off the screen, reaches nothing.
    for (unsigned int x : {10u, 300u}) {
        vis->devicePress(x, 10, 0, 0);
        vis->deviceRelease(x, 10, 0, 0);
        vis->frame();
        EXPECT_EQ(c->calls.size(), 2u) << x;
    }
}

TEST_F(TabletopVisGLTest, ExtensionFlagsWithoutAndWithTheProbe)
{
    printed([&] { vis->initializeRenderer(); });
    for (unsigned int i = 0; i < 8; ++i) EXPECT_FALSE(vis->hasHardwareExtension(i)) << i;
    EXPECT_TRUE(vis->isVSyncing());
    EXPECT_EQ(printed([&] { EXPECT_FALSE(vis->hasHardwareExtension(8)); }),
              "Error: this extension was not checked\n");

    vis->enableHardwareOptimization(true);
    printed([&] { vis->initializeRenderer(); });
    // Mesa offers framebuffer objects: they stand for the off-screen target flags.
    for (unsigned int i = 4; i < 8; ++i) EXPECT_EQ(vis->hasHardwareExtension(i), i != 7) << i;
}

// A BMP header of `bytes` bytes in all that claims width x height pixels of 24 bits.
static std::string bmpHeader(int32_t width, int32_t height, uint32_t bytes = 70)
{
    std::string b = "BM";
    const auto put = [&b](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(bytes, 4), put(0, 4), put(54, 4), put(40, 4);
    put(static_cast<uint32_t>(width), 4), put(static_cast<uint32_t>(height), 4);
    put(1, 2), put(24, 2), put(0, 4), put(16, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    b.resize(bytes, '\0');
    return b;
}

// Files that cannot become textures: each prints its lines and yields all bits set, no row.
TEST_F(TabletopVisGLTest, UnloadableTextureFilesAreReportedWithAllBitsSet)
{
    ScopedWorkingDir dir;
    const struct {
        const char* name;
        std::string bytes; // empty: no such file
        const char* printed;
    } data[] = {
        {"no/such/file.png", "", "Unable to load texture imageno/such/file.png\n"},
        {"text.png", "not an image at all",
         "Texture image text.png refused: not an image in a supported format (PNG, JPEG, BMP)\n"
         "Unable to load texture imagetext.png\n"},
        {"wide.bmp", bmpHeader(70000, 100),
         "Texture image wide.bmp refused: 70000 x 100 pixels, more than 16384 a side or 67108864 "
         "in all\nUnable to load texture imagewide.bmp\n"},
        {"large.bmp", bmpHeader(10000, 10000),
         "Texture image large.bmp refused: 10000 x 10000 pixels, more than 16384 a side or "
         "67108864 in all\nUnable to load texture imagelarge.bmp\n"},
        // Such a header once crashed the image library.
        {"RegressionBmpClaimingSeventyThousandPixels.bmp", bmpHeader(70000, -70000),
         "Texture image RegressionBmpClaimingSeventyThousandPixels.bmp refused: the image header gives no valid "
         "size\nUnable to load texture imageRegressionBmpClaimingSeventyThousandPixels.bmp\n"},
    };
    for (const auto& d : data) {
        SCOPED_TRACE(d.name);
        if (!d.bytes.empty()) std::ofstream(d.name, std::ios::binary) << d.bytes;
        unsigned int name = 0;
        EXPECT_EQ(printed([&] { name = vis->loadTexture(d.name, true); }), d.printed);
        EXPECT_EQ(name, 4294967295u);
        EXPECT_EQ(vis->getNumberOfImageTextures(), 0u);
    }
}

// The decoder is chosen by the content (a BMP named .png and a JPEG named .bmp load); a texture
// keeps the box of its visible pixels.
TEST_F(TabletopVisGLTest, TexturesLoadByContentAndKeepTheBoxOfTheirVisiblePixels)
{
    ScopedWorkingDir dir;
    QImage opaque(24, 8, QImage::Format_RGB888);
    opaque.fill(QColor(10, 200, 30));
    ASSERT_TRUE(opaque.save("really-a-bmp.png", "BMP"));
    ASSERT_TRUE(opaque.save("really-a-jpeg.bmp", "JPEG"));
    for (const char* file : {"really-a-bmp.png", "really-a-jpeg.bmp"})
        EXPECT_NE(vis->loadTexture(file, true), TabletopVisGL::kTextureLoadFailed) << file;

    // Visible block at columns 5..9 and, counted from the top, rows 2..4: rows 11..13 from
    // the bottom of a 16-row image.
    QImage spot(32, 16, QImage::Format_RGBA8888);
    spot.fill(Qt::transparent);
    for (int y = 2; y <= 4; ++y)
        for (int x = 5; x <= 9; ++x) spot.setPixelColor(x, y, QColor(255, 0, 0, 255));
    ASSERT_TRUE(spot.save("spot.png"));
    vis->loadTexture("spot.png", true);
    ASSERT_EQ(vis->getNumberOfImageTextures(), 3u);
    // Alpha flag, the box (x, then y) and the size.
    EXPECT_EQ((std::vector<unsigned int>{vis->getTextureHasAlphaAt(2), vis->getTextureMinXAt(2),
                                         vis->getTextureMaxXAt(2), vis->getTextureMinYAt(2),
                                         vis->getTextureMaxYAt(2), vis->getTextureSizeAt(2)}),
              (std::vector<unsigned int>{1, 5, 9, 11, 13, 32}));
}

TEST_F(TabletopVisGLTest, FontsAreStoredOnceUnderTheirKey)
{
    // Keys drop folders and only the last extension.
    EXPECT_EQ(TabletopVisGL::fontKey("Arial", 72), "Arial72");
    EXPECT_EQ(TabletopVisGL::fontKey("a/b.c/Font.v2.ttf", 8), "Font.v28");
    const char* liberation = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
    if (!fs::exists(liberation)) GTEST_SKIP() << "Liberation Sans is not installed";
    ScopedWorkingDir dir;
    fs::create_directory("fonts");
    fs::create_symlink(liberation, "fonts/Arial.ttf");

    printed([&] { EXPECT_TRUE(vis->loadFont("fonts/Arial.ttf", 24)); });
    FTTextureFont* font = vis->getFont("Arial24");
    EXPECT_NE(font, nullptr);
    printed([&] { vis->loadFont("fonts/Arial.ttf", 24); });
    EXPECT_EQ(vis->getFont("Arial24"), font);
    EXPECT_EQ(printed([&] { EXPECT_EQ(vis->getFont("Arial"), nullptr); }),
              "WARNING: FontArial not found\n");
    printed([&] { EXPECT_FALSE(vis->loadFont("fonts/Missing.ttf", 24)); });
    EXPECT_EQ(vis->getFont("Missing24"), nullptr);
}

TEST_F(TabletopVisGLTest, ScreenshotsAreNumberedFromZero)
{
    ScopedWorkingDir dir;
    addLeaf(50, 50, 128, 128);
    for (int i = 0; i < 2; ++i) {
        vis->saveScreenshot();
        vis->frame();
    }
    vis->frame(); // no request: no file
    EXPECT_TRUE(fs::exists("screenshot1.bmp"));
    EXPECT_FALSE(fs::exists("screenshot2.bmp"));
    // The picture is the frame: the grey square is in the middle.
    QImage shot(QString::fromStdString((dir.path() / "screenshot0.bmp").string()));
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(qRed(shot.pixel(128, 128)), 200);
    EXPECT_EQ(qRed(shot.pixel(10, 10)), 0);
}

TEST_F(TabletopVisGLTest, OffscreenTargetDrawsIntoTheBoundTexture)
{
    PBuffer pb;
    vis->init_pbuffer(&pb, 64, 64);

    GLuint overlay = 0;
    glGenTextures(1, &overlay);
    glBindTexture(GL_TEXTURE_2D, overlay);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    // First use: set the target up, as a writable texture's owner does.
    vis->activatePBuffer(&pb);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4ub(255, 0, 0, 255);
    glRecti(0, 0, 32, 64);
    vis->deactivatePBuffer(&pb);

    // The main framebuffer and its projection are back: a pixel-space quad lands where it should.
    glColor4ub(0, 0, 255, 255);
    glRecti(200, 200, 210, 210);
    EXPECT_EQ(gl->pixel(205, 205)[2], 255);

    // The texture holds the drawing: red on the left half, clear on the right.
    std::vector<unsigned char> texels(64 * 64 * 4);
    glBindTexture(GL_TEXTURE_2D, overlay);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const unsigned char* left = &texels[(32 * 64 + 10) * 4];
    const unsigned char* right = &texels[(32 * 64 + 40) * 4];
    EXPECT_EQ((std::vector<int>{left[0], left[3], right[0], right[3]}), (std::vector<int>{255, 255, 0, 0}));

    vis->shutdown_pbuffer(&pb);
    glDeleteTextures(1, &overlay);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
