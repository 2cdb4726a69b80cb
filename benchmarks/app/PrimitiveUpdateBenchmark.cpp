// The per-frame update of N strokes on the current layer in the honest case of painting: the
// fields differ from cell to cell (a vortex of movement, varied orientations and colours), so
// every primitive moves about a cell a frame, reads new values, takes a new colour and keeps
// turning, while a brush writes a rectangle of the orientation field every frame. Reported per
// primitive beside, in the same run, a compact struct-per-primitive loop in grid order doing the
// same reads and writes on the same buffers (the baseline), and their ratio. The second argument
// picks the update: 0 the canvas's pass over its store (as the program runs it), 1 each
// primitive's own update in creation order (the reference).
#include "BenchmarkSupport.h"
#include "canvas/CanvasCompositeGL.h"
#include "canvas/StrokeLeafGL.h"

#include "core/Random.h"
#include "vis/TabletopVisGL.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

using bench::threadSeconds;

constexpr unsigned int kWidth = 1600;
constexpr unsigned int kHeight = 1200;

class BenchCanvas : public CanvasCompositeGL {
public:
    BenchCanvas(TabletopVisGL* vis, unsigned int w, unsigned int h)
        : CanvasCompositeGL(vis, w, h, w / 2.0, h / 2.0, 0.0, 0.0, 0.0, 0, 32.0f, 0.0f)
    {
    }
    bool isPainting() override { return true; }
    void queueForDeletion(VisComponent*) override {}
};

// What the baseline keeps per primitive: 48 bytes.
struct Compact {
    float x, y;
    float rotation;
    float width, height;
    float targetWidth, targetHeight;
    float progress;
    float targetOrientation;
    int life;
    unsigned char r, g, b;
    unsigned char flags;
    unsigned int cell;
};

struct Scene {
    std::unique_ptr<TabletopVisGL> vis;
    BenchCanvas* canvas = nullptr;
    std::vector<StrokeLeafGL*> strokes;
    std::vector<Compact> compact;
    BufferTemplate<float>* movement = nullptr;
    BufferTemplate<float>* orientation = nullptr;
    BufferTemplate<unsigned char>* colour = nullptr;
    unsigned int frame = 0;

