#pragma once
// The builder's scene in the offscreen context, frames one at a time and mouse drags through the controller.

#include "CanvasTestSupport.h"
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/CanvasCompositeGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

class PaintingSceneGLTest : public GLTest {
protected:
    void buildScene(unsigned int width, unsigned int height, unsigned int seed, float primitiveSize, bool animating)
    {
        tavlor::seedRand15(seed);
        OutputCapture quiet;
        builder.buildVis(1, 64, 64, width, height);
        vis = builder.getApplicationVis();
        vis->setAnimating(animating);
        setTestPostureRanges(*vis);
        builder.buildCanvas(10.0, 50.0, 1, primitiveSize, nullptr, 256.0);
        canvas = vis->findFirst<CanvasCompositeGL>();
        ASSERT_NE(canvas, nullptr);
    }
    virtual void frame()
    {
        gl->bindFramebuffer();
        vis->render(1, 60.0);
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) frame();
    }
    // A mouse drag (one finger of 10 x 10) through the points, a frame per step of at most `step`
    // pixels; `rest` frames with the finger resting before the release.
    void drag(const std::vector<std::pair<int, int>>& points, int step, int rest = 0)
    {
        vis->setTouchBoundWidth(0, 10.0);
        vis->setTouchBoundHeight(0, 10.0);
        vis->devicePress(unsigned(points[0].first), unsigned(points[0].second), 0, 0);
        frame();
        for (std::size_t k = 1; k < points.size(); ++k) {
            const auto [x0, y0] = points[k - 1];
            const auto [x1, y1] = points[k];
            const int n = std::max(1, std::max(std::abs(x1 - x0), std::abs(y1 - y0)) / step);
            for (int i = 1; i <= n; ++i) {
                vis->deviceMove(unsigned(x0 + (x1 - x0) * i / n), unsigned(y0 + (y1 - y0) * i / n), 0, 0);
                frame();
            }
        }
        frames(rest);
        vis->deviceRelease(unsigned(points.back().first), unsigned(points.back().second), 0, 0);
        frames(2);
    }

    RuduzozovorERUBuilderGL builder; // owns the controller
    RuduzozovorERUVisGL* vis = nullptr;
    CanvasCompositeGL* canvas = nullptr;
};
