#pragma once
// PointLeafGL: a small filled ellipse of the pointillist picture. Its shape is one of 16 shared
// shapes, from a disc (shape 0) to an ellipse 2.5 times as long (shape 15); the speed buffer
// (tag 1) switches it to another shape.
// Drawing: a shared display list per shape, compiled by the first point drawn (needs a context);
// the update runs without one.

#include "PrimitiveLeafGL.h"

class PointLeafGL : public PrimitiveLeafGL {
public:
    static constexpr int kShapeCount = 16;

    // (x, y): centre in table pixels; rotation in degrees; type: the layer.
    PointLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
                double rotation, int type, double baseSizeFactor = 1.0);

    int getShapeIndex() const { return shapeIndex; }
    // Shapes outside 0 ... kShapeCount - 1 are ignored.
    void setShapeIndex(int k)
    {
        if (k >= 0 && k < kShapeCount) shapeIndex = k;
        wakeInPass();
    }
    // Rim vertices of shape k as drawn: ellipse radii (rx, ry) for a point of width 1.
    static void shapeRadii(int k, double* rx, double* ry);
    // Deletes the shared lists (with the context current), e.g. before the context goes away.
    static void releaseSharedLists();

    // Drawn in the canvas's batch of its kind.
    VisComponent* getRenderBatchOwner() override { return batchOwner(); }

protected:
    // Also takes its shape from the speed buffer and the temporary colour (in its own update
    // and in the canvas's pass).
    void updateSelf(double dt) override;
    void readPassExtras(const PassGrids& pass, unsigned int x, unsigned int y) override;
    bool readsPassExtras() const override { return true; }
    int passExtraState() const override { return shapeIndex; }
    void specificRender() override;
    void specificRenderForPicking() override;
    void initialize() override;
    void initializePassiveBuffers() override;

private:
    void drawShape(bool picking);
    // The shape a speed cell asks for (null: none there).
    void takeShape(const int* speed);

    int shapeIndex = 0;
    unsigned int renderList = 0;
    unsigned int pickingList = 0;

    // The first point takes shape 0; later ones pick one at random.
    static bool firstPointMade;
};
