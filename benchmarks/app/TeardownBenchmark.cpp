// Removing primitives against creating them, through the application's controller and canvas
// (no graphics context: GL calls without one do nothing). Each iteration builds a scene of N
// strokes, tiles or points on the canvas, timed as the baseline, then removes them one of three
// ways, timed as the benchmark: the whole controller goes (rebuilding a demo, closing the
// program), every primitive is erased through the canvas's deletion queue, or each is deleted
// through deleteComponent. The counter "ratio" is removal over creation in the same iteration;
// linear removal keeps it flat as N grows.
#include "canvas/CanvasCompositeGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <iostream>
#include <vector>

namespace {

constexpr unsigned int kWidth = 1600;
constexpr unsigned int kHeight = 1200;

enum class Removal { Controller, DeletionQueue, DeleteEach };

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// kind: 0 strokes, 1 tiles, 2 points; placed straight onto the canvas, as the brush does.
void teardownBenchmark(benchmark::State& state, Removal removal)
{
    const int kind = static_cast<int>(state.range(0));
    const long count = state.range(1);
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    double created = 0.0;
    double removed = 0.0;
    for (auto _ : state) {
        tavlor::seedRand15(7);
        RuduzozovorERUBuilderGL builder;
        const auto start = std::chrono::steady_clock::now();
        builder.buildVis(1, 64, 64, kWidth, kHeight);
        RuduzozovorERUVisGL* vis = builder.getApplicationVis();
        builder.buildCanvas(10.0, 50.0, 1, 32.0, nullptr, kHeight);
        CanvasCompositeGL* canvas = vis->findFirst<CanvasCompositeGL>();
        std::vector<VisComponent*> primitives;
        primitives.reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i) {
            const double x = tavlor::rand15() * (kWidth - 1) / 32767.0;
            const double y = tavlor::rand15() * (kHeight - 1) / 32767.0;
            const double a = tavlor::rand15() * 360.0 / 32767.0;
            VisComponent* p = nullptr;
            if (kind == 0) p = vis->createStroke(x, y, 32.0, 32.0, a, 0, 1, false);
            if (kind == 1) p = vis->createTile(x, y, 24.0, 24.0, a, 0, false, false);
            if (kind == 2) p = vis->createPoint(x, y, 16.0, 16.0, a, 0, false);
            if (p) canvas->addChild(p);
            primitives.push_back(p);
        }
        const double creation = secondsSince(start);

        const auto removalStart = std::chrono::steady_clock::now();
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
        const double removal_ = secondsSince(removalStart);
        state.SetIterationTime(removal_);
        created += creation;
        removed += removal_;
        builder.setVis(nullptr);
    }
    std::cout.rdbuf(saved);
    const double n = static_cast<double>(state.iterations());
    state.counters["create_ms"] = created / n * 1e3;
    state.counters["remove_ms"] = removed / n * 1e3;
    state.counters["ratio"] = removed / created;
    state.counters["remove_ns_per_primitive"] = removed / n / static_cast<double>(count) * 1e9;
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
