// The OpenGL builder: textures, fonts and random placement through the controller's factories.
#include "GLTestComponents.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "components/ImageLeafGL.h"
#include "components/StorageBinCompositeGL.h"
#include "core/Random.h"
#include "vis/TabletopVisBuilderGL.h"
#include "vis/TabletopVisGL.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Records the factory calls the builder makes.
class RecordingVisGL : public TabletopVisGL {
public:
    using TabletopVisGL::TabletopVisGL;
    struct Call {
        std::string what;
        std::vector<double> args;
    };
    std::vector<Call> calls;

    // Images are made for real (and handed to their containers) when set.
    bool makeItems = false;

    ImageLeafGL* createImage(double w, double h, bool, bool, double x, double y, double z, double rotation,
                             unsigned int texture, bool drop) override
    {
        calls.push_back({"image", {w, h, x, y, z, rotation, double(texture), double(drop)}});
        return makeItems ? TabletopVisGL::createImage(w, h, true, true, x, y, z, rotation, texture, drop) : nullptr;
    }
    StickyNoteLeafGL* createStickyNote(double w, double h, bool, bool, double x, double y, double z,
                                       double rotation) override
    {
        calls.push_back({"note", {w, h, x, y, z, rotation}});
        return nullptr;
    }
    DocumentLeafGL* createDocument(double size, bool, bool, double x, double y, double z, double rotation,
                                   const char*, bool) override
    {
        calls.push_back({"document", {size, x, y, z, rotation}});
        return nullptr;
    }
    SizeLensLeafGL* createSizeLens(double w, double h, bool, double x, double y, double, double, const char*,
                                   double, double, unsigned int) override
    {
        calls.push_back({"size lens", {w, h, x, y}});
        return nullptr;
    }
};

class TabletopVisBuilderGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        vis = new RecordingVisGL(1, 64, 64, 1024, 768);
        builder.setVis(vis);
        tavlor::seedRand15(7);
    }
    TabletopVisBuilderGL builder;
    RecordingVisGL* vis = nullptr;
};

bool whole(double v) { return v == std::floor(v); }

} // namespace

TEST_F(TabletopVisBuilderGLTest, TexturesAreLoadedInPatternOrderAndImagesUseThem)
{
    // Before any texture is loaded, images get the failed texture name.
    builder.buildImages(40, 30, 1);
    ASSERT_EQ(vis->calls.size(), 1u);
    EXPECT_EQ(vis->calls[0].args[6], 4294967295.0);
    vis->calls.clear();

    ScopedWorkingDir dir;
    for (int i = 1; i <= 3; ++i) {
        QImage img(10 * i, 8, QImage::Format_RGB888);
        img.fill(Qt::white);
        ASSERT_TRUE(img.save(QString("img%1.png").arg(i)));
    }
    {
        OutputCapture quiet;
        builder.buildTextures(3, "img%d.png");
    }
    ASSERT_EQ(vis->getNumberOfImageTextures(), 3u);
    EXPECT_EQ(vis->getTextureSizeAt(2), 30u);

    const std::string long45(45 - 6, 'x');
    OutputCapture quiet;
    builder.buildTextures(3, (long45 + "%d.png").c_str());
    EXPECT_EQ(quiet.take(), "");
    EXPECT_EQ(vis->getNumberOfImageTextures(), 3u);

    // Images use the loaded textures.
    builder.buildImages(40, 30, 4);
    ASSERT_EQ(vis->calls.size(), 4u);
    for (const auto& call : vis->calls) EXPECT_NE(call.args[6], 4294967295.0);
}

TEST_F(TabletopVisBuilderGLTest, ContainersStartWithTheirImagesInsideAsChildren)
{
    vis->makeItems = true;
    builder.buildStorageBin(300, 300, 500, 400, 1, 6, 2, false, true, 3, 80, 60);
    ASSERT_EQ(vis->calls.size(), 3u);
    auto* bin = dynamic_cast<StorageBinCompositeGL*>(vis->getComponent(1));
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(bin->getNumberOfChildren(), 3u);
    for (const auto& call : vis->calls) {
        EXPECT_EQ(call.args[7], 0.0) << "not dropped: a child at once";
        EXPECT_LT(std::hypot(call.args[2] - 500, call.args[3] - 400), 150.0) << "inside the bin";
    }
}

TEST_F(TabletopVisBuilderGLTest, ItemsBeyondTheScreenGetARandomCoordinateLensesShareOne)
{
    builder.buildStickyNote(120, 90, 5000.0, 300.4, 15.0);
    builder.buildDocument(300, 2000.0, 50.7, "paper.pdf");
    builder.buildSizeLens(2, 100, 80, -1.0, 100.0, "linear", 1, 1, 1);
    ASSERT_EQ(vis->calls.size(), 4u);
    // x (at 2 for notes and lenses, 1 for documents) is random and whole; y is truncated.
    const std::vector<double>& note = vis->calls[0].args;
    const std::vector<double>& document = vis->calls[1].args;
    for (double x : {note[2], document[1], vis->calls[2].args[2]}) EXPECT_TRUE(x >= 0 && x <= 1023 && whole(x)) << x;
    EXPECT_EQ((std::vector<double>{note[3], note[5], document[2], document[3], vis->calls[2].args[3]}),
              (std::vector<double>{300.0, 15.0, 50.0, 0.0, 100.0}));
    EXPECT_EQ(vis->calls[2].args, vis->calls[3].args);
    // A picture that cannot be loaded makes no image.
    OutputCapture out;
    builder.buildImage("missing.png", 100, 100, 10, 10, 0);
    EXPECT_EQ(out.take(), "Unable to load texture imagemissing.png\n");
    EXPECT_EQ(vis->calls.size(), 4u);
}
