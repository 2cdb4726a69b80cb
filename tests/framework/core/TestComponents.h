#pragma once
// Minimal concrete components for framework tests: a leaf and a composite that record what
// the render entry points did.

#include "core/BufferTemplate.h"
#include "core/VisComponent.h"

#include <string>
#include <vector>

class RecordingLeaf : public VisComponent {
public:
    RecordingLeaf(TabletopVis* vis, double w, double h, double x = 0.0, double y = 0.0,
                  bool rnt = true, bool toss = true)
        : VisComponent(vis, w, h, rnt, toss, x, y, 0.0)
    {
    }
    // Shared log of render calls, in call order.
    std::vector<std::string>* log = nullptr;
    std::string name;
    int picks = 0;
    bool vetoRotation = false;
    bool nesting = true;

    bool allowNesting() override { return nesting; }
    bool checkPositionForRNT(double, double) override { return !vetoRotation; }

    // Exposed for tests.
    using VisComponent::animateMyself;
    using VisComponent::doConstantAnimations;
    using VisComponent::tossComponent;

protected:
    void specificRender() override
    {
        if (log) log->push_back("render " + name);
    }
    void specificRenderForPicking() override
    {
        ++picks;
        if (log) log->push_back("pick " + name);
    }
    void pickingPreparation() override {}
};

class RecordingComposite : public RecordingLeaf {
public:
    using RecordingLeaf::RecordingLeaf;
    bool relocate = true;
    VisComponent* getComposite() override { return this; }
    bool childrenResizeAndRelocate() override { return relocate; }

    using VisComponent::recreateActiveBuffers;
    using VisComponent::releaseAllChildren;

    // Creates the active buffers listed in bufferTags as two-channel float grids.
    std::vector<BUFFERTAG> bufferTags;

protected:
    void createActiveBuffers() override
    {
        for (BUFFERTAG tag : bufferTags) {
            auto* b = new BufferTemplate<float>(2, 0);
            b->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
            b->clearBuffer();
            setActiveBuffer(tag, b);
        }
    }
};
