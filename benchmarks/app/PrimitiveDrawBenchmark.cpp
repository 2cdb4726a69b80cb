// Drawing the painting's primitives in an offscreen OpenGL context (needs an X display; Mesa's
// llvmpipe under Xvfb on machines without a GPU). Each benchmark runs, in the same iterations,
// the batched path, the per-primitive reference path and a baseline, and reports their ratios:
// - BM_DrawPrimitives: main-thread CPU per primitive of drawing N points or strokes (varied
//   colours and sizes, turning every frame) batched (point sprites), batched through vertex
//   arrays and one by one, against two CPU baselines from a compact array (no GL): building
//   what the batched path draws from (one instance per primitive: build_cpu_ns) and building
//   the triangles of every shape (fan_build_cpu_ns). collect_cpu_ns is the batched path up to
//   the draw call; on llvmpipe the draw call itself (vertex processing, setup and binning run on
//   the calling thread) is the rest;
// - BM_WholeFrame: the controller's whole frame (buffers, update, drawing) with N points while a
//   touch paints, batched with sprites, through vertex arrays and one by one, in wall time up to
//   glFinish.
#include "BenchmarkSupport.h"
#include "canvas/CanvasCompositeGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/PrimitiveBatch.h"
#include "canvas/StrokeLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <vector>

