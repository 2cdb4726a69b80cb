#pragma once
// ComponentCreatorLeafGL: a fixed icon from which a finger drags out a new component. Every
// pixel of its hit mask (tag 15) holds kCreateCode, which the controller neither moves nor
// tosses: the creator stays put and handles the touch itself. The first contact of a gesture
// on the icon asks the controller for exactly one new component (createComponent, at the
// creator's place), raises it to the front and queues it for dropping; every contact of the
// gesture, the first included, puts it under the finger. On release it is placed at the release
// point and queued for dropping again, so it lands in whatever lies under it there.
// A gesture that starts off the icon, or whose create operation gives nothing, moves nothing.
//
// The concrete creators below differ only in what they create (the controller's create
// operations of the same kind) and in the parameters they hand on.
//
// Coordinates: touches in table pixels (unsigned); the new component is centred on them.
// Ownership: the controller owns the created component; the creator keeps a plain reference for
// the rest of the gesture and drops it when the controller no longer knows the component.
// Context: as AbstractImageGL; the texture belongs to whoever loaded it.

#include "AbstractImageGL.h"

#include <string>

class ComponentCreatorLeafGL : public AbstractImageGL {
public:
    static constexpr unsigned int kCreateCode = 6;

    // Neither rotates-and-translates nor tosses.
    ComponentCreatorLeafGL(TabletopVisGL* vis, double width, double height, double x, double y,
                           double z, unsigned int texture);

    // The gesture (see above); both return the gesture's hit code.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    bool isDragging() const { return dragging; }
    // The component of the current gesture, or null.
    VisComponent* getCreated() const { return created; }

protected:
    // kCreateCode over the whole mask.
    void renderInActiveBuffers() override;
    // Asks the controller for the new component at table point (x, y); null when it made none.
    virtual VisComponent* createComponent(double x, double y) = 0;

private:
    // The created component while the controller still has it, else null.
    VisComponent* liveCreated();

    bool dragging = false;
    VisComponent* created = nullptr;
    unsigned long createdId = 0;
};

// Storage bins, pool and belt currents: size, control points, spline level, rounded corners.
class ContainerCreatorLeafGL : public ComponentCreatorLeafGL {
public:
    ContainerCreatorLeafGL(TabletopVisGL* vis, double width, double height, double x, double y,
                           double z, double createdWidth, double createdHeight,
                           unsigned int controlPoints, unsigned int splineLevel, bool rounded,
                           unsigned int texture);

protected:
    double createdWidth;
    double createdHeight;
    unsigned int controlPoints;
    unsigned int splineLevel;
    bool rounded;
};

class StorageBinCreatorLeafGL : public ContainerCreatorLeafGL {
public:
    using ContainerCreatorLeafGL::ContainerCreatorLeafGL;

protected:
    VisComponent* createComponent(double x, double y) override;
};

class PoolInterfaceCurrentCreatorLeafGL : public ContainerCreatorLeafGL {
public:
    using ContainerCreatorLeafGL::ContainerCreatorLeafGL;

protected:
    VisComponent* createComponent(double x, double y) override;
};

class BeltInterfaceCurrentCreatorLeafGL : public ContainerCreatorLeafGL {
public:
    using ContainerCreatorLeafGL::ContainerCreatorLeafGL;

protected:
    VisComponent* createComponent(double x, double y) override;
};

// Sticky boards and notes: their size only.
class StickyCreatorLeafGL : public ComponentCreatorLeafGL {
public:
    StickyCreatorLeafGL(TabletopVisGL* vis, double width, double height, double x, double y,
                        double z, double createdWidth, double createdHeight,
                        unsigned int texture);

protected:
    double createdWidth;
    double createdHeight;
};

class StickyBoardCreatorLeafGL : public StickyCreatorLeafGL {
public:
    using StickyCreatorLeafGL::StickyCreatorLeafGL;

protected:
    VisComponent* createComponent(double x, double y) override;
};

class StickyNoteCreatorLeafGL : public StickyCreatorLeafGL {
public:
    using StickyCreatorLeafGL::StickyCreatorLeafGL;

protected:
    VisComponent* createComponent(double x, double y) override;
};

// Lenses. Kinds: "size" and "direction" (drop-off name, parameters a and b; a direction lens
// also directionParam), "orientation-up", "orientation-in", "orientation-out" (up vector). The
// kind is compared whole and without regard to case ("Size" is the configuration's default); any
// other kind prints "Error: incorrect lens type chosen for creation, no lens created!" and
// creates nothing.
class LensCreatorLeafGL : public ComponentCreatorLeafGL {
public:
    LensCreatorLeafGL(TabletopVisGL* vis, double width, double height, double x, double y,
                      double z, double createdWidth, double createdHeight, const char* dropoffName,
                      unsigned int texture, double lensParamA, double lensParamB,
                      unsigned int directionParam, double upX, double upY, const char* lensKind);

    const std::string& getLensKind() const { return lensKind; }
    const std::string& getDropoffName() const { return dropoffName; }

protected:
    VisComponent* createComponent(double x, double y) override;

    double createdWidth;
    double createdHeight;
    std::string lensKind;
    std::string dropoffName;
    double lensParamA;
    double lensParamB;
    unsigned int directionParam;
    double upX;
    double upY;
    // Handed to every lens it makes.
    unsigned int lensFlag = 1;
};
