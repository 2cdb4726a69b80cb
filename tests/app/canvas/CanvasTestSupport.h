#pragma once
// A small painting canvas for primitive and brush tests: it owns the canvas buffers (tags and
// element types as the real canvas creates them), records deletion requests and has a painting
// flag to switch. Buffers are filled with their neutral values.

#include "canvas/CanvasCompositeGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <vector>

class TestCanvas : public CanvasCompositeGL {
public:
    // What the size buffer starts with, as the canvas fills it.
    static constexpr float kInitialPrimitiveSize = 20.0f;

    TestCanvas(TabletopVisGL* vis, double width, double height, double x, double y)
        : CanvasCompositeGL(vis, width, height, x, y)
    {
        const unsigned int w = getBufferWidth();
        const unsigned int h = getBufferHeight();
        make<int>(SPEED_BUFFER, 1, w, h, 0);
        make<float>(ABSOLUTE_SIZE_BUFFER, 1, w, h, kInitialPrimitiveSize);
        make<float>(SIZE_DIFFERENCE_BUFFER, 1, w, h, 0.0f);
        make<float>(DIRECTION_BUFFER, 2, w, h, 0.0f);
        make<float>(AUXILIARY_VECTOR_BUFFER, 2, w, h, 0.0f);
        make<float>(ORIENTATION_BUFFER, 2, w, h, 0.0f);
        make<float>(TEMPORARY_ORIENTATION_BUFFER, 2, w, h, 0.0f);
        make<float>(SECOND_TEMPORARY_ORIENTATION_BUFFER, 2, w, h, 0.0f);
        make<unsigned char>(COLOR_BUFFER, 3, w, h, 0);
        make<unsigned char>(TEMPORARY_COLOR_BUFFER, 3, w, h, 127);
        make<float>(ERASE_BUFFER, 1, w, h, 0.0f);
        make<float>(FRAME_VECTOR_BUFFER, 2, w, h, 0.0f);
        make<float>(TOOL_STATE_BUFFER, 1, 10, 10, 0.0f);
        make<float>(DROP_OFF_BUFFER, 1, w, h, 0.0f);
        make<bool>(SELECTION_BUFFER, 1, w, h, false);
        make<bool>(AUXILIARY_SELECTION_BUFFER, 1, w, h, false);
        make<bool>(TARGET_AREA_BUFFER, 1, w, h, false);
        make<bool>(VALIDITY_MASK_BUFFER, 1, w, h, true);
        // Colour buffer as the canvas starts it.
        buffer<unsigned char>(COLOR_BUFFER)->fillEntireBufferWith3DValue(startColor);
        tool(0, 2) = 200.0f;
    }
    ~TestCanvas() override { releaseAllChildren(); }

    void queueForDeletion(VisComponent* c) override { queued.push_back(c); }
    bool isPainting() override { return painting; }

    template <class T> BufferTemplate<T>* buffer(BUFFERTAG tag) { return getActiveBufferAs<T>(tag); }
    // Tool-state cell (column, row).
    float& tool(unsigned int column, unsigned int row)
    {
        return buffer<float>(TOOL_STATE_BUFFER)->getBufferArray()[row * 10 + column];
    }
    template <class T> void fill(BUFFERTAG tag, T v) { buffer<T>(tag)->fillEntireBuffer(v); }
    void fill2(BUFFERTAG tag, float x, float y)
    {
        float v[2] = {x, y};
        buffer<float>(tag)->fillEntireBufferWith2DValue(v);
    }
    void fill3(BUFFERTAG tag, unsigned char r, unsigned char g, unsigned char b)
    {
        unsigned char v[3] = {r, g, b};
        buffer<unsigned char>(tag)->fillEntireBufferWith3DValue(v);
    }
    // Drops a buffer, as a canvas without it would be.
    void drop(BUFFERTAG tag)
    {
        for (auto& entry : *getMyChildren())
            if (entry.second->getPassiveBuffers()->count(tag)) entry.second->setPassiveBuffer(tag, nullptr);
        getActiveBuffer(tag)->destroy();
        getActiveBuffers()->erase(tag);
    }

    std::vector<VisComponent*> queued;
    bool painting = false;
    unsigned char startColor[3] = {120, 100, 40};

private:
    template <class T>
    void make(BUFFERTAG tag, unsigned int channels, unsigned int w, unsigned int h, T v)
    {
        auto* b = new BufferTemplate<T>(channels, tag);
        b->setSizeAndAllocateMemory(w, h);
        b->fillEntireBuffer(v);
        setActiveBuffer(tag, b);
    }
};
