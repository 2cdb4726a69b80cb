#pragma once
// BufferTemplate<T>: a typed, multi-channel, two-dimensional grid that components paint into and
// read from (colour, direction, orientation, size, friction, hit masks).
//
// Coordinate space: buffer cells. x is the column (0 … width − 1), y the row (0 … height − 1);
// cell (i, j) stands for the point at its centre (i + 0.5, j + 0.5). Component buffers reach
// cells through VisComponent's local-to-buffer conversion, which adds 1.5.
// Layout: one contiguous row-major array, the channels of a cell adjacent; element (x, y, c) is
// data[(y × width + x) × channels + c]. A table of row pointers spares a multiplication per access.
// Ownership: the buffer owns its data and row table. Copies are deep; moves transfer ownership.
// destroy() releases the buffer object itself and is only for heap-allocated buffers.

#include "core/IBuffer.h"

#include <utility>
#include <vector>

// Fill rules of fillComplexPolygonWithValue.
enum PolygonFillRule : int {
    EVEN_ODD_FILL = 0,   // a cell is inside when a ray from it crosses the outline an odd number of times
    NON_ZERO_FILL = 1,   // a cell is inside when the outline winds around it (any non-zero rule value)
};

template <class T>
class BufferTemplate : public IBuffer {
public:
    // One-channel buffer. Neither constructor allocates; call setSizeAndAllocateMemory.
    explicit BufferTemplate(unsigned int id = 0xFFFFFFFF);
    BufferTemplate(unsigned int channels, unsigned int id);
    ~BufferTemplate() override;

    BufferTemplate(const BufferTemplate& other);
    BufferTemplate& operator=(const BufferTemplate& other);
    BufferTemplate(BufferTemplate&& other) noexcept;
    BufferTemplate& operator=(BufferTemplate&& other) noexcept;

    // Sizes the grid in cells and allocates it, releasing any earlier grid. The contents are left
    // uninitialised. Throws std::bad_array_new_length when the grid's byte count does not fit 32 bits.
    void setSizeAndAllocateMemory(unsigned int width, unsigned int height);
    // Every byte of the grid to 0.
    void clearBuffer() override;
    void destroy() override;

    unsigned long getAllocatedMemorySize() const override { return bytes_ / 1024; }
    unsigned long getAllocatedMemorySizeInBytes() const override { return bytes_; }

    // final: calls through a typed pointer are resolved at compile time (per-frame cell reads
    // check bounds and address cells with them).
    unsigned int getWidth() const final { return width_; }
    unsigned int getHeight() const final { return height_; }
    unsigned int getID() const override { return id_; }
    unsigned int getChannelNumber() const final { return channels_; }
    unsigned int getBitDepth() const override { return bytesPerCell_; }
    unsigned int getBitDepthPerChannel() const override { return bytesPerChannel_; }
    // The non-const form counts as a modification of every cell (the caller may write through it).
    T* getBufferArray() { markAllWritten(); return data_; }
    const T* getBufferArray() const { return data_; }
    // Write access to the cells [x0, x1) x [y0, y1) only: a modification of that rectangle.
    T* getBufferArrayForRect(unsigned int x0, unsigned int y0, unsigned int x1, unsigned int y1)
    {
        markWritten(x0, y0, x1, y1);
        return data_;
    }
    // Counts modifications: every writing operation, and every non-const getBufferArray(),
    // changes it. Readers that sample the same cells each frame keep what they read and read
    // again only when the version (or the cell) changed.
    unsigned int getVersion() const { return version_; }

    // Where the grid was written since the last restartWrittenRegion(): a half-open rectangle
    // of cells covering every write, or the whole grid (whole-grid operations, non-const
    // getBufferArray(), a new grid). start is the version at the restart. A reader that keeps
    // what it read restarts the region as it reads (first, so that writes made meanwhile count
    // for its next read); at its next read, cells outside the region are unchanged, provided
    // start is still the version it saw after its restart (otherwise another reader restarted
    // it, and the reader must take the whole grid as written).
    struct WrittenRegion {
        unsigned int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool whole = true;
        unsigned int start = 0;
        bool contains(unsigned int x, unsigned int y) const
        {
            return whole || (x >= x0 && x < x1 && y >= y0 && y < y1);
        }
    };
    const WrittenRegion& writtenRegion() const { return region_; }
    // Only the record changes, not the contents: readers holding a const grid may restart it.
    void restartWrittenRegion() const { region_ = {0, 0, 0, 0, false, version_}; }