    // calm: no movement field, so the primitives come to rest once they face the field.
    explicit Scene(long n, bool calm = false)
    {
        vis = std::make_unique<TabletopVisGL>(1, 100, 100, kWidth, kHeight);
        canvas = new BenchCanvas(vis.get(), kWidth, kHeight);
        vis->addComponent(canvas, false);
        movement = canvas->getActiveBufferAs<float>(DIRECTION_BUFFER);
        orientation = canvas->getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER);
        colour = canvas->getActiveBufferAs<unsigned char>(COLOR_BUFFER);
        // A vortex around the centre at about one cell a frame (2.5 × 0.4), varied
        // orientations and colours from cell to cell.
        const unsigned int w = movement->getWidth();
        const unsigned int h = movement->getHeight();
        float* m = movement->getBufferArray();
        float* o = orientation->getBufferArray();
        unsigned char* c = colour->getBufferArray();
        for (unsigned int y = 0; y < h; ++y) {
            for (unsigned int x = 0; x < w; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * w + x;
                const double dx = x - w * 0.5;
                const double dy = y - h * 0.5;
                const double r = std::max(1.0, std::sqrt(dx * dx + dy * dy));
                m[2 * i] = calm ? 0.0f : static_cast<float>(-dy / r * 0.4);
                m[2 * i + 1] = calm ? 0.0f : static_cast<float>(dx / r * 0.4);
                const double a = (x * 7 + y * 13) % 360 * 0.017453292519943295;
                o[2 * i] = static_cast<float>(std::sin(a));
                o[2 * i + 1] = static_cast<float>(std::cos(a));
                c[3 * i] = static_cast<unsigned char>(x);
                c[3 * i + 1] = static_cast<unsigned char>(y);
                c[3 * i + 2] = static_cast<unsigned char>(x + y);
            }
        }
        tavlor::seedRand15(1);
        for (long i = 0; i < n; ++i) {
            const double x = 100.0 + tavlor::rand15() * (kWidth - 200.0) / 32767.0;
            const double y = 100.0 + tavlor::rand15() * (kHeight - 200.0) / 32767.0;
            const double a = tavlor::rand15() * 360.0 / 32767.0;
            auto* s = new StrokeLeafGL(vis.get(), x, y, 32.0, 32.0, a, 0, 0);
            vis->addComponent(s, false);
            canvas->addChild(s);
            strokes.push_back(s);
            Compact p{};
            p.x = static_cast<float>(x);
            p.y = static_cast<float>(y);
            p.rotation = static_cast<float>(a);
            p.width = p.height = p.targetWidth = p.targetHeight = 32.0f;
            p.progress = 1.0f;
            p.life = 210;
            p.cell = static_cast<unsigned int>(y + 1.5) * w + static_cast<unsigned int>(x + 1.5);
            compact.push_back(p);
        }
        std::sort(compact.begin(), compact.end(),
                  [](const Compact& a, const Compact& b) { return a.cell < b.cell; });
    }

    // A frame begins: the canvas's buffer pass starts the update, and the brush paints a 64 x 64
    // rectangle of the orientation field, turned a little every frame.
    void beginFrame()
    {
        canvas->beginUpdatePass();
        ++frame;
        const double a = frame * 0.1;
        float v[2] = {static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a))};
        for (unsigned int y = 500; y < 564; ++y)
            for (unsigned int x = 700; x < 764; ++x) orientation->set2DValues(x, y, v);
    }

    void update(bool storePass)
    {
        if (storePass)
            canvas->updatePrimitives(1.0);
        else
            for (StrokeLeafGL* s : strokes) s->update(1.0);
    }

    // The compact loop: the same reads (erase, colour, target area, movement, orientation,
    // size, size difference) and writes as the update, in grid order.
    void compactUpdate(double dt)
    {
        const unsigned int w = movement->getWidth();
        const unsigned int h = movement->getHeight();
        const auto& cm = *movement;
        const float* m = cm.getBufferArray();
        const float* o = std::as_const(*orientation).getBufferArray();
        const unsigned char* c = std::as_const(*colour).getBufferArray();
        const float* erase = std::as_const(*canvas->getActiveBufferAs<float>(ERASE_BUFFER)).getBufferArray();
        const bool* area = std::as_const(*canvas->getActiveBufferAs<bool>(TARGET_AREA_BUFFER)).getBufferArray();
        const float* size = std::as_const(*canvas->getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER)).getBufferArray();
        const float* diff = std::as_const(*canvas->getActiveBufferAs<float>(SIZE_DIFFERENCE_BUFFER)).getBufferArray();
        for (Compact& p : compact) {
            const unsigned int cx = std::min(w - 1, static_cast<unsigned int>(std::clamp(p.x, 0.0f, float(kWidth)) + 1.5f));
            const unsigned int cy = std::min(h - 1, static_cast<unsigned int>(std::clamp(p.y, 0.0f, float(kHeight)) + 1.5f));
            const std::size_t i = static_cast<std::size_t>(cy) * w + cx;
            p.cell = static_cast<unsigned int>(i);
            p.life -= static_cast<int>(erase[i]);
            if (c[3 * i] != p.r || c[3 * i + 1] != p.g || c[3 * i + 2] != p.b) {
                p.r = c[3 * i];
                p.g = c[3 * i + 1];
                p.b = c[3 * i + 2];
            }
            p.flags = area[i] ? 1 : 0;
            if (m[2 * i] != 0.0f || m[2 * i + 1] != 0.0f) {
                p.x += static_cast<float>(2.5 * m[2 * i] * dt);
                p.y += static_cast<float>(2.5 * m[2 * i + 1] * dt);
            }
            const float ox = o[2 * i];
            const float oy = o[2 * i + 1];
            if (ox * ox + oy * oy > 0.00001f) {
                p.targetOrientation = static_cast<float>(std::atan2(double(ox), double(oy)) * -57.29577951308232);
                double d = p.targetOrientation - p.rotation;
                while (d > 180.0) d -= 360.0;
                while (d <= -180.0) d += 360.0;
                if (d > 1.0 || d <= -1.0) p.rotation = static_cast<float>(p.rotation + 0.2 * d);
            }
            if (size[i] != p.targetWidth && size[i] != 0.0f) p.targetWidth = p.targetHeight = size[i];
            if (diff[i] != 0.0f) {
                p.targetWidth = std::clamp(p.width + diff[i], 5.0f, 250.0f);
                p.targetHeight = std::clamp(p.height + diff[i], 5.0f, 250.0f);
            }
            p.width += (p.targetWidth - p.width) * p.progress;
            p.height += (p.targetHeight - p.height) * p.progress;
            if (p.progress < 1.0f) p.progress = std::min(1.0f, p.progress + 0.02f);
        }
    }
};

