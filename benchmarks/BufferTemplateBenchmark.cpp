// Sampling and area fills on a grid of about one cell per table pixel of a large component.
#include "core/BufferTemplate.h"

#include <benchmark/benchmark.h>

namespace {

constexpr unsigned int Width = 1000;
constexpr unsigned int Height = 800;

FloatBuffer makeGrid(unsigned int channels)
{
    FloatBuffer b(channels, 0);
    b.setSizeAndAllocateMemory(Width, Height);
    for (unsigned int i = 0; i < Width * Height * channels; ++i)
        b.getBufferArray()[i] = float(i % 97);
    return b;
}

// One sample per cell along a diagonal sweep, as primitives read their fields each frame.
void BM_SampleValue(benchmark::State& state)
{
    const FloatBuffer b = makeGrid(1);
    double x = 0.3, y = 0.7;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.getValue(x, y));
        x += 1.37;
        y += 0.91;
        if (x >= Width) x -= Width;
        if (y >= Height) y -= Height;
    }
}
BENCHMARK(BM_SampleValue);

void BM_Sample2DValues(benchmark::State& state)
{
    const FloatBuffer b = makeGrid(2);
    float out[2];
    double x = 0.3, y = 0.7;
    for (auto _ : state) {
        b.get2DValues(x, y, out);
        benchmark::DoNotOptimize(out);
        x += 1.37;
        y += 0.91;
        if (x >= Width) x -= Width;
        if (y >= Height) y -= Height;
    }
}
BENCHMARK(BM_Sample2DValues);

// A rotated square quad of the given half-diagonal, centred in the grid.
void BM_FillQuad(benchmark::State& state)
{
    FloatBuffer b = makeGrid(1);
    const int r = int(state.range(0));
    const int cx = Width / 2, cy = Height / 2;
    for (auto _ : state) {
        b.fillQuadWithValue(cx, cy - r, cx + r, cy, cx, cy + r, cx - r, cy, 1.0f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2 * r * r);
}
BENCHMARK(BM_FillQuad)->Arg(16)->Arg(128)->Arg(390);

void BM_InterpolateQuad2D(benchmark::State& state)
{
    FloatBuffer b = makeGrid(2);
    const int r = int(state.range(0));
    const int cx = Width / 2, cy = Height / 2;
    float v0[2] = {1, 0}, v1[2] = {0, 1}, v2[2] = {-1, 0}, v3[2] = {0, -1};
    for (auto _ : state) {
        b.interpolateQuadWithNDValues(cx, cy - r, v0, cx + r, cy, v1, cx, cy + r, v2, cx - r, cy, v3, 2);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2 * r * r);
}
BENCHMARK(BM_InterpolateQuad2D)->Arg(16)->Arg(128)->Arg(390);

// The whole grid under a quad that reaches far outside it.
void BM_FillClippedQuad(benchmark::State& state)
{
    FloatBuffer b = makeGrid(1);
    for (auto _ : state) {
        b.fillQuadWithValue(-5000, -5000, 6000, -4000, 5000, 6000, -6000, 5000, 2.0f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
}
BENCHMARK(BM_FillClippedQuad);

} // namespace
