// Per-frame cost of the brush's writes (per footprint cell).
#include "canvas/CanvasCompositeGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/ToolBrushLeafGL.h"

#include "core/Random.h"
#include "vis/TabletopVisGL.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

class BenchCanvas : public CanvasCompositeGL {
public:
    BenchCanvas(TabletopVisGL* vis, unsigned int w, unsigned int h)
        : CanvasCompositeGL(vis, w, h, w / 2.0, h / 2.0, 0.0, 0.0, 0.0, 0, 32.0f, 0.0f)
    {
    }
    bool isPainting() override { return true; }
    void queueForDeletion(VisComponent*) override {}
    BufferTemplate<float>* tools() { return getActiveBufferAs<float>(TOOL_STATE_BUFFER); }
};

struct Scene {
    std::unique_ptr<TabletopVisGL> vis;
    BenchCanvas* canvas = nullptr;
    std::vector<StrokeLeafGL*> strokes;

    explicit Scene(int n)
    {
        vis = std::make_unique<TabletopVisGL>(1, 100, 100, 1600, 1200);
        canvas = new BenchCanvas(vis.get(), 1600, 1200);
        vis->addComponent(canvas, false);
        tavlor::seedRand15(1);
        for (int i = 0; i < n; ++i) {
            auto* s = new StrokeLeafGL(vis.get(), tavlor::rand15() * 1599.0 / 32767.0,
                                       tavlor::rand15() * 1199.0 / 32767.0, 32.0, 32.0,
                                       tavlor::rand15() * 360.0 / 32767.0, 0, 0);
            vis->addComponent(s, false);
            canvas->addChild(s);
            strokes.push_back(s);
        }
        // A field that keeps every step of the update busy: slow drift, turning, colour.
        float move[2] = {0.01f, 0.0f};
        canvas->getActiveBufferAs<float>(DIRECTION_BUFFER)->fillEntireBufferWith2DValue(move);
        float orient[2] = {0.3f, 0.7f};
        canvas->getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER)
            ->fillEntireBufferWith2DValue(orient);
    }
};

// The update of the primitives is measured in PrimitiveUpdateBenchmark.cpp.

// One brush frame of the given kind (tool-state (0, 0)) at diameter 200 with its clears;
// reported per footprint cell.
void BM_BrushFrame(benchmark::State& state)
{
    Scene scene(0);
    auto* brush = new ToolBrushLeafGL(scene.vis.get(), 230, 230, 800, 600, 1, 600, 200);
    scene.vis->addComponent(brush, false);
    scene.canvas->addChild(brush);
    BufferTemplate<float>* tools = scene.canvas->tools();
    tools->setValue(0u, 0u, static_cast<float>(state.range(0)));
    tools->setValue(4u, 1u, -10.0f);
    tools->setValue(2u, 1u, 0.0f);
    tools->setValue(5u, 1u, 0.0f);
    tools->setValue(9u, 1u, 2.0f);
    tools->setValue(6u, 0u, 800.0f);
    tools->setValue(6u, 1u, 600.0f);
    brush->renderIntoBuffers();
    const double cells = static_cast<double>(brush->getBufferWidth()) * brush->getBufferHeight();
    for (auto _ : state) brush->renderIntoBuffers();
    state.counters["ns_per_cell"] =
        benchmark::Counter(state.iterations() * cells,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::OneK::kIs1000);
}
// 1 size, 2 orientation (radial), 3 colour, 4 erase, 5 move (field), 9 size difference.
BENCHMARK(BM_BrushFrame)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(5)->Arg(9)->Unit(benchmark::kMicrosecond);

} // namespace
