#pragma once
// LensGL: a movable, elliptical leaf that changes one field of its parent under its own area
// (size lens: relative size, direction lens: direction, orientation lens: temporary orientation).
// The parent's children read that field, so whatever lies under the lens grows, streams or turns.
//
// Field upkeep: a lens writes its contribution into the cells of its parent's field that it covers
// and nowhere else. When it moves at least 4 pixels from where it last wrote (or is touched, for
// orientation lenses, or leaves the parent) it marks the parent cells it left and the ones it
// entered; at the next buffer pass the first lens of that field resets the marked cells to the
// field's rest value (relative size 1.0, vectors (0, 0)) and every lens on the field writes its
// contribution there again, in the order the lenses joined the parent. So overlapping size lenses
// multiply, direction lenses add up, and a frame costs work in proportion to the lens areas, never
// to the field. A parent that overwrites such a field itself calls refreshLensFields.
//
// Coordinates: position in table pixels (centre); contributions in the parent's buffer cells, the
// lens centre at its parent-local position / scale + 1.5. Drawing in the lens's centred frame.
// Ownership: as every component (the controller owns it); it owns its display lists and active
// buffers, and only borrows its parent's field.
// Context: construction and destruction need the GL context current (display lists).

#include "components/LensField.h"
#include "vis/VisComponentGL.h"

#include <map>
#include <utility>

class TabletopVisGL;

class LensGL : public VisComponentGL {
public:
    // width, height, rnt, toss, x, y, z: as VisComponent; spare is ignored. dropoffName chooses
    // the drop-off function (LensField.h; unknown or null: Gaussian); the strength is clamped to
    // 0.0 … 1.0; visible 0 builds no display lists: the lens is drawn and picked nowhere but still
    // changes the field.
    LensGL(TabletopVisGL* vis, double width, double height, bool rnt, bool toss, double x, double y,
           double z, double spare, const char* dropoffName, double magnificationStrength,
           double magnification, unsigned int visible);
    ~LensGL() override;

    // After the move: at least 4 pixels (squared distance >= 16) from the last rendered position
    // marks the old and the new area.
    void moveBy(double dx, double dy, bool moveChildren) override;
    // Leaving a parent restores the field cells the lens wrote, before it detaches.
    void setParent(VisComponent* parent) override;
    // A touch moves the lens (rotate-and-translate code 3).
    unsigned int hitLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int) override
    {
        return 3;
    }
    unsigned int releaseLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int) override
    {
        return 3;
    }
    // Brings the parent's field up to date where lenses moved (see the header comment).
    void renderIntoBuffers() override;
    // Marks the cells the lens wrote and the ones it covers now; the last rendered position
    // becomes the current one.
    void invalidatePassiveBuffers() override;

    // --- added virtual operations ---
    virtual void reservedLensOperation() {}
    virtual void buildOrRebuildRenderDisplayLists();
    virtual void renderBasicGL();
    virtual void renderPickingGL();

    // The parent field the lens writes (BUFFERTAG).
    virtual BUFFERTAG getFieldTag() const = 0;

    int getDropoffFunction() const { return dropoffFunction; }
    double getMagnificationStrength() const { return magnificationStrength; }
    double getMagnification() const { return magnification; }
    unsigned int getVisible() const { return visible; }
    const float* getLensColor() const { return lensColor; }
    const float* getLensColorHalf() const { return lensColorHalf; }
    double getLastRenderedX() const { return lastRenderedX; }
    double getLastRenderedY() const { return lastRenderedY; }
    // Parent cells the lens's contribution covers (empty before it first wrote).
    const lensfield::CellRect& getFieldRect() const { return fieldPlacement.rect; }

    // Every lens on parent writes its area of its field again at the next buffer pass; for a
    // parent that overwrote (cleared) such a field itself.
    static void refreshLensFields(VisComponent* parent);

protected:
    // Lens colours from the controller's border colour and the drop-off's shift.
    void initialize() override;
    void specificRender() override;
    void specificRenderForPicking() override;
    // The base subscription (tossing friction); each lens adds its field.
    void initializePassiveBuffers() override;

    // Writes the lens's contribution into field, in clip (parent cells, inside getFieldRect()).
    virtual void contribute(BufferTemplate<float>& field, const lensfield::CellRect& clip) = 0;
    // The size in cells of the parent area the lens may write: its buffer size by default.
    virtual void footprint(unsigned int* w, unsigned int* h) const;
    // Records where the lens writes at its current position and rotation (fieldPlacement,
    // fieldCentreX/Y, fieldRotation) and makes the current position the last rendered one.
    void placeInField(const BufferTemplate<float>& field);
    // The parent's field as the lens sees it (null when not connected).
    BufferTemplate<float>* connectedField() const;
    // Picking shape: the ellipse (triangle fan through 19 rim points).
    void ellipseFan();

    double lastRenderedX;
    double lastRenderedY;
    int dropoffFunction = 0;
    double magnificationStrength;
    double magnification;
    unsigned int visible;
    float lensColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float lensColorHalf[4] = {0.0f, 0.0f, 0.0f, 0.5f};
    unsigned int basicDL = 0;
    unsigned int pickingDL = 0;
    bool displayListsBuilt = false;

    // Where the contribution was last written: the field, the lens grid's placement in it, the
    // lens centre in parent cells and the lens's rotation relative to the parent (degrees).
    BufferTemplate<float>* fieldBuffer = nullptr;
    lensfield::Placement fieldPlacement;
    double fieldCentreX = 0.0;
    double fieldCentreY = 0.0;
    double fieldRotation = 0.0;

private:
    struct Field;
    // Class-wide: every parent field that lenses write, by parent and tag.
    static std::map<std::pair<const VisComponent*, unsigned int>, Field*>& fields();
    void attach(VisComponent* p);
    void detach();
    // Takes a newly connected (or recreated) parent field: its area is written at the next flush.
    void sync(Field& entry);
    static void flush(Field& entry, BufferTemplate<float>* field, BUFFERTAG tag);
    Field* entry() const;

    // The parent and field tag the lens is registered with (kept: the destructor cannot ask).
    VisComponent* registeredParent = nullptr;
    BUFFERTAG registeredTag = RELATIVE_SIZE_BUFFER;
};
