#include "TabletopVis.h"

#include "core/VisComponent.h"

#include <iostream>

TabletopVis::TabletopVis(unsigned int users, unsigned int, unsigned int, unsigned int sw,
                         unsigned int sh)
    : numberOfUsers(users)
{
    setScreensize(sw, sh);
}

TabletopVis::~TabletopVis()
{
    removeAllComponents();
}

void TabletopVis::addComponent(VisComponent* c, bool drop)
{
    unsigned long id = 0;
    if (!freeIds.empty()) {
        id = freeIds.back();
        freeIds.pop_back();
    } else if (nextComponentId > 0xFFFFFF) {
        std::cout << "Error: Maximum number of components reached! Cannot add more! JEEZ!"
                  << std::endl;
        return;
    } else {
        id = nextComponentId++;
    }
    c->setId(id);
    c->setColor(id & 0xFF, (id >> 8) & 0xFF, (id >> 16) & 0xFF, 1);
    components[id] = c;
    renderList.push_back(c);
    if (drop)
        droppingList.push_back(c);
    else
        c->activate();
    bufferMemoryChanged = true;
}

VisComponent* TabletopVis::getComponent(unsigned long id) const
{
    auto it = components.find(id);
    return it == components.end() ? nullptr : it->second;
}

void TabletopVis::deleteComponent(VisComponent* c)
{
    if (!c) return;
    freeIds.push_back(c->getId());
    renderList.remove(c);
    removeComponentFromMap(c);
    if (c->getComposite()) bufferMemoryChanged = true;
    delete c;
}

void TabletopVis::removeComponentFromMap(VisComponent* c)
{
    if (!c) return;
    auto it = components.find(c->getId());
    if (it != components.end() && it->second == c) components.erase(it);
}

void TabletopVis::removeComponentFromRenderList(VisComponent* c)
{
    if (c) renderList.remove(c);
}

void TabletopVis::removeAllComponents()
{
    // Detach every component from its parent first so no destructor reaches a freed parent.
    auto all = components;
    for (auto& entry : all) {
        VisComponent* c = entry.second;
        if (VisComponent* p = c->getParent()) p->removeChild(c);
    }
    for (auto& entry : all) delete entry.second;
    components.clear();
    renderList.clear();
    freeIds.clear();
}

void TabletopVis::moveComponentToRenderFront(VisComponent* c)
{
    if (!c) {
        std::cout << " Error. Could not move component to front of render list." << std::endl;
        return;
    }
    if (c->hasStaticRenderOrder()) return;
    VisComponent* p = c->getParent();
    if (p && !p->hasStaticRenderOrder()) {
        if (renderList.empty() || renderList.front() != p) {
            renderList.remove(p);
            renderList.push_front(p);
        }
        p->moveToRenderFront(c);
        return;
    }
    if (renderList.empty() || renderList.front() != c) {
        renderList.remove(c);
        renderList.push_front(c);
    }
}

VisComponent* TabletopVis::getElementFromDroppingListAndDeleteIt()
{
    VisComponent* c = droppingList.front();
    droppingList.pop_front();
    return c;
}

VisComponent* TabletopVis::getElementFromDeletingListAndDeleteIt()
{
    VisComponent* c = deletingList.front();
    deletingList.pop_front();
    return c;
}

void TabletopVis::setScreensize(unsigned int w, unsigned int h)
{
    if (w > 0) screenWidth = w;
    if (h > 0) screenHeight = h;
}