namespace {

using bench::kHeight;
using bench::kWidth;
using bench::processSeconds;
using bench::threadSeconds;

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class BenchCanvas : public CanvasCompositeGL {
public:
    BenchCanvas(TabletopVisGL* vis, unsigned int w, unsigned int h)
        : CanvasCompositeGL(vis, w, h, w / 2.0, h / 2.0, 0.0, 0.0, 0.0, 0, 32.0f, 0.0f)
    {
    }
    void queueForDeletion(VisComponent*) override {}
};

// What the CPU baseline builds the vertices from.
struct CompactPrimitive {
    float x, y, rotation, width, height;
    unsigned char rgba[4];
    int shape;
};

// kind 0: points, 1: strokes (textured).
void BM_DrawPrimitives(benchmark::State& state, int kind)
{
    bench::Offscreen* gl = bench::Offscreen::get();
    if (!gl) {
        state.SkipWithError("no OpenGL context (is DISPLAY set?)");
        return;
    }
    gl->bind();
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    const long n = state.range(0);
    // Not deleted at the end: teardown is not measured here.
    auto* vis = new TabletopVisGL(1, 100, 100, kWidth, kHeight);
    auto* canvas = new BenchCanvas(vis, kWidth, kHeight);
    vis->addComponent(canvas, false);
    // Strokes are measured as sprites too, against the vertex arrays the program uses.
    canvas->setStrokeSprites(true);
    vis->loadTexture(NPR_DATA_DIR "/textures/strokes/stroke-5-1.png", true);
    tavlor::seedRand15(5);
    std::vector<PrimitiveLeafGL*> primitives;
    std::vector<CompactPrimitive> compact;
    for (long i = 0; i < n; ++i) {
        const double x = tavlor::rand15() * (kWidth - 1) / 32767.0;
        const double y = tavlor::rand15() * (kHeight - 1) / 32767.0;
        const double a = tavlor::rand15() * 360.0 / 32767.0;
        const double size = 10.0 + tavlor::rand15() % 30;
        PrimitiveLeafGL* p = nullptr;
        if (kind == 0)
            p = new PointLeafGL(vis, x, y, size, size, a, 0);
        else
            p = new StrokeLeafGL(vis, x, y, size, size, a, 0, 0);
        vis->addComponent(p, false);
        canvas->addChild(p);
        const auto r = static_cast<unsigned char>(tavlor::rand15() % 256);
        const auto g = static_cast<unsigned char>(tavlor::rand15() % 256);
        const auto b = static_cast<unsigned char>(tavlor::rand15() % 256);
        p->setDisplayColor(r, g, b);
        primitives.push_back(p);
        compact.push_back({static_cast<float>(x), static_cast<float>(y), static_cast<float>(a),
                           static_cast<float>(size), static_cast<float>(size), {r, g, b, 255},
                           static_cast<int>(i % 16)});
    }
    std::cout.rdbuf(saved);
    // Past the hidden frames; the first batched frame builds the sprite programs.
    for (int i = 0; i < 4; ++i)
        for (PrimitiveLeafGL* p : primitives) p->render();
    // One frame of each path first: llvmpipe compiles its shader variants on first use.
    for (bool sprites : {true, false}) {
        canvas->setPointSprites(sprites);
        canvas->beginRenderBatch(false);
        for (PrimitiveLeafGL* p : primitives) p->render();
        canvas->endRenderBatch(false);
    }
    canvas->setPointSprites(true);
    for (PrimitiveLeafGL* p : primitives) p->render();
    glFinish();

    PrimitiveBatch cpuBatch;
    std::vector<PrimitiveBatch::ColorVertex> fans;
    std::vector<PrimitiveBatch::TexturedVertex> quads;
    const float texCoords[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    double batchedCpu = 0.0, batchedWall = 0.0, referenceCpu = 0.0, referenceWall = 0.0;
    double arraysCpu = 0.0, arraysWall = 0.0, buildCpu = 0.0, fanBuildCpu = 0.0, collectCpu = 0.0;
    // Processor time of all threads up to glFinish: the raster threads' work included.
    double batchedAll = 0.0, arraysAll = 0.0, referenceAll = 0.0;
    std::size_t sprites = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (PrimitiveLeafGL* p : primitives) p->rotate(0.7);
        for (CompactPrimitive& c : compact) c.rotation += 0.7f;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        state.ResumeTiming();

        const std::size_t spritesBefore = canvas->lastRenderBatch().spritesDrawn();
        double a0 = processSeconds(), c0 = threadSeconds(), w0 = wallSeconds();
        canvas->beginRenderBatch(false);
        for (PrimitiveLeafGL* p : primitives) p->render();
        collectCpu += threadSeconds() - c0;
        canvas->endRenderBatch(false);
        double c1 = threadSeconds();
        glFinish();
        double w1 = wallSeconds();
        batchedAll += processSeconds() - a0;
        batchedCpu += c1 - c0;
        batchedWall += w1 - w0;
        sprites += canvas->lastRenderBatch().spritesDrawn() - spritesBefore;

        canvas->setPointSprites(false);
        a0 = processSeconds();
        c0 = threadSeconds();
        w0 = wallSeconds();
        canvas->beginRenderBatch(false);
        for (PrimitiveLeafGL* p : primitives) p->render();
        canvas->endRenderBatch(false);
        c1 = threadSeconds();
        glFinish();
        w1 = wallSeconds();
        arraysAll += processSeconds() - a0;
        arraysCpu += c1 - c0;
        arraysWall += w1 - w0;
        canvas->setPointSprites(true);

        a0 = processSeconds();
        c0 = threadSeconds();
        w0 = wallSeconds();
        for (PrimitiveLeafGL* p : primitives) p->render();
        c1 = threadSeconds();
        glFinish();
        w1 = wallSeconds();
        referenceAll += processSeconds() - a0;
        referenceCpu += c1 - c0;
        referenceWall += w1 - w0;

        c0 = threadSeconds();
        for (const CompactPrimitive& c : compact) {
            PrimitivePlacement at;
            at.x = c.x;
            at.y = c.y;
            const double a = c.rotation * 0.017453292519943295;
            at.cosA = std::cos(a);
            at.sinA = std::sin(a);
            at.sx = c.width;
            at.sy = c.height;
            if (kind == 0)
                cpuBatch.addPoint(at, c.shape, c.rgba);
            else
                cpuBatch.addStroke(at, 1, texCoords, c.rgba);
        }
        benchmark::DoNotOptimize(cpuBatch.pendingGroups().front()->count);
        buildCpu += threadSeconds() - c0;

        // The triangles of every shape, as the vertex-array path builds them.
        c0 = threadSeconds();
        const PrimitiveInstance* in = cpuBatch.pendingGroups().front()->instances.data();
        if (kind == 0) {
            fans.resize(compact.size() * PrimitiveBatch::kPointVertices);
            for (std::size_t i = 0; i < compact.size(); ++i)
                PrimitiveBatch::buildPoint(in[i], &fans[i * PrimitiveBatch::kPointVertices]);
            benchmark::DoNotOptimize(fans.data());
        } else {
            quads.resize(compact.size() * 4);
            for (std::size_t i = 0; i < compact.size(); ++i)
                PrimitiveBatch::buildStroke(in[i], &quads[i * 4]);
            benchmark::DoNotOptimize(quads.data());
        }
        fanBuildCpu += threadSeconds() - c0;
        cpuBatch.clear();
    }
    const double per = 1e9 / (static_cast<double>(state.iterations()) * n);
    state.counters["batched_cpu_ns"] = batchedCpu * per;
    state.counters["reference_cpu_ns"] = referenceCpu * per;
    state.counters["build_cpu_ns"] = buildCpu * per;
    // Building the shapes' triangles adds to building the instances.
    state.counters["fan_build_cpu_ns"] = (buildCpu + fanBuildCpu) * per;
    state.counters["arrays_cpu_ns"] = arraysCpu * per;
    state.counters["arrays_wall_ns"] = arraysWall * per;
    state.counters["sprite_share"] = static_cast<double>(sprites) /
                                     (static_cast<double>(state.iterations()) * n);
    // The part of the batched CPU spent before the draw call (the rest is the driver's).
    state.counters["collect_cpu_ns"] = collectCpu * per;
    state.counters["batched_over_build"] = batchedCpu / buildCpu;
    state.counters["batched_over_fan_build"] = batchedCpu / (buildCpu + fanBuildCpu);
    state.counters["reference_over_batched"] = referenceCpu / batchedCpu;
    state.counters["reference_over_arrays"] = referenceCpu / arraysCpu;
    state.counters["batched_wall_ns"] = batchedWall * per;
    state.counters["reference_wall_ns"] = referenceWall * per;
    state.counters["batched_all_cpu_ns"] = batchedAll * per;
    state.counters["arrays_all_cpu_ns"] = arraysAll * per;
    state.counters["reference_all_cpu_ns"] = referenceAll * per;
}

void BM_DrawPoints(benchmark::State& state) { BM_DrawPrimitives(state, 0); }
void BM_DrawStrokes(benchmark::State& state) { BM_DrawPrimitives(state, 1); }
BENCHMARK(BM_DrawPoints)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawStrokes)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The whole frame with N points while a held touch in orientation mode writes the brush
// footprint every frame; batched and reference frames alternate.
void BM_WholeFrame(benchmark::State& state)
{
    bench::Offscreen* gl = bench::Offscreen::get();
    if (!gl) {
        state.SkipWithError("no OpenGL context (is DISPLAY set?)");
        return;
    }
    gl->bind();
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    tavlor::seedRand15(3);
    // Not deleted at the end: teardown is not measured here.
    auto* builder = new RuduzozovorERUBuilderGL;
    builder->buildVis(1, 64, 64, kWidth, kHeight);
    RuduzozovorERUVisGL* vis = builder->getApplicationVis();
    vis->setAnimating(true);
    vis->setOneFingerRange(0, 1e9);
    builder->buildCanvas(10.0, 50.0, 1, 32.0, nullptr, kHeight);
    CanvasCompositeGL* canvas = vis->findFirst<CanvasCompositeGL>();
    for (long i = 0; i < state.range(0); ++i) {
        const double x = tavlor::rand15() * (kWidth - 1) / 32767.0;
        const double y = tavlor::rand15() * (kHeight - 1) / 32767.0;
        const double a = tavlor::rand15() * 360.0 / 32767.0;
        auto* p = static_cast<PrimitiveLeafGL*>(vis->createPoint(x, y, 16.0, 16.0, a, 0, false));
        if (!p) continue;
        canvas->addChild(p);
        p->setDisplayColor(static_cast<unsigned char>(tavlor::rand15() % 256),
                           static_cast<unsigned char>(tavlor::rand15() % 256),
                           static_cast<unsigned char>(tavlor::rand15() % 256));
    }
    canvas->setToolState(4, 2, 2.0f);
    canvas->updatePostureRanges();
    canvas->setInteractionMode(CanvasCompositeGL::MODE_ORIENT);
    vis->setInputCombo(0);
    vis->setTouchBoundWidth(0, 10.0);
    vis->setTouchBoundHeight(0, 10.0);
    vis->devicePress(kWidth / 2, kHeight / 2, 0, 0);
    // 0: sprites, 1: vertex arrays, 2: one by one; a few frames of each first (llvmpipe compiles
    // its shader variants on first use).
    for (int i = 0; i < 6; ++i) {
        canvas->setBatchedDrawing(i % 3 != 2);
        canvas->setPointSprites(i % 3 == 0);
        vis->render(1, 60.0);
    }
    double wall[3] = {0.0, 0.0, 0.0};
    double all[3] = {0.0, 0.0, 0.0};
    double main[3] = {0.0, 0.0, 0.0};
    long frame = 0;
    for (auto _ : state) {
        for (int mode : {0, 1, 2}) {
            vis->deviceMove(kWidth / 2 + (++frame % 2) * 20, kHeight / 2, 0, 0);
            canvas->setBatchedDrawing(mode != 2);
            canvas->setPointSprites(mode == 0);
            gl->bind();
            const double a0 = processSeconds();
            const double w0 = wallSeconds();
            const double c0 = threadSeconds();
            vis->render(1, 60.0);
            main[mode] += threadSeconds() - c0;
            glFinish();
            wall[mode] += wallSeconds() - w0;
            all[mode] += processSeconds() - a0;
        }
    }
    canvas->setBatchedDrawing(true);
    canvas->setPointSprites(true);
    const double batched = wall[0], arrays = wall[1], reference = wall[2];
    std::cout.rdbuf(saved);
    const double frames = static_cast<double>(state.iterations());
    state.counters["batched_ms"] = batched / frames * 1e3;
    state.counters["arrays_ms"] = arrays / frames * 1e3;
    state.counters["reference_ms"] = reference / frames * 1e3;
    state.counters["arrays_over_batched"] = arrays / batched;
    state.counters["reference_over_batched"] = reference / batched;
    // Processor time of all threads per frame: what the frame costs on a machine that is busy.
    state.counters["batched_all_cpu_ms"] = all[0] / frames * 1e3;
    state.counters["arrays_all_cpu_ms"] = all[1] / frames * 1e3;
    state.counters["reference_all_cpu_ms"] = all[2] / frames * 1e3;
    state.counters["reference_over_batched_all_cpu"] = all[2] / all[0];
    // The calling thread's share: llvmpipe rasterises the frame only once it is flushed, so this
    // part adds to the wall time rather than overlapping the raster threads.
    state.counters["batched_main_cpu_ms"] = main[0] / frames * 1e3;
    state.counters["reference_main_cpu_ms"] = main[2] / frames * 1e3;
}
BENCHMARK(BM_WholeFrame)->Arg(20000)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
