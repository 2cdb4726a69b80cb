#pragma once
// A 400 x 300 table with the painting canvas and the label font; menus placed as the builder does.

#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/CanvasCompositeGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <memory>

class MenuGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        vis = std::make_unique<RuduzozovorERUVisGL>(1, 64, 64, 400, 300);
        OutputCapture quiet;
        vis->loadFont(NPR_DATA_DIR "/fonts/arial.ttf", 32);
        canvas = new CanvasCompositeGL(vis.get(), 400, 300, 200, 150, 0, 0, 0, 1, 12.0f, 0.0f);
        vis->addComponent(canvas, false);
    }
    void TearDown() override { vis.reset(); }

    template <class M> M* place(M* menu)
    {
        vis->addComponent(menu, false);
        canvas->addChild(menu);
        return menu;
    }
    // One tap on a component: press and release at table (x, y).
    template <class C> unsigned int tap(C* c, unsigned int x, unsigned int y)
    {
        c->hitLocalBuffer(x, y, 10, 10);
        return c->releaseLocalBuffer(x, y, 0, 0);
    }
    unsigned int texture(const char* relative)
    {
        return vis->loadTexture((std::string(NPR_DATA_DIR "/") + relative).c_str(), false);
    }

    std::unique_ptr<RuduzozovorERUVisGL> vis;
    CanvasCompositeGL* canvas = nullptr;
};
