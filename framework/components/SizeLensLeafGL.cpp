#include "SizeLensLeafGL.h"

#include "vis/TabletopVisGL.h"

SizeLensLeafGL::SizeLensLeafGL(TabletopVisGL* vis, double width, double height, bool toss,
                               double x, double y, double z, double spare,
                               const char* dropoffName, double strength, double magnification_,
                               unsigned int visible_)
    : LensGL(vis, width, height, false, toss, x, y, z, spare, dropoffName, strength,
             magnification_, visible_)
{
    SizeLensLeafGL::initializePassiveBuffers();
    SizeLensLeafGL::createActiveBuffers();
    SizeLensLeafGL::renderInActiveBuffers();
}

void SizeLensLeafGL::initializePassiveBuffers()
{
    LensGL::initializePassiveBuffers();
    setPassiveBuffer(RELATIVE_SIZE_BUFFER, nullptr);
}

void SizeLensLeafGL::createActiveBuffers()
{
    auto* factors = new BufferTemplate<float>(1, DROP_OFF_BUFFER);
    factors->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
    factors->fillEntireBuffer(1.0f);
    setActiveBuffer(DROP_OFF_BUFFER, factors);
}

void SizeLensLeafGL::renderInActiveBuffers()
{
    if (BufferTemplate<float>* factors = getActiveBufferAs<float>(DROP_OFF_BUFFER))
        lensfield::fillSizeFactors(*factors, getRealWidth() / 2.0, getRealHeight() / 2.0,
                                   magnificationStrength, magnification, magnificationOffset,
                                   lensfield::dropoffOf(dropoffFunction).epsType);
}

void SizeLensLeafGL::contribute(BufferTemplate<float>& field, const lensfield::CellRect& clip)
{
    const BufferTemplate<float>* factors = getActiveBufferAs<float>(DROP_OFF_BUFFER);
    if (!factors) return;
    const float* f = factors->getBufferArray();
    float* cells = lensfield::cellsIn(field, clip);
    const unsigned int fw = factors->getWidth();
    for (int y = clip.y0; y < clip.y1; ++y) {
        const float* in = f + static_cast<std::size_t>(y - fieldPlacement.originY) * fw;
        float* out = cells + static_cast<std::size_t>(y) * field.getWidth();
        for (int x = clip.x0; x < clip.x1; ++x) {
            const float k = in[x - fieldPlacement.originX];
            if (k != 1.0f) out[x] *= k;
        }
    }
}
