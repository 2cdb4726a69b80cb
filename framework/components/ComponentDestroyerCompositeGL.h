#pragma once
// ComponentDestroyerCompositeGL: a picture (the configuration's waste basket) onto which a
// component is dropped to delete it. It is a composite only so that drops can land on it: an
// active destroyer asks the controller to delete what is dropped and keeps nothing; an inactive
// one (before its own first drop, or after deactivate) leaves the component where it was.
// activateDestroyers on the controller activates every destroyer of the render list.
//
// Coordinates and context: as AbstractImageGL. Ownership: the controller deletes the dropped
// component; the texture belongs to whoever loaded it.

#include "AbstractImageGL.h"

class ComponentDestroyerCompositeGL : public AbstractImageGL {
public:
    ComponentDestroyerCompositeGL(TabletopVisGL* vis, double width, double height, bool rnt,
                                  bool tossing, double x, double y, double z,
                                  unsigned int texture);

    VisComponent* getComposite() override { return this; }
    // Active: deletes the component (a container with its contents) through the controller and
    // answers 0. Inactive: answers 1 and changes nothing.
    int addChild(VisComponent* component) override;
    // Whether drops are deleted now.
    bool isDestroying() const { return isActive(); }
};
