#include "core/BufferTemplate.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>

#include <sys/mman.h>

namespace {

// Grids are read at scattered cells every frame (one sample per component); with 4 KiB pages
// nearly every such read also misses the TLB. Grids of a megabyte or more are therefore aligned
// to 2 MiB and offered to the kernel for transparent huge pages.
constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kHugePageThreshold = std::size_t(1) << 20;

void* allocateGrid(std::size_t bytes)
{
    if (bytes < kHugePageThreshold) {
        void* p = std::malloc(bytes == 0 ? 1 : bytes);
        if (!p) throw std::bad_alloc();
        return p;
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (!p) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(p, rounded, MADV_HUGEPAGE);
#endif
    return p;
}

// A value computed in floating point, stored as T: integers truncate towards zero and saturate
// (interpolation may overshoot the vertex values by up to half a column's step), bool is "non-zero".
template <class T, class R>
T toStored(R v)
{
    if constexpr (std::is_same_v<T, bool>) {
        return v != 0;
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(v);
    } else {
        if (std::isnan(v))
            return 0;
        v = std::trunc(v);
        if (v <= static_cast<R>(std::numeric_limits<T>::lowest()))
            return std::numeric_limits<T>::lowest();
        if (v >= static_cast<R>(std::numeric_limits<T>::max()))
            return std::numeric_limits<T>::max();
        return static_cast<T>(v);
    }
}

// The four-cell blend of a sample: a = (u0, r0), b = (u0, r0 + 1), c = (u0 + 1, r0), d = (u0 + 1, r0 + 1).
template <class T>
T blend(const double* w, T a, T b, T c, T d)
{
    if constexpr (std::is_same_v<T, bool>) {
        return (w[0] != 0.0 && a) || (w[1] != 0.0 && b) || (w[2] != 0.0 && c) || (w[3] != 0.0 && d);
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(w[0] * a + w[1] * b + w[2] * c + w[3] * d);
    } else {
        // Each term is truncated on its own; 64-bit elements need the wider mantissa.
        using R = std::conditional_t<(sizeof(T) > 4), long double, double>;
        const R sum = std::trunc(w[0] * static_cast<R>(a)) + std::trunc(w[1] * static_cast<R>(b))
                    + std::trunc(w[2] * static_cast<R>(c)) + std::trunc(w[3] * static_cast<R>(d));
        return toStored<T>(sum);
    }
}

// First cell of the two-cell sampling block along an axis of n cells, or −1 for an empty block.
// The block starts at (unsigned)(x − 0.5) and is pulled back so that it ends before the last cell.
long long blockStart(double x, unsigned int n)
{
    const double t = x - 0.5;
    if (!(t >= -1.0)) // below −0.5, or NaN
        return -1;
    long long start = t <= 0.0 ? 0 : (t >= n ? static_cast<long long>(n) : static_cast<long long>(t));
    if (start + 2 >= static_cast<long long>(n))
        start = static_cast<long long>(n) - 3; // negative for axes under 3 cells: empty
    return start;
}

// (int)r with the out-of-range results the hardware gives (INT_MIN) instead of undefined behaviour.
long long truncToInt(double r)
{
    if (!(r > static_cast<double>(INT_MIN) - 1.0 && r < static_cast<double>(INT_MAX) + 1.0))
        return INT_MIN;
    return static_cast<int>(r);
}

template <class T>
unsigned char toImageByte(T v, double scale, double offset, long long intScale, long long intOffset)
{
    if constexpr (std::is_same_v<T, bool>) {
        return ((v && scale != 0.0) || offset != 0.0) ? 1 : 0;
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<unsigned char>(truncToInt(static_cast<double>(v) * scale + offset));
    } else {
        // Only the low byte is kept, so modular 64-bit arithmetic gives the integer result's byte.
        const unsigned long long r = static_cast<unsigned long long>(v) * static_cast<unsigned long long>(intScale)
                                   + static_cast<unsigned long long>(intOffset);
        return static_cast<unsigned char>(r);
    }
}

struct ScanEdge {
    long long yMin;  // first row of the edge
    long long yMax;  // row after its last
    double x;        // x on the current row
    double slope;    // change of x per row
    int winding;     // +1 where the outline runs towards larger y, −1 towards smaller
    unsigned int values; // index of its current values (m) and their steps (m) in the value store
};

// One row's run of cells between two edge crossings.
struct ScanSpan {
    unsigned int row;
    long long c0;             // first column, unclipped: (int)(xa + 0.5)
    unsigned int first, last; // columns [first, last) clipped to the grid, first < last
    double xa, xb;            // crossings, xa < xb
    const double* va;         // m values at xa
    const double* vb;         // m values at xb
};

// Scan-converts the closed outline through the vertices (x, y) with m values per vertex blended along
// the edges, calling emit(span) for every non-empty span inside a width × height grid. Rows above
// the grid are skipped by advancing the edges in one step; scanning stops below the grid.
template <class Emit>
void scanConvert(const std::pair<int, int>* vertices, unsigned int count, const double* vertexValues, unsigned int m,
                 int fillRule, unsigned int width, unsigned int height, Emit emit)
{
    std::vector<ScanEdge> edges;
    std::vector<double> store; // per edge: m current values, then m steps per row
    edges.reserve(count);
    store.reserve(2 * m * count);
    for (unsigned int i = 0; i < count; ++i) {
        const unsigned int j = (i + 1) % count;
        if (vertices[i].second == vertices[j].second)
            continue;
        const unsigned int top = vertices[i].second < vertices[j].second ? i : j;
        const unsigned int bottom = top == i ? j : i;
        ScanEdge e;
        e.yMin = vertices[top].second;
        e.yMax = vertices[bottom].second;
        const double rows = static_cast<double>(e.yMax - e.yMin);
        e.x = vertices[top].first;
        e.slope = (static_cast<double>(vertices[bottom].first) - vertices[top].first) / rows;
        e.winding = top == i ? 1 : -1;
        e.values = static_cast<unsigned int>(store.size());
        for (unsigned int k = 0; k < m; ++k)
            store.push_back(vertexValues[top * m + k]);
        for (unsigned int k = 0; k < m; ++k)
            store.push_back((vertexValues[bottom * m + k] - vertexValues[top * m + k]) / rows);
        if (e.yMax <= 0 || e.yMin >= static_cast<long long>(height))
            continue; // wholly above or below the grid
        if (e.yMin < 0) {
            const double skipped = static_cast<double>(-e.yMin);
            e.x += e.slope * skipped;
            for (unsigned int k = 0; k < m; ++k)
                store[e.values + k] += store[e.values + m + k] * skipped;
            e.yMin = 0;
        }
        edges.push_back(e);
    }
    if (edges.empty())
        return;
    std::stable_sort(edges.begin(), edges.end(),
                     [](const ScanEdge& a, const ScanEdge& b) { return a.yMin < b.yMin; });

    auto span = [&](long long y, const ScanEdge& a, const ScanEdge& b) {
        if (a.x == b.x)
            return;
        const long long c0 = static_cast<long long>(a.x + 0.5);
        const long long c1 = static_cast<long long>(b.x + 0.5);
        const long long first = std::max(c0, 0LL);
        const long long last = std::min(c1, static_cast<long long>(width));
        if (first >= last)
            return;
        emit(ScanSpan{static_cast<unsigned int>(y), c0, static_cast<unsigned int>(first),
                      static_cast<unsigned int>(last), a.x, b.x, store.data() + a.values,
                      store.data() + b.values});
    };

    std::vector<ScanEdge*> active;
    std::size_t next = 0;
    long long y = edges.front().yMin;
    while (next < edges.size() || !active.empty()) {
        if (active.empty() && edges[next].yMin > y)
            y = edges[next].yMin;
        if (y >= static_cast<long long>(height))
            break;
        while (next < edges.size() && edges[next].yMin == y)
            active.push_back(&edges[next++]);
        // Few edges, nearly sorted from the previous row: insertion sort by x.
        for (std::size_t i = 1; i < active.size(); ++i) {
            ScanEdge* e = active[i];
            std::size_t j = i;
            for (; j > 0 && active[j - 1]->x > e->x; --j)
                active[j] = active[j - 1];
            active[j] = e;
        }
        if (fillRule == EVEN_ODD_FILL) {
            for (std::size_t i = 0; i + 1 < active.size(); i += 2)
                span(y, *active[i], *active[i + 1]);
        } else {
            int winding = 0;
            const ScanEdge* start = nullptr;
            for (const ScanEdge* e : active) {
                const int before = winding;
                winding += e->winding;
                if (before == 0 && winding != 0)
                    start = e;
                else if (before != 0 && winding == 0)
                    span(y, *start, *e);
            }
        }
        for (ScanEdge* e : active) {
            e->x += e->slope;
            double* v = store.data() + e->values;
            for (unsigned int k = 0; k < m; ++k)
                v[k] += v[m + k];
        }
        ++y;
        active.erase(std::remove_if(active.begin(), active.end(), [y](const ScanEdge* e) { return e->yMax == y; }),
                     active.end());
    }
}

} // namespace

template <class T>
BufferTemplate<T>::BufferTemplate(unsigned int id)
{
    setParameters(1, id);
}

template <class T>
BufferTemplate<T>::BufferTemplate(unsigned int channels, unsigned int id)
{
    setParameters(channels, id);
}

template <class T>
BufferTemplate<T>::~BufferTemplate()
{
    release();
}

template <class T>
BufferTemplate<T>::BufferTemplate(const BufferTemplate& other)
{
    setParameters(other.channels_, other.id_);
    if (other.rows_) {
        setSizeAndAllocateMemory(other.width_, other.height_);
        std::copy(other.data_, other.data_ + elements_, data_);
    }
    valid_ = other.valid_;
    validating_ = other.validating_;
}

template <class T>
BufferTemplate<T>& BufferTemplate<T>::operator=(const BufferTemplate& other)
{
    markAllWritten();
    if (this != &other) {
        BufferTemplate copy(other);
        *this = std::move(copy);
    }
    return *this;
}

template <class T>
BufferTemplate<T>::BufferTemplate(BufferTemplate&& other) noexcept
{
    *this = std::move(other);
}

template <class T>
BufferTemplate<T>& BufferTemplate<T>::operator=(BufferTemplate&& other) noexcept
{
    markAllWritten();
    if (this == &other)
        return *this;
    release();
    bytesPerCell_ = other.bytesPerCell_;
    bytesPerChannel_ = other.bytesPerChannel_;
    channels_ = other.channels_;
    id_ = other.id_;
    width_ = other.width_;
    height_ = other.height_;
    cells_ = other.cells_;
    elements_ = other.elements_;
    bytes_ = other.bytes_;
    data_ = other.data_;
    rows_ = other.rows_;
    valid_ = other.valid_;
    validating_ = other.validating_;
    other.data_ = nullptr;
    other.rows_ = nullptr;
    other.release();
    return *this;
}

template <class T>
void BufferTemplate<T>::setParameters(unsigned int channels, unsigned int id)
{
    release();
    channels_ = channels;
    bytesPerChannel_ = sizeof(T);
    bytesPerCell_ = channels * static_cast<unsigned int>(sizeof(T));
    id_ = id;
    valid_ = false;
    validating_ = false;
}

template <class T>
void BufferTemplate<T>::release()
{
    markAllWritten();
    std::free(data_);
    delete[] rows_;
    data_ = nullptr;
    rows_ = nullptr;
    width_ = height_ = cells_ = elements_ = bytes_ = 0;
}

template <class T>
void BufferTemplate<T>::setSizeAndAllocateMemory(unsigned int width, unsigned int height)
{
    release();
    // The counts are 32-bit; a grid they cannot describe would be indexed past its allocation.
    const unsigned long long elements = static_cast<unsigned long long>(width) * height * channels_;
    if (elements * sizeof(T) > std::numeric_limits<unsigned int>::max())
        throw std::bad_array_new_length();
    static_assert(std::is_trivial_v<T>, "grids hold plain values");
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T, Free> data(static_cast<T*>(allocateGrid(elements * sizeof(T))));
    std::unique_ptr<T*[]> rows(new T*[height]);
    const std::size_t rowElements = static_cast<std::size_t>(width) * channels_;
    for (unsigned int y = 0; y < height; ++y)
        rows[y] = data.get() + y * rowElements;
    data_ = data.release();
    rows_ = rows.release();
    width_ = width;
    height_ = height;
    cells_ = width * height;
    elements_ = static_cast<unsigned int>(elements);
    bytes_ = static_cast<unsigned int>(elements * sizeof(T));
}

template <class T>
void BufferTemplate<T>::clearBuffer()
{
    markAllWritten();
    if (data_)
        std::memset(static_cast<void*>(data_), 0, bytes_);
}

template <class T>
void BufferTemplate<T>::destroy()
{
    delete this;
}

template <class T>
void BufferTemplate<T>::computePixelCoverage(double x, double y, double* weights) const
{
    const double fx = x - std::trunc(x + 0.5);
    const double fy = y - std::trunc(y + 0.5);
    weights[0] = (0.5 - fx) * (0.5 - fy);
    weights[1] = (0.5 - fx) * (0.5 + fy);
    weights[2] = (0.5 + fx) * (0.5 - fy);
    weights[3] = (0.5 + fx) * (0.5 + fy);
}

template <class T>
T BufferTemplate<T>::getValue(double x, double y) const
{
    T v;
    getNDValues(x, y, 1, &v);
    return v;
}

template <class T>
void BufferTemplate<T>::getNDValues(double x, double y, unsigned int n, T* out) const
{
    const long long u0 = blockStart(x, width_);
    const long long r0 = blockStart(y, height_);
    if (u0 < 0 || r0 < 0) {
        std::fill(out, out + n, T());
        return;
    }
    double w[4];
    computePixelCoverage(x, y, w);
    const T* a = rows_[r0] + u0 * channels_;
    const T* b = rows_[r0 + 1] + u0 * channels_;
    const T* c = a + channels_;
    const T* d = b + channels_;
    for (unsigned int k = 0; k < n; ++k)
        out[k] = blend<T>(w, a[k], b[k], c[k], d[k]);
}

template <class T>
void BufferTemplate<T>::fillEntireBuffer(T v)
{
    markAllWritten();
    std::fill(data_, data_ + elements_, v);
}

template <class T>
void BufferTemplate<T>::fillEntireBufferWith2DValue(T* v)
{
    fillGroups(v, 2);
}

template <class T>
void BufferTemplate<T>::fillEntireBufferWith3DValue(T* v)
{
    fillGroups(v, 3);
}

template <class T>
void BufferTemplate<T>::fillGroups(const T* v, unsigned int size)
{
    markAllWritten();
    for (unsigned int i = 0; i < elements_; i += size)
        std::copy(v, v + std::min(size, elements_ - i), data_ + i);
}

template <class T>
void BufferTemplate<T>::fillQuadWithValue(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3, T v)
{
    const std::pair<int, int> quad[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}};
    fillOutline(quad, 4, EVEN_ODD_FILL, v);
}