void BM_PrimitiveUpdatePainting(benchmark::State& state)
{
    const long n = state.range(0);
    const bool storePass = state.range(1) == 0;
    state.SetLabel(storePass ? "store pass" : "per primitive");
    // Components are not deleted at the end: tearing down hundreds of thousands is not what is
    // measured here.
    auto* scene = new Scene(n);
    for (int i = 0; i < 3; ++i) {
        scene->beginFrame();
        scene->update(storePass);
        scene->compactUpdate(1.0);
    }
    double updateSeconds = 0.0;
    double baselineSeconds = 0.0;
    double turned = 0.0;
    for (auto _ : state) {
        scene->beginFrame();
        const double t0 = threadSeconds();
        scene->update(storePass);
        const double t1 = threadSeconds();
        scene->compactUpdate(1.0);
        const double t2 = threadSeconds();
        updateSeconds += t1 - t0;
        baselineSeconds += t2 - t1;
        // Primitives that still turn this frame (the honest case keeps them turning).
        state.PauseTiming();
        long turning = 0;
        for (StrokeLeafGL* s : scene->strokes) {
            double d = s->getTargetOrientation() - s->getRotation();
            while (d > 180.0) d -= 360.0;
            while (d <= -180.0) d += 360.0;
            if (d > 1.0 || d <= -1.0) ++turning;
        }
        turned += static_cast<double>(turning) / n;
        state.ResumeTiming();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["update_ns"] = updateSeconds / frames / n * 1e9;
    state.counters["compact_ns"] = baselineSeconds / frames / n * 1e9;
    state.counters["ratio"] = updateSeconds / baselineSeconds;
    state.counters["turning"] = turned / frames;
    // Store sorts per frame (the pass restores grid order when enough primitives moved).
    state.counters["sorts"] = static_cast<double>(scene->canvas->primitiveStore().sorts()) / (frames + 3);
}
BENCHMARK(BM_PrimitiveUpdatePainting)
    ->ArgsProduct({{1000, 10000, 50000, 200000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The store pass once the primitives have come to rest while the brush paints its rectangle
// every frame: only the primitives under the rectangle need an update. Beside it in the same
// run, the same frames with the whole orientation field written (every primitive updated).
void BM_PrimitiveUpdateAtRest(benchmark::State& state)
{
    const long n = state.range(0);
    auto* scene = new Scene(n, true);
    for (int i = 0; i < 120; ++i) {
        scene->beginFrame();
        scene->update(true);
    }
    double restSeconds = 0.0;
    double wholeSeconds = 0.0;
    double skipped = 0.0;
    for (auto _ : state) {
        scene->beginFrame();
        const double t0 = threadSeconds();
        scene->update(true);
        const double t1 = threadSeconds();
        skipped += static_cast<double>(scene->canvas->skippedInLastPass()) / n;
        // The same values again, but through the whole grid: no cell counts as unwritten.
        scene->orientation->getBufferArray();
        const double t2 = threadSeconds();
        scene->update(true);
        const double t3 = threadSeconds();
        restSeconds += t1 - t0;
        wholeSeconds += t3 - t2;
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["update_ns"] = restSeconds / frames / n * 1e9;
    state.counters["whole_ns"] = wholeSeconds / frames / n * 1e9;
    state.counters["ratio"] = restSeconds / wholeSeconds;
    state.counters["skipped"] = skipped / frames;
}
BENCHMARK(BM_PrimitiveUpdateAtRest)
    ->Arg(20000)->Arg(200000)
    ->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