    // Cell access at integer coordinates, unchecked: callers stay inside the grid and within the
    // channel count. getValue/setValue address element x of row y, the cell value of one-channel
    // buffers. The int overloads keep literal arguments from being ambiguous with the samplers.
    T getValue(unsigned int x, unsigned int y) const { return rows_[y][x]; }
    T getValue(int x, int y) const { return rows_[y][x]; }
    void setValue(unsigned int x, unsigned int y, T v)
    {
        markWritten(x, y, x + 1, y + 1);
        rows_[y][x] = v;
    }
    void get2DValues(unsigned int x, unsigned int y, T* v) const { getNDValues(x, y, 2, v); }
    void get2DValues(int x, int y, T* v) const { getNDValues(unsigned(x), unsigned(y), 2, v); }
    void set2DValues(unsigned int x, unsigned int y, T* v) { setNDValues(x, y, 2, v); }
    void get3DValues(unsigned int x, unsigned int y, T* v) const { getNDValues(x, y, 3, v); }
    void get3DValues(int x, int y, T* v) const { getNDValues(unsigned(x), unsigned(y), 3, v); }
    void set3DValues(unsigned int x, unsigned int y, T* v) { setNDValues(x, y, 3, v); }
    void getNDValues(unsigned int x, unsigned int y, unsigned int n, T* v) const
    {
        const T* cell = rows_[y] + x * channels_;
        for (unsigned int c = 0; c < n; ++c)
            v[c] = cell[c];
    }
    void getNDValues(int x, int y, unsigned int n, T* v) const { getNDValues(unsigned(x), unsigned(y), n, v); }
    void setNDValues(unsigned int x, unsigned int y, unsigned int n, T* v)
    {
        markWritten(x, y, x + 1, y + 1);
        T* cell = rows_[y] + x * channels_;
        for (unsigned int c = 0; c < n; ++c)
            cell[c] = v[c];
    }

    // Bilinear sampling between cell centres at fractional buffer coordinates, channel by channel
    // (getValue samples channel 0). The 2 × 2 block shifts inwards at the far edges, so the last
    // column and row are never read; a coordinate below −0.5, or a dimension under 3 cells that
    // needs the shift, gives an empty block and the result 0 (false). Integer types truncate each
    // weighted term towards zero; bool is true when any cell with non-zero weight is true.
    T getValue(double x, double y) const;
    void get2DValues(double x, double y, T* out) const { getNDValues(x, y, 2, out); }
    void get3DValues(double x, double y, T* out) const { getNDValues(x, y, 3, out); }
    void getNDValues(double x, double y, unsigned int n, T* out) const;

    // Every element of every channel to v.
    void fillEntireBuffer(T v);
    // v[0], v[1] (v[0] … v[2]) to every consecutive group of two (three) elements; meant for
    // two- (three-) channel buffers. A trailing partial group takes the leading values only.
    void fillEntireBufferWith2DValue(T* v);
    void fillEntireBufferWith3DValue(T* v);

    // Area operations. Vertices are cell coordinates given in order around the outline. Rows run
    // from the smallest vertex y up to, not including, the largest; on row y a span between edge
    // crossings xa < xb covers columns (int)(xa + 0.5) up to, not including, (int)(xb + 0.5).
    // Spans are clipped to the grid, so outlines partly or wholly outside write inside cells only.
    // Quads that span no row or no column write nothing.

    // Writes v into every channel of the covered cells.
    void fillQuadWithValue(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3, T v);
    // Writes v[0 … n − 1] into channels 0 … n − 1 of the covered cells.
    void fillQuadWithNDValue(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3,
                             unsigned int n, T* v);
    // Gouraud-style shading: vertex values blend along the edges, then along each span; the result
    // goes into every channel of the covered cells. Integer types store truncated values.
    void interpolateQuadWithValues(int x0, int y0, T value0, int x1, int y1, T value1,
                                   int x2, int y2, T value2, int x3, int y3, T value3);
    // The same for channels 0 … n − 1, each independently; valueK points at n values.
    void interpolateQuadWithNDValues(int x0, int y0, T* value0, int x1, int y1, T* value1,
                                     int x2, int y2, T* value2, int x3, int y3, T* value3,
                                     unsigned int n);
    // Blends the directions of the n-channel vertex vectors while their lengths change linearly:
    // each written vector is the blended vector rescaled to the blended length. A blended vector
    // of length 0 is written as the zero vector.
    void interpolateQuadWithNDValuesWithLinearLength(int x0, int y0, T* value0, int x1, int y1, T* value1,
                                                     int x2, int y2, T* value2, int x3, int y3, T* value3,
                                                     unsigned int n);
    // Fills the polygon through the vertices in order (closed back to the first) with v in every
    // channel, under the given PolygonFillRule. Fewer than three vertices write nothing.
    void fillComplexPolygonWithValue(std::vector<std::pair<int, int>> vertices, int fillRule, T v);

    // Lazy recomputation for owners: invalidate() marks the contents stale; startValidating()
    // marks them valid and being recomputed; finishValidating() ends the recomputation.
    void startValidating() override { valid_ = true; validating_ = true; }
    void finishValidating() override { valid_ = true; validating_ = false; }
    void invalidate() override { valid_ = false; }
    bool isValid() const override { return valid_; }
    bool isInvalid() const override { return !valid_; }
    bool isValidating() const override { return validating_; }

