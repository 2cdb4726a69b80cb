// The tool brush's colour and orientation writes against a memory fill of the same channels over
// the same footprint, in the same run: per footprint cell (the brush's square of diameter + 2
// cells, centred on a 1600 x 1200 canvas), and the counter "ratio" is write over fill.
#include "canvas/CanvasCompositeGL.h"
#include "canvas/ToolBrushLeafGL.h"

#include "vis/TabletopVisGL.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <iostream>
#include <memory>

namespace {

constexpr unsigned int kWidth = 1600;
constexpr unsigned int kHeight = 1200;
constexpr int kRepeats = 20;

class BenchCanvas : public CanvasCompositeGL {
public:
    BenchCanvas(TabletopVisGL* vis, unsigned int w, unsigned int h)
        : CanvasCompositeGL(vis, w, h, w / 2.0, h / 2.0, 0.0, 0.0, 0.0, 0, 32.0f, 0.0f)
    {
    }
    bool isPainting() override { return true; }
    float& tool(unsigned int column, unsigned int row)
    {
        return getActiveBufferAs<float>(TOOL_STATE_BUFFER)->getBufferArray()[row * 10 + column];
    }
};

struct BrushScene {
    std::unique_ptr<TabletopVisGL> vis;
    BenchCanvas* canvas = nullptr;
    ToolBrushLeafGL* brush = nullptr;
    std::streambuf* saved = nullptr;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // the footprint, canvas cells, half open
    static constexpr int kCentreX = 800;
    static constexpr int kCentreY = 600;

    explicit BrushScene(float diameter)
    {
        saved = std::cout.rdbuf(nullptr);
        vis = std::make_unique<TabletopVisGL>(1, 100, 100, kWidth, kHeight);
        canvas = new BenchCanvas(vis.get(), kWidth, kHeight);
        vis->addComponent(canvas, false);
        brush = new ToolBrushLeafGL(vis.get(), 230, 230, kWidth / 2.0, kHeight / 2.0, 1, 600,
                                    diameter);
        vis->addComponent(brush, false);
        canvas->addChild(brush);
        canvas->tool(0, 2) = diameter;
        brush->applyDiameter();
        canvas->tool(3, 1) = 200.0f;
        canvas->tool(3, 2) = 80.0f;
        canvas->tool(3, 3) = 30.0f;
        const int bw = static_cast<int>(brush->getBufferWidth());
        const int bh = static_cast<int>(brush->getBufferHeight());
        x0 = kCentreX - bw / 2;
        y0 = kCentreY - bh / 2;
        x1 = x0 + bw;
        y1 = y0 + bh;
        // Varied colours under the brush.
        auto* colour = canvas->getActiveBufferAs<unsigned char>(COLOR_BUFFER);
        unsigned char* c = colour->getBufferArray();
        for (unsigned int k = 0; k < colour->getWidth() * colour->getHeight() * 3; ++k)
            c[k] = static_cast<unsigned char>(k * 7 + k / 5);
    }
    ~BrushScene() { std::cout.rdbuf(saved); }
    double cells() const { return static_cast<double>(x1 - x0) * (y1 - y0); }

    // Fills every channel of the footprint cells of the buffer.
    template <class T> void fill(BUFFERTAG tag, T value)
    {
        BufferTemplate<T>* b = canvas->getActiveBufferAs<T>(tag);
        const unsigned int ch = b->getChannelNumber();
        T* data = b->getBufferArray();
        for (int y = y0; y < y1; ++y) {
            T* row = data + static_cast<std::size_t>(y) * b->getWidth() * ch;
            std::fill(row + x0 * ch, row + x1 * ch, value);
        }
    }
};

double seconds(const std::function<void()>& f)
{
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < kRepeats; ++r) {
        f();
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(benchmark::State& state, double written, double filled, double cells)
{
    const double n = static_cast<double>(state.iterations()) * kRepeats * cells;
    state.counters["write_ns_per_cell"] = written / n * 1e9;
    state.counters["fill_ns_per_cell"] = filled / n * 1e9;
    state.counters["ratio"] = written / filled;
}

// Colour: the blend into the three channels of the colour buffer, after the stroke's first write.
void BM_BrushColourWrite(benchmark::State& state)
{
    BrushScene scene(static_cast<float>(state.range(0)));
    const float cx = BrushScene::kCentreX, cy = BrushScene::kCentreY;
    scene.brush->paintColor(cx, cy);
    double written = 0.0, filled = 0.0;
    for (auto _ : state) {
        const double w = seconds([&] { scene.brush->paintColor(cx, cy); });
        filled += seconds([&] { scene.fill<unsigned char>(COLOR_BUFFER, 90); });
        written += w;
        state.SetIterationTime(w / kRepeats);
    }
    report(state, written, filled, scene.cells());
}

// Orientation: the two channels of the temporary orientation (and the speed for sub-mode 3,
// follow); sub-modes 0 radial, 1 circular, 2 random, 3 follow.
void BM_BrushOrientationWrite(benchmark::State& state)
{
    BrushScene scene(static_cast<float>(state.range(0)));
    const int subMode = static_cast<int>(state.range(1));
    const int x = BrushScene::kCentreX, y = BrushScene::kCentreY;
    double written = 0.0, filled = 0.0;
    for (auto _ : state) {
        const double w = seconds([&] {
            scene.brush->paintOrientation(x, y, x - 30, y + 12, subMode, true);
        });
        filled += seconds([&] {
            scene.fill<float>(TEMPORARY_ORIENTATION_BUFFER, 0.5f);
            if (subMode == 3) scene.fill<int>(SPEED_BUFFER, 14);
        });
        written += w;
        state.SetIterationTime(w / kRepeats);
    }
    report(state, written, filled, scene.cells());
}

BENCHMARK(BM_BrushColourWrite)->Arg(50)->Arg(200)->Arg(600)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BrushOrientationWrite)
    ->ArgsProduct({{50, 200, 600}, {0, 1, 2, 3}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