template <class T>
void BufferTemplate<T>::fillOutline(const std::pair<int, int>* vertices, unsigned int count, int fillRule, T v)
{
    ++version_;
    scanConvert(vertices, count, nullptr, 0, fillRule, width_, height_, [&](const ScanSpan& s) {
        markWritten(s.first, s.row, s.last, s.row + 1);
        T* row = rows_[s.row];
        std::fill(row + s.first * channels_, row + s.last * channels_, v);
    });
}

template <class T>
void BufferTemplate<T>::fillQuadWithNDValue(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3,
                                            unsigned int n, T* v)
{
    ++version_;
    const std::pair<int, int> quad[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}};
    scanConvert(quad, 4, nullptr, 0, EVEN_ODD_FILL, width_, height_, [&](const ScanSpan& s) {
        markWritten(s.first, s.row, s.last, s.row + 1);
        for (T* cell = rows_[s.row] + s.first * channels_, *end = rows_[s.row] + s.last * channels_; cell != end;
             cell += channels_)
            std::copy(v, v + n, cell);
    });
}

template <class T>
void BufferTemplate<T>::fillComplexPolygonWithValue(std::vector<std::pair<int, int>> vertices, int fillRule, T v)
{
    if (vertices.size() < 3)
        return;
    fillOutline(vertices.data(), static_cast<unsigned int>(vertices.size()),
                fillRule == EVEN_ODD_FILL ? EVEN_ODD_FILL : NON_ZERO_FILL, v);
}

