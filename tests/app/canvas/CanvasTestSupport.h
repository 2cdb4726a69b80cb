#pragma once
// The real canvas without brushes, border or overflow, recording deletion requests and with a
// painting flag the test switches.

#include "canvas/CanvasCompositeGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <memory>
#include <vector>

class TestCanvas : public CanvasCompositeGL {
public:
    // What the size buffer starts with.
    static constexpr float kInitialPrimitiveSize = 20.0f;

    TestCanvas(TabletopVisGL* vis, double width, double height, double x, double y)
        : CanvasCompositeGL(vis, static_cast<unsigned int>(width),
                            static_cast<unsigned int>(height), x, y, 0.0, 0.0, 0.0, 0,
                            kInitialPrimitiveSize, 0.0f)
    {
    }
    void queueForDeletion(VisComponent* c) override
    {
        queued.push_back(c);
        CanvasCompositeGL::queueForDeletion(c);
    }
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
};

// A 256 x 256 table holding one square TestCanvas of the given side, centred on it; add() puts
// a primitive on the table and into the canvas. Base is ::testing::Test or GLTest.
template <class Base, class Vis = TabletopVisGL, int Side = 256> class CanvasFixture : public Base {
protected:
    void SetUp() override
    {
        Base::SetUp();
        vis = std::make_unique<Vis>(1, 100, 100, 256, 256);
        canvas = new TestCanvas(vis.get(), Side, Side, Side / 2.0, Side / 2.0);
        vis->addComponent(canvas, false);
    }
    void TearDown() override { vis.reset(); }

    template <class P> P* add(P* p)
    {
        vis->addComponent(p, false);
        canvas->addChild(p);
        return p;
    }

    std::unique_ptr<Vis> vis;
    TestCanvas* canvas = nullptr;
};

// Posture ranges for a small test table, which lies wholly in the classifier's corner band where
// areas count double: contact areas 18, 200, 450, 5000 and 245000 give pen, one finger, two
// fingers, fist and hand (the mouse's 10 x 10 is one finger).
template <class V> void setTestPostureRanges(V& vis)
{
    vis.setPenRange(0, 40);
    vis.setOneFingerRange(40, 300);
    vis.setTwoFingersRange(300, 800);
    vis.setFistRange(800, 10000);
    vis.setHandRange(10000, 400000);
}
