#include "PrimitiveStore.h"

#include "PrimitiveLeafGL.h"

#include <algorithm>

void PrimitiveStore::add(PrimitiveLeafGL* p, int layer)
{
    if (!p) return;
    if (p->getStoreId() != kNone) remove(p);
    if (layer < 0 || layer >= kLayers) return;
    if (layers.size() <= static_cast<std::size_t>(layer)) layers.resize(layer + 1);
    std::uint32_t id;
    if (!freeIds.empty()) {
        id = freeIds.back();
        freeIds.pop_back();
    } else {
        id = static_cast<std::uint32_t>(slotOf.size());
        slotOf.push_back(0);
        layerOf.push_back(0);
    }
    Layer& l = layers[layer];
    slotOf[id] = static_cast<std::uint32_t>(l.entries.size());
    layerOf[id] = static_cast<std::uint8_t>(layer);
    l.entries.push_back({p, id, 0, 0});
    ++l.stale;
    ++count;
    p->setStoreId(id);
}

void PrimitiveStore::remove(PrimitiveLeafGL* p)
{
    if (!p) return;
    const std::uint32_t id = p->getStoreId();
    if (id == kNone || id >= slotOf.size()) return;
    Layer& l = layers[layerOf[id]];
    const std::uint32_t slot = slotOf[id];
    if (slot >= l.entries.size() || l.entries[slot].primitive != p) return;
    if (slot + 1 != l.entries.size()) {
        l.entries[slot] = l.entries.back();
        slotOf[l.entries[slot].id] = slot;
    }
    l.entries.pop_back();
    ++l.stale;
    freeIds.push_back(id);
    --count;
    p->setStoreId(kNone);
}

void PrimitiveStore::detachAll()
{
    for (Layer& l : layers)
        for (Entry& e : l.entries) e.primitive->setStoreId(kNone);
    layers.clear();
    slotOf.clear();
    layerOf.clear();
    freeIds.clear();
    count = 0;
}

std::vector<PrimitiveStore::Entry>* PrimitiveStore::ordered(int layer)
{
    if (layer < 0 || static_cast<std::size_t>(layer) >= layers.size()) return nullptr;
    Layer& l = layers[layer];
    // Sorted again once a quarter of the entries came or went: amortised over the additions.
    if (l.stale > 0 && l.stale * 4 >= l.entries.size()) sort(l);
    return &l.entries;
}

std::size_t PrimitiveStore::size(int layer) const
{
    if (layer < 0 || static_cast<std::size_t>(layer) >= layers.size()) return 0;
    return layers[layer].entries.size();
}

void PrimitiveStore::sort(Layer& l)
{
    std::sort(l.entries.begin(), l.entries.end(),
              [](const Entry& a, const Entry& b) { return a.primitive < b.primitive; });
    for (std::size_t i = 0; i < l.entries.size(); ++i)
        slotOf[l.entries[i].id] = static_cast<std::uint32_t>(i);
    l.stale = 0;
    ++sortCount;
}