template <class T>
void BufferTemplate<T>::shadeQuad(const std::pair<int, int>* quad, const double* vertexValues, unsigned int m,
                                  Shading shading)
{
    ++version_;
    std::vector<double> value(m), step(m);
    const unsigned int n = shading == Shading::LinearLength ? m - 1 : m;
    scanConvert(quad, 4, vertexValues, m, EVEN_ODD_FILL, width_, height_, [&](const ScanSpan& s) {
        markWritten(s.first, s.row, s.last, s.row + 1);
        const double dx = s.xb - s.xa;
        for (unsigned int k = 0; k < m; ++k) {
            step[k] = (s.vb[k] - s.va[k]) / dx;
            value[k] = s.va[k] + (s.c0 - s.xa) * step[k];
            if (s.first != s.c0) // clipped on the left
                value[k] += (s.first - s.c0) * step[k];
        }
        T* cell = rows_[s.row] + s.first * channels_;
        for (unsigned int c = s.first; c < s.last; ++c, cell += channels_) {
            switch (shading) {
            case Shading::AllChannels:
                std::fill(cell, cell + channels_, toStored<T>(value[0]));
                break;
            case Shading::PerChannel:
                for (unsigned int k = 0; k < n; ++k)
                    cell[k] = toStored<T>(value[k]);
                break;
            case Shading::LinearLength: {
                double squares = 0.0;
                for (unsigned int k = 0; k < n; ++k)
                    squares += value[k] * value[k];
                const double length = std::sqrt(squares);
                const double factor = length == 0.0 ? 0.0 : value[n] / length;
                for (unsigned int k = 0; k < n; ++k)
                    cell[k] = toStored<T>(value[k] * factor);
                break;
            }
            }
            for (unsigned int k = 0; k < m; ++k)
                value[k] += step[k];
        }
    });
}

