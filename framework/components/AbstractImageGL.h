#pragma once
// AbstractImageGL: a picture whose texture is produced by drawing (sticky notes) or given by its
// owner (creators, the destroyer, reference images). Unlike ImageLeafGL it owns eight display
// lists of its own, compiled at construction with its own size, and draws through six virtual
// operations that subclasses may replace. Three flags choose what is drawn: the decoration
// (on), the interaction hints (off) and the RNT circle (the component's doesRNT).
//
// Coordinates and context: as BasicImageGL. Ownership: the eight lists are deleted with the
// item; the texture is not (its owner decides).

#include "BasicImageGL.h"

class AbstractImageGL : public BasicImageGL {
public:
    // texture: a GL texture name.
    AbstractImageGL(TabletopVisGL* vis, double width, double height, bool rnt, bool tossing,
                    double x, double y, double z, unsigned int texture);
    ~AbstractImageGL() override;
    AbstractImageGL(const AbstractImageGL&) = delete;
    AbstractImageGL& operator=(const AbstractImageGL&) = delete;

    // --- added virtual operations (after BasicImageGL's), each calls one of the own lists ---
    virtual void renderPicking();
    // Binds the texture and draws the picture.
    virtual void renderBasic();
    virtual void renderDecoration();
    virtual void renderInteractionHints();
    virtual void renderDecorationHighlighted();
    virtual void renderInteractionHintsHighlighted();

    unsigned int getTextureID() const { return textureName; }
    void setTextureID(unsigned int texture) { textureName = texture; }
    void setLastSelectedTicks(unsigned long ticks) { lastSelectedTicks = ticks; }

    bool getDrawDecoration() const { return drawDecoration; }
    void setDrawDecoration(bool on) { drawDecoration = on; }
    bool getDrawInteractionHints() const { return drawInteractionHints; }
    void setDrawInteractionHints(bool on) { drawInteractionHints = on; }
    bool getShowRNTCircle() const { return showRNTCircle; }
    void setShowRNTCircle(bool on) { showRNTCircle = on; }
    unsigned int getDisplayList(unsigned int index) const
    {
        return index < kListCount ? lists[index] : 0;
    }

protected:
    // Picture, decoration (highlighted when selected), hints (when the flag is set and the
    // parent shows handles), then the RNT circle (flag set, within its time).
    void specificRender() override;
    void specificRenderForPicking() override;
    // Codes 3, 4, 7 and 8, as images.
    void renderInActiveBuffers() override;
    // Rebuilds the eight lists at the current size (e.g. after a subclass resized the item).
    void rebuildDisplayLists();

    unsigned int textureName = 0;
    bool drawDecoration = true;
    bool drawInteractionHints = false;
    bool showRNTCircle = false;
    unsigned int lists[kListCount] = {};
};
