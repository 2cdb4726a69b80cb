// Removing primitives against creating them, through the application's controller and canvas
// (no graphics context: GL calls without one do nothing). Each iteration builds a scene of N
// strokes, tiles or points on the canvas, timed as the baseline, then removes them one of three
// ways, timed as the benchmark: the whole controller goes (rebuilding a demo, closing the
// program), every primitive is erased through the canvas's deletion queue, or each is deleted
// through deleteComponent. Times are the thread's processor time. The counter "ratio" is removal
// over building the scene (controller, canvas, primitives) in the same iterations,
// "ratio_to_primitives" removal over creating the primitives alone; linear removal keeps them
// flat as N grows.
#include "BenchmarkSupport.h"
#include "canvas/CanvasCompositeGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <benchmark/benchmark.h>

#include <iostream>
#include <vector>

namespace {

constexpr unsigned int kWidth = 1600;
constexpr unsigned int kHeight = 1200;

using bench::threadSeconds;

enum class Removal { Controller, DeletionQueue, DeleteEach };

// kind: 0 strokes, 1 tiles, 2 points; placed straight onto the canvas, as the brush does.
void teardownBenchmark(benchmark::State& state, Removal removal)
{
    const int kind = static_cast<int>(state.range(0));
    const long count = state.range(1);
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    double built = 0.0;
    double created = 0.0;
    double removed = 0.0;
    for (auto _ : state) {
        tavlor::seedRand15(7);
        RuduzozovorERUBuilderGL builder;
        const double start = threadSeconds();
        builder.buildVis(1, 64, 64, kWidth, kHeight);
        RuduzozovorERUVisGL* vis = builder.getApplicationVis();
        builder.buildCanvas(10.0, 50.0, 1, 32.0, nullptr, kHeight);
        CanvasCompositeGL* canvas = vis->findFirst<CanvasCompositeGL>();
        const double sceneBuilt = threadSeconds();
        std::vector<VisComponent*> primitives;
        primitives.reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i) {
            VisComponent* p = bench::createRandomPrimitive(vis, kind, kWidth, kHeight);
            if (p) canvas->addChild(p);
            primitives.push_back(p);
        }
        const double primitivesCreated = threadSeconds();
        switch (removal) {
        case Removal::Controller:
            builder.setVis(nullptr);
            break;
        case Removal::DeletionQueue:
            for (VisComponent* p : primitives) canvas->queueForDeletion(p);
            canvas->renderIntoBuffers();
            break;
        case Removal::DeleteEach:
            for (VisComponent* p : primitives) vis->deleteComponent(p);
            break;
        }
        const double end = threadSeconds();
        state.SetIterationTime(end - primitivesCreated);
        built += sceneBuilt - start;
        created += primitivesCreated - sceneBuilt;
        removed += end - primitivesCreated;
        builder.setVis(nullptr);
    }
    std::cout.rdbuf(saved);
    const double n = static_cast<double>(state.iterations());
    state.counters["scene_ms"] = built / n * 1e3;
    state.counters["create_ms"] = created / n * 1e3;
    state.counters["remove_ms"] = removed / n * 1e3;
    // Removal over making the scene with its primitives, and over making the primitives alone.
    state.counters["ratio"] = removed / (built + created);
    state.counters["ratio_to_primitives"] = removed / created;
}

void BM_TeardownController(benchmark::State& state) { teardownBenchmark(state, Removal::Controller); }
void BM_TeardownDeletionQueue(benchmark::State& state) { teardownBenchmark(state, Removal::DeletionQueue); }
void BM_TeardownDeleteEach(benchmark::State& state) { teardownBenchmark(state, Removal::DeleteEach); }

// (kind, count): 0 strokes, 1 tiles, 2 points.
void sizes(benchmark::internal::Benchmark* b)
{
    for (int kind : {0, 1, 2})
        for (int count : {5000, 40000, 50000}) b->Args({kind, count});
    b->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_TeardownController)->Apply(sizes);
BENCHMARK(BM_TeardownDeletionQueue)->Apply(sizes);
BENCHMARK(BM_TeardownDeleteEach)->Apply(sizes);

} // namespace
