#include "LensGL.h"

#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

using lensfield::CellRect;

namespace {

constexpr double kDegToRad = M_PI / 180.0;
// Squared distance from the last rendered position that makes a moving lens rewrite its field.
constexpr double kRewriteDistanceSquared = 16.0;
// Segments of the drawn ellipse.
constexpr int kDrawnSegments = 48;

} // namespace

// The lenses writing one field of one parent, in the order they joined, and the parent cells
// waiting to be reset and written again.
struct LensGL::Field {
    std::vector<LensGL*> lenses;
    std::vector<CellRect> dirty;
};

std::map<std::pair<const VisComponent*, unsigned int>, LensGL::Field*>& LensGL::fields()
{
    static std::map<std::pair<const VisComponent*, unsigned int>, Field*> all;
    return all;
}

LensGL::LensGL(TabletopVisGL* vis, double width, double height, bool rnt, bool toss, double x,
               double y, double z, double, const char* dropoffName, double strength,
               double magnification_, unsigned int visible_)
    : VisComponentGL(vis, width, height, rnt, toss, x, y, z),
      lastRenderedX(x),
      lastRenderedY(y),
      magnificationStrength(lensfield::clampStrength(strength)),
      magnification(magnification_),
      visible(visible_)
{
    dropoffFunction = lensfield::dropoffByName(dropoffName).function;
    initialize();
    buildOrRebuildRenderDisplayLists();
    LensGL::initializePassiveBuffers();
}

LensGL::~LensGL()
{
    detach();
    if (basicDL) glDeleteLists(basicDL, 1);
    if (pickingDL) glDeleteLists(pickingDL, 1);
}

void LensGL::initialize()
{
    float border[3] = {0.0f, 0.0f, 0.0f};
    if (TabletopVis* vis = getController()) vis->getBorderColor(&border[0], &border[1], &border[2]);
    float shifted[3];
    lensfield::shiftColor(border, lensfield::dropoffOf(dropoffFunction).colorShift, shifted);
    for (int i = 0; i < 3; ++i) lensColor[i] = lensColorHalf[i] = shifted[i];
    lensColor[3] = 0.0f;
    lensColorHalf[3] = 0.5f;
}

void LensGL::initializePassiveBuffers() { VisComponentGL::initializePassiveBuffers(); }

// ---------------------------------------------------------------------------------------------
// Drawing

void LensGL::buildOrRebuildRenderDisplayLists()
{
    if (!visible) return;
    if (basicDL) glDeleteLists(basicDL, 1);
    if (pickingDL) glDeleteLists(pickingDL, 1);
    basicDL = glGenLists(1);
    glNewList(basicDL, GL_COMPILE);
    renderBasicGL();
    glEndList();
    pickingDL = glGenLists(1);
    glNewList(pickingDL, GL_COMPILE);
    renderPickingGL();
    glEndList();
    displayListsBuilt = true;
}

void LensGL::renderBasicGL()
{
    // Clear glass in the middle, the lens colour at half opacity towards the rim, and a rim line.
    const double hw = getRealWidth() / 2.0;
    const double hh = getRealHeight() / 2.0;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_SMOOTH);
    glBegin(GL_TRIANGLE_FAN);
    glColor4fv(lensColor);
    glVertex2d(0.0, 0.0);
    glColor4fv(lensColorHalf);
    for (int i = 0; i <= kDrawnSegments; ++i) {
        const double a = 2.0 * M_PI * i / kDrawnSegments;
        glVertex2d(std::cos(a) * hw, std::sin(a) * hh);
    }
    glEnd();
    glLineWidth(2.0f);
    glColor4f(lensColorHalf[0], lensColorHalf[1], lensColorHalf[2], 0.9f);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < kDrawnSegments; ++i) {
        const double a = 2.0 * M_PI * i / kDrawnSegments;
        glVertex2d(std::cos(a) * hw, std::sin(a) * hh);
    }
    glEnd();
    glPopAttrib();
}

void LensGL::ellipseFan()
{
    const double hw = getRealWidth() / 2.0;
    const double hh = getRealHeight() / 2.0;
    glBegin(GL_TRIANGLE_FAN);
    glVertex2d(0.0, 0.0);
    for (int deg = 0; deg <= 360; deg += 20) {
        const double a = deg * kDegToRad;
        glVertex2d(std::cos(a) * hw, std::sin(a) * hh);
    }
    glEnd();
}

void LensGL::renderPickingGL() { ellipseFan(); }

void LensGL::specificRender()
{
    if (!visible || !displayListsBuilt) return;
    glPushMatrix();
    doCommonTransformations();
    glCallList(basicDL);
    glPopMatrix();
}

void LensGL::specificRenderForPicking()
{
    if (!visible || !displayListsBuilt) return;
    glPushMatrix();
    doCommonTransformations();
    glCallList(pickingDL);
    glPopMatrix();
}

// ---------------------------------------------------------------------------------------------
// The parent's field

LensGL::Field* LensGL::entry() const
{
    if (!registeredParent) return nullptr;
    auto it = fields().find({registeredParent, registeredTag});
    return it == fields().end() ? nullptr : it->second;
}

