// Saving and opening a painting of N primitives against building it, on a 1280 x 800 table
// (no graphics context: GL calls without one do nothing). "build_ms" makes the scene as the
// program does (controller, canvas) and puts N primitives onto the canvas as the brushes do:
// strokes, tiles and points in turn, on layers 0 and 1. "save_ms" captures the painting and
// writes its file, "open_ms" reads and checks the file and restores it into the freshly built
// empty scene (its building not counted); "file_MB" is the file's size. "capture_ms" is a
// capture alone, "gesture_capture_ms" one that shares with the previous capture after a
// gesture-sized change (a 200 x 200 patch of colour and 20 new primitives), and
// "gesture_copied_MB" what that capture copied. Milliseconds of the thread's processor time
// (writing and reading the file included): the machine may be shared.
#include "BenchmarkSupport.h"
#include "canvas/CanvasCompositeGL.h"
#include "canvas/PaintingFile.h"
#include "canvas/PaintingSnapshot.h"
#include "canvas/PrimitiveLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <iostream>

namespace {

constexpr unsigned int kTableWidth = 1280;
constexpr unsigned int kTableHeight = 800;

double now() { return bench::threadSeconds(); }

CanvasCompositeGL* buildScene(RuduzozovorERUBuilderGL& builder)
{
    builder.buildVis(1, 64, 64, kTableWidth, kTableHeight);
    builder.buildCanvas(10.0, 50.0, 1, 32.0, nullptr, kTableHeight);
    return builder.getApplicationVis()->findFirst<CanvasCompositeGL>();
}

void BM_PaintingFile(benchmark::State& state)
{
    const long count = state.range(0);
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    QTemporaryDir dir;
    const QString file = dir.filePath("bench.nprpaint");
    double build = 0, scene = 0, save = 0, open = 0, decode = 0, capture = 0, gesture = 0, copied = 0, bytes = 0;
    for (auto _ : state) {
        tavlor::seedRand15(3);
        RuduzozovorERUBuilderGL builder;
        double t0 = now();
        CanvasCompositeGL* canvas = buildScene(builder);
        RuduzozovorERUVisGL* vis = builder.getApplicationVis();
        const double tScene = now();
        scene += tScene - t0;
        for (long i = 0; i < count; ++i)
            if (VisComponent* p = bench::createRandomPrimitive(vis, static_cast<int>(i % 3), kTableWidth, kTableHeight)) {
                canvas->addChild(p);
                if (i % 2) static_cast<PrimitiveLeafGL*>(p)->setLife(100);
            }
        double t1 = now();
        build += t1 - t0;

        t0 = now();
        const PaintingSnapshot snapshot = PaintingSnapshot::capture(*canvas);
        capture += now() - t0;
        QString error;
        if (!painting::save(snapshot, file, &error)) state.SkipWithError(error.toStdString().c_str());
        save += now() - t0;
        bytes += static_cast<double>(QFileInfo(file).size());

        // A gesture: a patch of colour and a few primitives, then the capture the undo takes.
        auto* colours = canvas->getActiveBufferAs<unsigned char>(COLOR_BUFFER);
        unsigned char red[3] = {200, 20, 20};
        for (unsigned int y = 300; y < 500; ++y)
            for (unsigned int x = 400; x < 600; ++x) colours->set3DValues(x, y, red);
        for (int i = 0; i < 20; ++i) canvas->addChild(bench::createRandomPrimitive(vis, 0, kTableWidth, kTableHeight));
        t0 = now();
        const PaintingSnapshot next = PaintingSnapshot::capture(*canvas, &snapshot);
        gesture += now() - t0;
        copied += static_cast<double>(next.bytesNotSharedWith(snapshot));

        RuduzozovorERUBuilderGL empty;
        CanvasCompositeGL* target = buildScene(empty);
        t0 = now();
        PaintingSnapshot read;
        if (!painting::load(file, &read, &error)) state.SkipWithError(error.toStdString().c_str());
        const double t2 = now();
        read.restore(*target);
        const double opened = now() - t0;
        decode += t2 - t0;
        open += opened;
        state.SetIterationTime(opened);
        empty.setVis(nullptr);
        builder.setVis(nullptr);
    }
    std::cout.rdbuf(saved);
    const double n = static_cast<double>(state.iterations());
    state.counters["build_ms"] = build / n * 1e3;
    state.counters["save_ms"] = save / n * 1e3;
    state.counters["open_ms"] = open / n * 1e3;
    state.counters["open_over_build"] = open / build;
    state.counters["read_ms"] = decode / n * 1e3;
    state.counters["scene_ms"] = scene / n * 1e3;
    state.counters["file_MB"] = bytes / n / 1e6;
    state.counters["capture_ms"] = capture / n * 1e3;
    state.counters["gesture_capture_ms"] = gesture / n * 1e3;
    state.counters["gesture_copied_MB"] = copied / n / 1e6;
}

// The builder's own way to a painting of N primitives: its build calls place strokes, tiles and
// points for dropping, and the next frame drops each onto the component under it (a picking
// render and read-back each), in the offscreen context. Compare with open_ms above.
void BM_BuilderPainting(benchmark::State& state)
{
    const long count = state.range(0);
    bench::Offscreen* gl = bench::Offscreen::get();
    if (!gl) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    for (auto _ : state) {
        tavlor::seedRand15(3);
        gl->bind();
        RuduzozovorERUBuilderGL builder;
        const double t0 = now();
        CanvasCompositeGL* canvas = buildScene(builder);
        builder.buildStrokes(32.0, 32.0, static_cast<unsigned>(count / 3), false);
        builder.buildTiles(24.0, 24.0, static_cast<unsigned>(count / 3), false);
        builder.buildPoints(16.0, 16.0, static_cast<unsigned>(count - 2 * (count / 3)));
        builder.getApplicationVis()->render(1, 60.0);
        state.SetIterationTime(now() - t0);
        state.counters["on_canvas"] = static_cast<double>(canvas->getNumberOfChildren());
        builder.setVis(nullptr);
    }
    std::cout.rdbuf(saved);
}

BENCHMARK(BM_BuilderPainting)->Arg(50000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_PaintingFile)->Arg(0)->Arg(50000)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
