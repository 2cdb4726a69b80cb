#pragma once
// Fills and file images of the painting canvas's buffers, without GL.
//
// Coordinates: buffer cells, (column, row). Dumps are raw copies of a buffer's element array in
// the machine's byte order, without a header: valid only for a buffer of the same size and type.

#include "core/BufferTemplate.h"

#include <string>
#include <vector>

namespace canvas {

// Each cell (0, +1) or (0, -1) by a random choice (rand15), for a two-channel buffer.
void fillRandomOrientation(BufferTemplate<float>& orientation);

// The whole buffer holds `slowDown`; within 150 cells of the edge a cell at distance d from the
// nearest edge holds min(d x 0.0066666668, slowDown), so the edge cells hold 0.
void fillBorderSlowDown(BufferTemplate<float>& buffer, float slowDown);

// The tool-state grid's initial cells; `parameter` goes into cell (4, 2).
void initializeToolState(BufferTemplate<float>& grid, float parameter);

// Copies `from` into `to` with from's cell (0, 0) at to's cell (dx, dy); cells that would land
// outside `to` are skipped. Both buffers must have the same channel count.
template <class T>
void copyShifted(const BufferTemplate<T>& from, BufferTemplate<T>& to, int dx, int dy);

// "buffers/" + layer + name for size, orientation, speed, size difference and temporary colour.
std::vector<std::string> dumpFileNames(int layer);

// Raw element array to a file (truncating); answers whether the file was opened.
bool writeRaw(const IBuffer& buffer, const void* data, const std::string& path);
// Raw element array from a file. Only a regular file of exactly the buffer's size is read, and
// with `floats` only one whose elements are all finite floats; anything else leaves the buffer
// unchanged and prints one line naming the file and the reason (a file that does not exist
// prints nothing). Answers whether the buffer was filled.
bool readRaw(IBuffer& buffer, void* data, const std::string& path, bool floats = false);

// Creates the folder "buffers" in the working directory when it is missing.
void ensureDumpFolder();

} // namespace canvas
