// The batched drawing of the canvas against the reference (each primitive with its own display
// list): the same picture of strokes, tiles and points on two layers with dimming, alpha from
// life, hidden new primitives and a geometric stroke in between; the same picking image.
#include "CanvasTestSupport.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"

#include <GL/gl.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace {

// The controller's scene renders, back to front.
class SceneVis : public TabletopVisGL {
public:
    using TabletopVisGL::TabletopVisGL;
    using TabletopVis::renderAllComponents;
    using TabletopVis::renderAllComponentsForPicking;
};

class PrimitiveBatchGLTest : public CanvasFixture<GLTest, SceneVis> {
protected:

    // The canvas and its children (or its picking image) read back whole.
    std::vector<unsigned char> frame(bool batched, bool picking)
    {
        canvas->setBatchedDrawing(batched);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (picking)
            vis->renderAllComponentsForPicking();
        else
            vis->renderAllComponents();
        std::vector<unsigned char> pixels(256 * 256 * 4);
        glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // The largest difference of a colour component and how many components differ at all.
    static void compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                        int* largest, int* differing)
    {
        *largest = 0;
        *differing = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const int d = std::abs(a[i] - b[i]);
            if (d > *largest) *largest = d;
            if (d != 0) ++*differing;
        }
    }
};

TEST_F(PrimitiveBatchGLTest, BatchedAndReferencePathsDrawTheSamePictureAndPickingImage)
{
    std::vector<unsigned int> textures;
    {
        OutputCapture quiet;
        for (const char* name : {"/textures/strokes/stroke-5-1.png", "/textures/strokes/stroke-1-1.png"})
            textures.push_back(vis->loadTexture((std::string(NPR_DATA_DIR) + name).c_str(), true));
    }
    ASSERT_NE(textures[0], TabletopVisGL::kTextureLoadFailed);
    ASSERT_NE(textures[1], TabletopVisGL::kTextureLoadFailed);

    std::mt19937 random(7);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto colour = [&](PrimitiveLeafGL* p) {
        p->setDisplayColor(static_cast<unsigned char>(random() % 256),
                           static_cast<unsigned char>(random() % 256),
                           static_cast<unsigned char>(random() % 256));
    };
    // Overlapping strokes of the first texture in the left half (fading with their life), of the
    // second in the right half, a quarter of them on the dimmed layer 1; tiles on layer 1 and
    // points on both.
    for (int i = 0; i < 40; ++i) {
        const bool second = i % 2 == 1;
        auto* s = add(new StrokeLeafGL(vis.get(), uniform(second ? 140 : 10, second ? 246 : 116),
                                       uniform(10, 246), uniform(20, 60), uniform(20, 60),
                                       uniform(0, 360), i % 4 == 0 ? 1 : 0, second ? 1 : 0));
        colour(s);
        s->setLife(static_cast<int>(uniform(20, 250)));
    }
    for (int i = 0; i < 30; ++i) {
        colour(add(new TileLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 30),
                                  uniform(8, 30), uniform(0, 360), 1, false)));
        colour(add(new PointLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 40),
                                   uniform(8, 40), uniform(0, 360), i % 2)));
    }
    // Not batched: the batch is flushed before it, so what came earlier stays under it.
    std::vector<Vector2d> line = {Vector2d(-100, -20), Vector2d(100, 20)};
    colour(add(new GeoStrokeLeafGL(vis.get(), 128, 128, 200, 40, 30, 0, line, 10)));
    for (int i = 0; i < 30; ++i)
        colour(add(new PointLeafGL(vis.get(), uniform(0, 256), uniform(0, 256), uniform(8, 40),
                                   uniform(8, 40), uniform(0, 360), 0)));
    canvas->tool(0, 5) = 1.0f;
    canvas->tool(0, 4) = 0.0f;

    // New primitives stay hidden for three frames on either path.
    const std::vector<unsigned char> empty = frame(true, false);
    EXPECT_EQ(frame(false, false), empty);
    frame(true, false);
    int largest = 0, differing = 0;
    compare(frame(false, false), empty, &largest, &differing);
    EXPECT_GT(differing, 10000) << "drawn from the fourth frame on";
    const std::vector<unsigned char> batched = frame(true, false);
    const std::vector<unsigned char> reference = frame(false, false);
    compare(batched, reference, &largest, &differing);
    EXPECT_LE(largest, 1) << differing << " components differ";

    const std::vector<unsigned char> batchedPicking = frame(true, true);
    const std::vector<unsigned char> referencePicking = frame(false, true);
    compare(batchedPicking, referencePicking, &largest, &differing);
    EXPECT_EQ(largest, 0) << differing << " components differ";
}

} // namespace
