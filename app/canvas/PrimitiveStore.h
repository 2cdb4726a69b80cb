#pragma once
// PrimitiveStore: the canvas's primitives per layer, in the order of their memory, with the
// buffer cell each reads next. The canvas's update pass walks a layer in this order: the
// primitives' state streams through the cache in address order, and the scattered field cells
// are fetched a few entries ahead from the cells recorded here. (Visiting them in grid order
// instead reads the fields locally but the objects at random, which measured slower.) Additions
// go to the end; the order is restored once a quarter of a layer came or went.
//
// Handles: a primitive keeps the id add() gave it; ids stay valid across sorts and are reused
// after remove(). Ownership: the primitives are the controller's; the store only points to them.

#include <cstddef>
#include <cstdint>
#include <vector>

class PrimitiveLeafGL;

class PrimitiveStore {
public:
    static constexpr std::uint32_t kNone = ~0u;
    // Layers the store keeps; a primitive of another type updates itself.
    static constexpr int kLayers = 64;

    struct Entry {
        PrimitiveLeafGL* primitive = nullptr;
        std::uint32_t id = 0;
        // The cell read next (column, row), for fetching the fields ahead.
        std::uint16_t cellX = 0;
        std::uint16_t cellY = 0;
        // The primitive's last update in the pass changed nothing.
        bool idle = false;
    };

    PrimitiveStore() = default;
    PrimitiveStore(const PrimitiveStore&) = delete;
    PrimitiveStore& operator=(const PrimitiveStore&) = delete;

    // Adds p to its layer and sets its id (kNone for a layer outside 0 ... kLayers - 1).
    void add(PrimitiveLeafGL* p, int layer);
    // Removes p (by its id) in constant time and clears its id.
    void remove(PrimitiveLeafGL* p);
    // Clears every primitive's id and empties the store (the canvas goes away first).
    void detachAll();

    // The layer's entries, sorted first when their order is stale; null for an unknown layer.
    std::vector<Entry>* ordered(int layer);

    std::size_t size(int layer) const;
    std::size_t size() const { return count; }
    // Sorts performed so far (tests and benchmarks).
    std::size_t sorts() const { return sortCount; }

private:
    struct Layer {
        std::vector<Entry> entries;
        // Entries added or removed since the last sort.
        std::size_t stale = 0;
    };
    void sort(Layer& layer);

    std::vector<Layer> layers;
    // Per id: its layer and slot in that layer's entries.
    std::vector<std::uint32_t> slotOf;
    std::vector<std::uint8_t> layerOf;
    std::vector<std::uint32_t> freeIds;
    std::size_t count = 0;
    std::size_t sortCount = 0;
};
