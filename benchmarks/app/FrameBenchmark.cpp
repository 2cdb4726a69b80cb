// The whole frame of the painting scene in an offscreen OpenGL context (needs an X display; Mesa's
// llvmpipe under Xvfb on machines without a GPU): the controller's render call with N strokes,
// tiles or points on a 1600 x 1200 canvas, buffers updated, primitives animated and drawn, and a
// brush writing under a held touch.
#include "BenchmarkSupport.h"
#include "canvas/CanvasCompositeGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <GL/gl.h>

#include <benchmark/benchmark.h>


namespace {

using bench::kHeight;
using bench::kWidth;

// kind: 0 strokes, 1 tiles, 2 points, all on layer 0.
void frameBenchmark(benchmark::State& state, int kind, bool painting)
{
    bench::Offscreen* gl = bench::Offscreen::bindOrSkip(state);
    if (!gl) return;
    bench::QuietOutput quiet;
    const bench::CanvasScene scene(kWidth, kHeight, 50.0, 32.0, kind, state.range(0), 3);
    RuduzozovorERUVisGL* vis = scene.vis;
    CanvasCompositeGL* canvas = scene.canvas;
    vis->setOneFingerRange(0, 1e9);
    canvas->updatePostureRanges();
    if (painting) {
        // A held touch in orientation mode: the brush writes its footprint every frame.
        canvas->setInteractionMode(3);
        vis->setInputCombo(0);
        vis->setTouchBoundWidth(0, 10.0);
        vis->setTouchBoundHeight(0, 10.0);
        vis->devicePress(kWidth / 2, kHeight / 2, 0, 0);
    }
    for (int i = 0; i < 5; ++i) vis->render(1, 60.0);
    for (auto _ : state) {
        if (painting) vis->deviceMove(kWidth / 2 + (state.iterations() % 2) * 20, kHeight / 2, 0, 0);
        gl->bind();
        vis->render(1, 60.0);
        glFinish();
    }
    state.counters["primitives"] = static_cast<double>(vis->countComponents());
}

void BM_FrameStrokes(benchmark::State& state) { frameBenchmark(state, 0, false); }
void BM_FrameTiles(benchmark::State& state) { frameBenchmark(state, 1, false); }
void BM_FramePoints(benchmark::State& state) { frameBenchmark(state, 2, false); }
void BM_FrameStrokesPainting(benchmark::State& state) { frameBenchmark(state, 0, true); }

BENCHMARK(BM_FrameStrokes)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameTiles)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePoints)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameStrokesPainting)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