template <class T>
void BufferTemplate<T>::interpolateQuadWithValues(int x0, int y0, T value0, int x1, int y1, T value1,
                                                  int x2, int y2, T value2, int x3, int y3, T value3)
{
    const std::pair<int, int> quad[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}};
    const double values[4] = {static_cast<double>(value0), static_cast<double>(value1),
                              static_cast<double>(value2), static_cast<double>(value3)};
    shadeQuad(quad, values, 1, Shading::AllChannels);
}

template <class T>
void BufferTemplate<T>::interpolateQuadWithNDValues(int x0, int y0, T* value0, int x1, int y1, T* value1,
                                                    int x2, int y2, T* value2, int x3, int y3, T* value3,
                                                    unsigned int n)
{
    const std::pair<int, int> quad[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}};
    const T* vertex[4] = {value0, value1, value2, value3};
    std::vector<double> values(4 * n);
    for (unsigned int i = 0; i < 4; ++i)
        for (unsigned int k = 0; k < n; ++k)
            values[i * n + k] = static_cast<double>(vertex[i][k]);
    shadeQuad(quad, values.data(), n, Shading::PerChannel);
}

template <class T>
void BufferTemplate<T>::interpolateQuadWithNDValuesWithLinearLength(int x0, int y0, T* value0, int x1, int y1,
                                                                    T* value1, int x2, int y2, T* value2,
                                                                    int x3, int y3, T* value3, unsigned int n)
{
    const std::pair<int, int> quad[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}};
    const T* vertex[4] = {value0, value1, value2, value3};
    // Each vertex carries its n channels and, behind them, its vector's length.
    const unsigned int m = n + 1;
    std::vector<double> values(4 * m);
    for (unsigned int i = 0; i < 4; ++i) {
        double squares = 0.0;
        for (unsigned int k = 0; k < n; ++k) {
            const double c = static_cast<double>(vertex[i][k]);
            values[i * m + k] = c;
            squares += c * c;
        }
        values[i * m + n] = std::sqrt(squares);
    }
    shadeQuad(quad, values.data(), m, Shading::LinearLength);
}

