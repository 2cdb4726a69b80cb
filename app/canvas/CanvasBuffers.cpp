#include "canvas/CanvasBuffers.h"

#include "core/Random.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <iostream>
#include <vector>

namespace canvas {

void fillRandomOrientation(BufferTemplate<float>& orientation)
{
    float* data = orientation.getBufferArray();
    const unsigned int channels = orientation.getChannelNumber();
    const unsigned long cells =
        static_cast<unsigned long>(orientation.getWidth()) * orientation.getHeight();
    if (!data || channels < 2) return;
    for (unsigned long i = 0; i < cells; ++i) {
        const double r = tavlor::rand15() / 32767.0;
        const double v = r - (1.0 - r);
        float* cell = data + i * channels;
        cell[0] = 0.0f;
        // v is 0 only for r = 0.5 exactly, which rand15()/32767 never yields.
        cell[1] = static_cast<float>(v / std::fabs(v));
    }
}

void fillBorderSlowDown(BufferTemplate<float>& buffer, float slowDown)
{
    const int w = static_cast<int>(buffer.getWidth());
    const int h = static_cast<int>(buffer.getHeight());
    buffer.fillEntireBuffer(slowDown);
    for (int y = 0; y < h; ++y) {
        const int dy = std::min(y, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const int d = std::min(dy, std::min(x, w - 1 - x));
            if (d < 150)
                buffer.setValue(static_cast<unsigned>(x), static_cast<unsigned>(y),
                                std::min(static_cast<float>(d) * 0.0066666668f, slowDown));
        }
    }
}

void initializeToolState(BufferTemplate<float>& grid, float parameter)
{
    grid.fillEntireBuffer(0.0f);
    if (grid.getWidth() < 10 || grid.getHeight() < 10) return;
    grid.setValue(0u, 0u, 1.0f);   // brush kind
    grid.setValue(0u, 2u, 200.0f); // brush diameter
    grid.setValue(1u, 1u, 4.0f);
    grid.setValue(2u, 1u, 3.0f);   // orientation follows the touch path
    grid.setValue(4u, 1u, 5.0f);   // signed strength
    grid.setValue(4u, 2u, parameter);
}

template <class T>
void copyShifted(const BufferTemplate<T>& from, BufferTemplate<T>& to, int dx, int dy)
{
    const unsigned int channels = from.getChannelNumber();
    if (channels != to.getChannelNumber() || !from.getBufferArray() || !to.getBufferArray())
        return;
    const int fw = static_cast<int>(from.getWidth());
    const int fh = static_cast<int>(from.getHeight());
    const int tw = static_cast<int>(to.getWidth());
    const int th = static_cast<int>(to.getHeight());
    const int x0 = std::max(0, -dx);
    const int x1 = std::min(fw, tw - dx);
    if (x1 <= x0) return;
    const T* src = from.getBufferArray();
    T* dst = to.getBufferArray();
    for (int y = std::max(0, -dy); y < fh && y + dy < th; ++y) {
        const T* s = src + (static_cast<std::size_t>(y) * fw + x0) * channels;
        T* d = dst + (static_cast<std::size_t>(y + dy) * tw + x0 + dx) * channels;
        std::copy(s, s + static_cast<std::size_t>(x1 - x0) * channels, d);
    }
}

template void copyShifted<float>(const BufferTemplate<float>&, BufferTemplate<float>&, int, int);
template void copyShifted<int>(const BufferTemplate<int>&, BufferTemplate<int>&, int, int);

std::vector<std::string> dumpFileNames(int layer)
{
    const std::string prefix = "buffers/" + std::to_string(layer);
    return {prefix + "sizeBuffer.dat", prefix + "orientationBuffer.dat", prefix + "speedBuffer.dat",
            prefix + "sizeAbsDiffBuffer.dat", prefix + "tmpColorBuffer.dat"};
}

bool writeRaw(const IBuffer& buffer, const void* data, const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    if (data)
        out.write(static_cast<const char*>(data),
                  static_cast<std::streamsize>(buffer.getAllocatedMemorySizeInBytes()));
    return true;
}

bool readRaw(IBuffer& buffer, void* data, const std::string& path, bool floats)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) return false;
    const auto refuse = [&path](const std::string& why) {
        std::cout << "Buffer dump " << path << " not loaded: " << why << std::endl;
        return false;
    };
    if (!std::filesystem::is_regular_file(status)) return refuse("not a regular file");
    const unsigned long long expected = buffer.getAllocatedMemorySizeInBytes();
    const unsigned long long size = std::filesystem::file_size(path, error);
    if (error) return refuse("its size cannot be read");
    if (size != expected)
        return refuse(std::to_string(size) + " bytes, a " + std::to_string(buffer.getWidth()) +
                      " x " + std::to_string(buffer.getHeight()) + " buffer needs " +
                      std::to_string(expected));
    if (!data) return false;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes(static_cast<std::size_t>(expected));
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return refuse("it cannot be read");
    if (floats) {
        for (std::size_t i = 0; i + sizeof(float) <= bytes.size(); i += sizeof(float)) {
            float f;
            std::memcpy(&f, bytes.data() + i, sizeof f);
            if (!std::isfinite(f)) return refuse("it holds values that are not finite numbers");
        }
    }
    std::memcpy(data, bytes.data(), bytes.size());
    return true;
}

void ensureDumpFolder()
{
    std::error_code ignored;
    std::filesystem::create_directories("buffers", ignored);
}

} // namespace canvas
