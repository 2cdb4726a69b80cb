// What a moving lens costs per frame on the painting canvas, in an offscreen OpenGL context (needs
// an X display; Mesa's llvmpipe under Xvfb on machines without a GPU).
//
// BM_LensFrame: the whole frame of a 1280 x 800 canvas with 20,000 points, without a lens (side 0)
// and with a size lens of the given side that moves 6 pixels every frame, so it rewrites its field
// each frame. The difference between the rows is the lens's work.
// BM_LensFieldUpkeep: that work alone (the move and the field rewrite) for lens sides 100 to 400 on
// canvases from 640 x 400 to 1920 x 1200: it follows the lens area (about 4 times per doubling of
// the side) and stays flat as the canvas grows. BM_WholeFieldRefill is what refilling the whole
// field each frame would cost instead.
// Processor time of this thread (the machine may be shared).
#include "BenchmarkSupport.h"
#include "canvas/CanvasCompositeGL.h"
#include "components/SizeLensLeafGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <GL/gl.h>

#include <benchmark/benchmark.h>


namespace {

// A canvas of w x h (no overflow) with n points on it.
bench::CanvasScene makeScene(int w, int h, long n)
{
    return bench::CanvasScene(w, h, 0.0, 12.0, 2, n, 5);
}

SizeLensLeafGL* addLens(bench::CanvasScene& s, double side)
{
    SizeLensLeafGL* lens = s.vis->createSizeLens(side, side, false, s.canvas->getXPos(),
                                                 s.canvas->getYPos(), 0, 0, "Gaussian", 0.8, 2.0,
                                                 1);
    s.canvas->addChild(lens);
    return lens;
}

void BM_LensFrame(benchmark::State& state)
{
    bench::Offscreen* gl = bench::Offscreen::bindOrSkip(state);
    if (!gl) return;
    bench::QuietOutput quiet;
    bench::CanvasScene s = makeScene(1280, 800, 20000);
    SizeLensLeafGL* lens = state.range(0) > 0 ? addLens(s, static_cast<double>(state.range(0))) : nullptr;
    for (int i = 0; i < 5; ++i) s.vis->render(1, 60.0);
    double step = 6.0;
    for (auto _ : state) {
        if (lens) {
            lens->moveBy(step, 0.0, true);
            step = -step;
        }
        gl->bind();
        const double t0 = bench::threadSeconds();
        s.vis->render(1, 60.0);
        glFinish();
        state.SetIterationTime(bench::threadSeconds() - t0);
    }
    state.counters["lens_cells"] = lens ? lens->getFieldRect().area() : 0;
}

void BM_LensFieldUpkeep(benchmark::State& state)
{
    bench::Offscreen* gl = bench::Offscreen::bindOrSkip(state);
    if (!gl) return;
    bench::QuietOutput quiet;
    const int w = static_cast<int>(state.range(1));
    bench::CanvasScene s = makeScene(w, w * 5 / 8, 0);
    SizeLensLeafGL* lens = addLens(s, static_cast<double>(state.range(0)));
    lens->renderIntoBuffers();
    double step = 6.0;
    constexpr int kRepeats = 20;
    for (auto _ : state) {
        const double t0 = bench::threadSeconds();
        for (int i = 0; i < kRepeats; ++i) {
            lens->moveBy(step, 0.0, true);
            step = -step;
            lens->renderIntoBuffers();
        }
        state.SetIterationTime((bench::threadSeconds() - t0) / kRepeats);
    }
    state.counters["lens_cells"] = lens->getFieldRect().area();
    state.counters["field_cells"] = s.canvas->getBufferWidth() * s.canvas->getBufferHeight();
}

void BM_WholeFieldRefill(benchmark::State& state)
{
    const unsigned int w = static_cast<unsigned int>(state.range(0));
    BufferTemplate<float> field(1, 0);
    field.setSizeAndAllocateMemory(w + 2, w * 5 / 8 + 2);
    for (auto _ : state) {
        field.fillEntireBuffer(1.0f);
        benchmark::DoNotOptimize(field.getBufferArray());
    }
}

BENCHMARK(BM_LensFrame)->Arg(0)->Arg(100)->Arg(200)->Arg(400)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LensFieldUpkeep)
    ->ArgsProduct({{100, 200, 400}, {640, 1280, 1920}})
    ->MinTime(0.2)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeFieldRefill)->Arg(640)->Arg(1280)->Arg(1920)->Unit(benchmark::kMicrosecond);

} // namespace
