#pragma once
// CellPrefetcher: hides the latency of the primitives' buffer reads. Primitives are updated in
// render order, which is not the order of their cells, so every read of a field under a
// primitive is a cache miss once the fields are larger than the cache. The primitives of a
// layer are visited in the same order every pass: each visit starts by prefetching, in every
// registered grid, the cell that the primitive kDistance visits ahead expected to read when it
// ended its last visit (after it moved), and ends by recording the cell it expects to read next.
// A prefetch is only a hint: a wrong guess (the scene changed) costs nothing but the miss.
//
// Cells are (column, row) of the canvas buffers. The grids are the caller's; beginPass takes
// their current memory, so it is called again whenever a grid may have been reallocated.

#include <cstddef>
#include <cstdint>
#include <vector>

class CellPrefetcher {
public:
    static constexpr std::size_t kDistance = 8;
    // Visits kept in one pass at most.
    static constexpr std::size_t kMaxVisits = std::size_t{1} << 22;

    struct Grid {
        const void* data = nullptr;
        unsigned int width = 0;
        unsigned int height = 0;
        std::size_t cellBytes = 0;
    };

    // Starts a pass over the given grids; the visits of the last pass become the guide.
    void beginPass(const std::vector<Grid>& grids);
    // A primitive's visit begins: fetch ahead.
    void beginVisit();
    // It ends; (x, y) is the cell it will read in the next pass.
    void endVisit(unsigned int x, unsigned int y);

    std::size_t visitsThisPass() const { return current.size(); }
    std::size_t visitsLastPass() const { return previous.size(); }

private:
    std::vector<Grid> grids;
    std::vector<std::uint64_t> previous;
    std::vector<std::uint64_t> current;
};
