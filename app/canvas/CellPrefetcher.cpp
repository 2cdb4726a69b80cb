#include "CellPrefetcher.h"

void CellPrefetcher::beginPass(const std::vector<Grid>& g)
{
    grids = g;
    previous.swap(current);
    current.clear();
}

void CellPrefetcher::beginVisit()
{
    const std::size_t k = current.size() + kDistance;
    if (k >= previous.size()) return;
    const auto x = static_cast<unsigned int>(previous[k] & 0xFFFFFFFFu);
    const auto y = static_cast<unsigned int>(previous[k] >> 32);
    for (const Grid& g : grids) {
        if (x >= g.width || y >= g.height) continue;
        const std::size_t cell = static_cast<std::size_t>(y) * g.width + x;
        __builtin_prefetch(static_cast<const char*>(g.data) + cell * g.cellBytes);
    }
}

void CellPrefetcher::endVisit(unsigned int x, unsigned int y)
{
    // Without passes (updates run outside frames) the record would only grow.
    if (current.size() >= kMaxVisits) current.clear();
    current.push_back(static_cast<std::uint64_t>(y) << 32 | x);
}
