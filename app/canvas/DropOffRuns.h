#pragma once
// DropOffRuns: the cells a tool brush writes, as runs along its rows. A brush writes a canvas
// cell only where its drop-off is above a threshold; scanning the drop-off cell by cell each
// frame costs more than the write itself, so the runs of such cells are found once per drop-off
// and each frame's write copies or blends whole runs.
//
// Coordinates: brush cells, (i, j) = column, row of the brush's width x height drop-off grid
// (row-major, one float per cell). A run covers cells [i0, i1) of row j; runs of a row are in
// ascending order and do not touch.
// For the colour blend each row also has a span [first, last) from its first to its last written
// cell, with per channel byte (three a cell, from the row's offset) 1 - w in keep() and w in
// weights(); cells inside the span that are not written have keep 1 and weight 0, which leaves
// a byte as it is; so do the cells [last, padded) that follow (up to six, within the grid),
// which let a blend run on in whole blocks. [fullBegin, fullEnd) is the row's longest stretch of
// drop-off exactly 1 (the brush's focus), where the blend gives the paint itself; empty when
// there is none.
// Ownership: values only; no GL, no reference to the grid it was built from.

#include <cstddef>
#include <vector>

class DropOffRuns {
public:
    struct Run {
        int j = 0;
        int i0 = 0;
        int i1 = 0;
    };
    struct Row {
        int first = 0, last = 0, padded = 0;
        int fullBegin = 0, fullEnd = 0;
        std::size_t offset = 0;
    };

    // Runs of the cells with drop-off > threshold.
    void build(const float* dropOff, int width, int height, float threshold);
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const Run* rowBegin(int j) const { return runs.data() + rowStart[j]; }
    const Run* rowEnd(int j) const { return runs.data() + rowStart[j + 1]; }
    const Row& row(int j) const { return rows[j]; }
    const std::vector<float>& keep() const { return keepValues; }
    const std::vector<float>& weights() const { return weightValues; }

    // dst[q] = (unsigned char) clamp(dst[q] * keep[q] + weighted[q], 0, 255) for q < n: the
    // colour blend c (1 - w) + p w with p w given per byte.
    static void blendBytes(unsigned char* dst, const float* keep, const float* weighted,
                           std::size_t n);

private:
    int width = 0;
    int height = 0;
    std::vector<Run> runs;
    std::vector<std::size_t> rowStart{0};
    std::vector<Row> rows;
    std::vector<float> keepValues;
    std::vector<float> weightValues;
};