    // Writes binary PPM images, three channels an image, channel 3i + j as colour j of image i,
    // rows from the last to the first. Bytes are the low byte of value × scale + offset (integer
    // types: in integer arithmetic with scale and offset truncated; bool: 1 when (value and scale
    // ≠ 0) or offset ≠ 0). Image i goes to name + i + ".ppm", a ".ppm" ending of name moved
    // behind the index; each file written is reported on standard output.
    // Throws std::logic_error for a buffer without channels.
    void createImage(const char* name, double scale, double offset) const override;
    void createImage(const char* name) const override { createImage(name, 1.0, 0.0); }

protected:
    // The four bilinear weights of (x, y) in block order (u0, r0), (u0, r0 + 1), (u0 + 1, r0),
    // (u0 + 1, r0 + 1).
    void computePixelCoverage(double x, double y, double* weights) const;
    // Resets the buffer to the constructed state with these parameters, releasing any grid.
    void setParameters(unsigned int channels, unsigned int id);
    // Resizing with resampling is not offered; the grid is left as it is.
    void changeSizeReallocateMemoryAndInterpolate(unsigned int, unsigned int) {}
    // Sorts count pointers to (key, value) pairs by value, ascending and stable; the pairs'
    // contents move, the pointers stay.
    void insertionSort(int** entries, int count);
    // Inserts (key, value) into the sorted pairs entries[0 … position − 1], moving larger ones up
    // into entries[position].
    void insert(int** entries, int position, int key, int value);

private:
    // How interpolated values reach a cell: one value into every channel, n values into
    // channels 0 … n − 1, or n values rescaled to an (n + 1)-th interpolated length.
    enum class Shading { AllChannels, PerChannel, LinearLength };
    // Interpolates m values per vertex (vertexValues[k × m …]) over the four vertices.
    void shadeQuad(const std::pair<int, int>* quad, const double* vertexValues, unsigned int m, Shading shading);
    // Writes v into every channel of the cells inside the closed outline.
    void fillOutline(const std::pair<int, int>* vertices, unsigned int count, int fillRule, T v);
    // Repeats v[0 … size − 1] over the elements; a trailing partial group takes the leading values.
    void fillGroups(const T* v, unsigned int size);
    // Frees the grid; the buffer keeps its channels and id and has size 0 × 0.
    void release();
    // A modification of the cells [x0, x1) x [y0, y1) (clipped to the grid), or of every cell.
    void markWritten(unsigned int x0, unsigned int y0, unsigned int x1, unsigned int y1)
    {
        ++version_;
        if (region_.whole) return;
        x1 = x1 < width_ ? x1 : width_;
        y1 = y1 < height_ ? y1 : height_;
        if (x0 >= x1 || y0 >= y1) return;
        if (region_.x0 >= region_.x1) {
            region_.x0 = x0, region_.y0 = y0, region_.x1 = x1, region_.y1 = y1;
            return;
        }
        if (x0 < region_.x0) region_.x0 = x0;
        if (y0 < region_.y0) region_.y0 = y0;
        if (x1 > region_.x1) region_.x1 = x1;
        if (y1 > region_.y1) region_.y1 = y1;
    }
    void markAllWritten()
    {
        ++version_;
        region_.whole = true;
    }

    unsigned int bytesPerCell_ = 0;
    unsigned int bytesPerChannel_ = 0;
    unsigned int channels_ = 0;
    unsigned int id_ = 0xFFFFFFFF;
    unsigned int width_ = 0;
    unsigned int height_ = 0;
    unsigned int cells_ = 0;
    unsigned int elements_ = 0;
    unsigned int bytes_ = 0;
    T* data_ = nullptr;
    unsigned int version_ = 0;
    mutable WrittenRegion region_;
    T** rows_ = nullptr;
    bool valid_ = false;
    bool validating_ = false;
};

using FloatBuffer = BufferTemplate<float>;
using DoubleBuffer = BufferTemplate<double>;
using CharBuffer = BufferTemplate<char>;
using UnsignedCharBuffer = BufferTemplate<unsigned char>;
using IntBuffer = BufferTemplate<int>;
using UnsignedIntBuffer = BufferTemplate<unsigned int>;
using LongBuffer = BufferTemplate<long>;
using UnsignedLongBuffer = BufferTemplate<unsigned long>;
using BoolBuffer = BufferTemplate<bool>;

extern template class BufferTemplate<float>;
extern template class BufferTemplate<double>;
extern template class BufferTemplate<char>;
extern template class BufferTemplate<unsigned char>;
extern template class BufferTemplate<int>;
extern template class BufferTemplate<unsigned int>;
extern template class BufferTemplate<long>;
extern template class BufferTemplate<unsigned long>;
extern template class BufferTemplate<bool>;