BufferTemplate<float>* LensGL::connectedField() const
{
    return registeredParent ? getPassiveBufferAs<float>(registeredTag) : nullptr;
}

void LensGL::footprint(unsigned int* w, unsigned int* h) const
{
    *w = getBufferWidth();
    *h = getBufferHeight();
}

void LensGL::placeInField(const BufferTemplate<float>& field)
{
    lastRenderedX = getXPos();
    lastRenderedY = getYPos();
    double lx = 0.0;
    double ly = 0.0;
    parent->getLocalCoordinates(xPos, yPos, parent->getWidth(), parent->getHeight(), &lx, &ly);
    fieldCentreX = lx / parent->getXScale() + 1.5;
    fieldCentreY = ly / parent->getYScale() + 1.5;
    fieldRotation = getRotation() - parent->getRotation();
    unsigned int w = 0;
    unsigned int h = 0;
    footprint(&w, &h);
    fieldPlacement = lensfield::place(fieldCentreX, fieldCentreY, w, h, field.getWidth(),
                                      field.getHeight());
}

void LensGL::attach(VisComponent* p)
{
    registeredParent = p;
    registeredTag = getFieldTag();
    Field*& f = fields()[{p, registeredTag}];
    if (!f) f = new Field;
    f->lenses.push_back(this);
    // The field is connected after the parent set; the next buffer pass takes it (sync).
    fieldBuffer = nullptr;
    fieldPlacement = {};
}

void LensGL::detach()
{
    Field* f = entry();
    if (!f) {
        registeredParent = nullptr;
        return;
    }
    f->lenses.erase(std::remove(f->lenses.begin(), f->lenses.end(), this), f->lenses.end());
    // Only a field still connected is written: a recreated or disconnected one is not ours.
    BufferTemplate<float>* field = connectedField();
    if (field && field == fieldBuffer) {
        f->dirty.push_back(fieldPlacement.rect);
        flush(*f, field, registeredTag);
    }
    if (f->lenses.empty()) {
        fields().erase({registeredParent, registeredTag});
        delete f;
    }
    registeredParent = nullptr;
    fieldBuffer = nullptr;
    fieldPlacement = {};
}

void LensGL::sync(Field& f)
{
    BufferTemplate<float>* field = connectedField();
    if (field == fieldBuffer) return;
    fieldBuffer = field;
    fieldPlacement = {};
    if (!field || !parent) return;
    placeInField(*field);
    f.dirty.push_back(fieldPlacement.rect);
}

void LensGL::flush(Field& f, BufferTemplate<float>* field, BUFFERTAG tag)
{
    for (LensGL* lens : f.lenses) lens->sync(f);
    if (f.dirty.empty() || !field) return;
    lensfield::mergeOverlapping(f.dirty);
    const float rest = lensfield::restValue(tag);
    for (const CellRect& r : f.dirty) lensfield::fillRect(*field, r, rest);
    for (LensGL* lens : f.lenses) {
        if (lens->fieldBuffer != field) continue;
        for (const CellRect& r : f.dirty) {
            const CellRect clip = r.intersection(lens->fieldPlacement.rect);
            if (!clip.empty()) lens->contribute(*field, clip);
        }
    }
    f.dirty.clear();
}

void LensGL::renderIntoBuffers()
{
    Field* f = entry();
    if (!f) return;
    // Moved without moveBy (setPos): catch up here.
    const double dx = getXPos() - lastRenderedX;
    const double dy = getYPos() - lastRenderedY;
    if (fieldBuffer && dx * dx + dy * dy >= kRewriteDistanceSquared) invalidatePassiveBuffers();
    sync(*f);
    flush(*f, fieldBuffer, registeredTag);
}

void LensGL::invalidatePassiveBuffers()
{
    lastRenderedX = getXPos();
    lastRenderedY = getYPos();
    Field* f = entry();
    BufferTemplate<float>* field = connectedField();
    // Not written yet (or the field was recreated): sync writes the whole area.
    if (!f || !field || field != fieldBuffer || !parent) return;
    f->dirty.push_back(fieldPlacement.rect);
    placeInField(*field);
    f->dirty.push_back(fieldPlacement.rect);
}

void LensGL::refreshLensFields(VisComponent* parent)
{
    for (auto& entry : fields()) {
        if (entry.first.first != parent) continue;
        for (LensGL* lens : entry.second->lenses)
            if (lens->fieldBuffer) entry.second->dirty.push_back(lens->fieldPlacement.rect);
    }
}

// ---------------------------------------------------------------------------------------------
// Tree and movement

void LensGL::moveBy(double dx, double dy, bool moveChildren)
{
    VisComponentGL::moveBy(dx, dy, moveChildren);
    const double ex = getXPos() - lastRenderedX;
    const double ey = getYPos() - lastRenderedY;
    if (ex * ex + ey * ey >= kRewriteDistanceSquared) invalidatePassiveBuffers();
}

void LensGL::setParent(VisComponent* p)
{
    if (p == registeredParent && p == parent) return;
    detach();
    VisComponentGL::setParent(p);
    if (p) attach(p);
}
