#pragma once
// Pieces for GL tests: filled rectangles in their own colour (and in their id colour when
// picked), a composite that accepts children, a controller with a settable clock and a
// temporary working directory.

#include "vis/TabletopVisGL.h"
#include "vis/VisComponentGL.h"

#include <QTemporaryDir>

#include <GL/gl.h>

#include <filesystem>

class QuadLeafGL : public VisComponentGL {
public:
    QuadLeafGL(TabletopVisGL* vis, double w, double h, double x, double y, double rotation = 0.0,
               bool toss = true)
        : VisComponentGL(vis, w, h, true, toss, x, y, 0.0)
    {
        if (rotation != 0.0) rotate(rotation);
    }
    unsigned char visible[3] = {200, 200, 200};

protected:
    void quad()
    {
        glPushMatrix();
        doCommonTransformations();
        glRectd(-getRealWidth() / 2.0, -getRealHeight() / 2.0, getRealWidth() / 2.0, getRealHeight() / 2.0);
        glPopMatrix();
    }
    void specificRender() override
    {
        glColor3ubv(visible);
        quad();
    }
    void specificRenderForPicking() override { quad(); }
};

class QuadBoxGL : public QuadLeafGL {
public:
    using QuadLeafGL::QuadLeafGL;
    VisComponent* getComposite() override { return this; }
};

class ClockedVisGL : public TabletopVisGL {
public:
    using TabletopVisGL::TabletopVisGL;
    unsigned long now = 100000;
    void useFakeClock()
    {
        tickSource = [this] { return now; };
        lastTicks = now;
    }
    // One frame 20 ms after the last: 50 frames per second once the ring is full.
    double frame(unsigned int users = 1)
    {
        now += 20;
        return render(users, 50.0);
    }
};

// Works in a fresh temporary directory and returns to the previous one afterwards.
class ScopedWorkingDir {
public:
    ScopedWorkingDir() : previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir.path().toStdString());
    }
    ~ScopedWorkingDir() { std::filesystem::current_path(previous); }
    std::filesystem::path path() const { return dir.path().toStdString(); }

private:
    QTemporaryDir dir;
    std::filesystem::path previous;
};