template <class T>
void BufferTemplate<T>::insertionSort(int** entries, int count)
{
    for (int i = 1; i < count; ++i)
        insert(entries, i, entries[i][0], entries[i][1]);
}

template <class T>
void BufferTemplate<T>::insert(int** entries, int position, int key, int value)
{
    int j = position;
    for (; j > 0 && entries[j - 1][1] > value; --j) {
        entries[j][0] = entries[j - 1][0];
        entries[j][1] = entries[j - 1][1];
    }
    entries[j][0] = key;
    entries[j][1] = value;
}

template <class T>
void BufferTemplate<T>::createImage(const char* name, double scale, double offset) const
{
    if (channels_ == 0)
        throw std::logic_error("IBuffer.createImage error: There are no channels in this buffer!");

    std::string base = name ? name : "";
    const std::string ending = ".ppm";
    if (base.size() >= ending.size() && base.compare(base.size() - ending.size(), ending.size(), ending) == 0)
        base.erase(base.size() - ending.size());

    const long long intScale = truncToInt(scale);
    const long long intOffset = truncToInt(offset);
    const unsigned int images = (channels_ - 1) / 3 + 1;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(cells_) * 3);
    for (unsigned int i = 0; i < images; ++i) {
        const std::string fileName = base + std::to_string(i) + ending;
        const unsigned int channelCount = std::min(3u, channels_ - 3 * i);
        unsigned char* out = pixels.data();
        for (unsigned int y = height_; y-- > 0;) {
            const T* cell = rows_[y] + 3 * i;
            for (unsigned int x = 0; x < width_; ++x, cell += channels_, out += 3) {
                for (unsigned int j = 0; j < 3; ++j)
                    out[j] = j < channelCount ? toImageByte(cell[j], scale, offset, intScale, intOffset) : 0;
            }
        }
        std::ofstream file(fileName, std::ios::binary);
        file << "P6 " << width_ << ' ' << height_ << " 255 ";
        file.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
        file.close();
        if (file)
            std::cout << "i-Buffer data written to file: " << fileName << "\n";
        else
            std::cout << "i-Buffer data could not be written to file: " << fileName << "\n";
    }
}

template class BufferTemplate<float>;
template class BufferTemplate<double>;
template class BufferTemplate<char>;
template class BufferTemplate<unsigned char>;
template class BufferTemplate<int>;
template class BufferTemplate<unsigned int>;
template class BufferTemplate<long>;
template class BufferTemplate<unsigned long>;
template class BufferTemplate<bool>;
