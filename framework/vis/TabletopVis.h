#pragma once
// TabletopVis: the rendering-independent controller of one tabletop scene. It owns every
// component, gives each an id that doubles as its picking colour, keeps the top-level render
// order and the dropping and deletion queues, and holds the scene-wide parameters that
// components read.
//
// Coordinates: screen (table) pixels, origin at the bottom left, y up.
// Ownership: every registered component; deleteComponent destroys it.

#include "core/BufferTag.h"
#include "core/IBuffer.h"

#include <deque>
#include <list>
#include <map>

class VisComponent;

class TabletopVis {
public:
    TabletopVis(unsigned int users = 1, unsigned int bufferWidth = 100,
                unsigned int bufferHeight = 100, unsigned int screenWidth = 100,
                unsigned int screenHeight = 100);
    virtual ~TabletopVis();

    // --- registry ---
    // Registers c under a fresh or recycled id and gives it its picking colour; with drop the
    // component is queued for dropping, else activated.
    void addComponent(VisComponent* c, bool drop);
    VisComponent* getComponent(unsigned long id) const;
    unsigned long countComponents() const { return components.size(); }
    // The id a picking colour encodes.
    unsigned long determineIdFromColor(unsigned char r, unsigned char g, unsigned char b) const
    {
        return static_cast<unsigned long>(b) << 16 | static_cast<unsigned long>(g) << 8 | r;
    }
    void deleteComponent(VisComponent* c);
    void removeComponentFromMap(VisComponent* c);
    void removeComponentFromRenderList(VisComponent* c);
    void removeAllComponents();
    void moveComponentToRenderFront(VisComponent* c);
    const std::list<VisComponent*>& getRenderList() const { return renderList; }

    // --- queues ---
    void addToDroppingList(VisComponent* c) { droppingList.push_back(c); }
    void addToDeletingList(VisComponent* c) { deletingList.push_back(c); }
    unsigned long droppingListSize() const { return droppingList.size(); }
    unsigned long deletingListSize() const { return deletingList.size(); }
    // Oldest element; the caller checks the size first.
    VisComponent* getElementFromDroppingListAndDeleteIt();
    VisComponent* getElementFromDeletingListAndDeleteIt();

    // --- scene-wide parameters ---
    unsigned int getScreenWidth() const { return screenWidth; }
    unsigned int getScreenHeight() const { return screenHeight; }
    void setScreensize(unsigned int w, unsigned int h);
    double getContainerBorderWidth() const { return containerBorderWidth; }
    void setContainerBorderWidth(double w) { containerBorderWidth = w; }
    double getTossingSlowdownFactor() const { return tossingSlowdownFactor; }
    double getTossingCutoff() const { return tossingCutoff; }
    void setTossingParameters(double slowdownFactor, double cutoff)
    {
        tossingSlowdownFactor = slowdownFactor;
        tossingCutoff = cutoff;
    }
    bool isAnimating() const { return animating; }
    void setAnimating(bool on) { animating = on; }
    double getCurrentFPS() const { return currentFPS; }

protected:
    unsigned int numberOfUsers;
    unsigned int screenWidth = 100;
    unsigned int screenHeight = 100;
    unsigned long nextComponentId = 1;
    std::map<unsigned long, VisComponent*> components;
    // Recycled ids, used as a stack: the most recently freed first.
    std::deque<unsigned long> freeIds;
    // Top-level draw order; the front is drawn last (on top).
    std::list<VisComponent*> renderList;
    std::deque<VisComponent*> droppingList;
    std::deque<VisComponent*> deletingList;
    bool bufferMemoryChanged = false;
    double containerBorderWidth = 15.0;
    double tossingSlowdownFactor = 0.98;
    double tossingCutoff = 0.15;
    double currentFPS = 50.0;
    bool animating = false;
};
