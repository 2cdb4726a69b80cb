#include "ComponentDestroyerCompositeGL.h"

#include "vis/TabletopVisGL.h"

ComponentDestroyerCompositeGL::ComponentDestroyerCompositeGL(TabletopVisGL* vis, double width,
                                                             double height, bool rnt,
                                                             bool tossing, double x, double y,
                                                             double z, unsigned int texture)
    : AbstractImageGL(vis, width, height, rnt, tossing, x, y, z, texture)
{
}

namespace {

// A container goes with its contents: they left the controller's render list when they entered
// it, so they would stay registered but never drawn again.
void deleteWithContents(TabletopVis* vis, VisComponent* c)
{
    if (c->getComposite()) {
        const VisComponent::ChildMap contents = *c->getMyChildren();
        for (const auto& entry : contents) deleteWithContents(vis, entry.second);
    }
    vis->deleteComponent(c);
}

} // namespace

int ComponentDestroyerCompositeGL::addChild(VisComponent* component)
{
    if (!isActive()) return 1;
    // Never itself: the controller would free the destroyer in its own call.
    if (component && component != this && getController())
        deleteWithContents(getController(), component);
    return 0;
}
